#include "runtime/Convert.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <system_error>
#include <type_traits>
#include <variant>

#include "runtime/FloatChars.h"
#include "runtime/RuntimeError.h"

namespace scenova {

namespace {

// ---------------------------------------------------------------------------
// Upper-casing

// The upper-case partner of one code point below U+0460, or the code point
// itself. Only letters whose upper-case form is a single code point of the
// same script are mapped, so the text keeps its length in characters.
char32_t UpperOf(char32_t c) {
    if (c >= U'a' && c <= U'z') {
        return c - 0x20;
    }
    if (c < 0x00E0) {
        return c;
    }
    // Latin-1: à..þ except the division sign; ÿ has its partner in Extended-A;
    // ß has no single-letter capital and stays.
    if (c <= 0x00FE) {
        return c == 0x00F7 ? c : c - 0x20;
    }
    if (c == 0x00FF) {
        return 0x0178;
    }
    // Latin Extended-A: pairs of capital and small letters, on even/odd or
    // odd/even code points depending on the block section. İ/ı, ĸ, ŉ and ſ are
    // not pairs and stay.
    if (c >= 0x0100 && c <= 0x017F) {
        const bool odd = (c & 1u) != 0;
        if ((c <= 0x012F || (c >= 0x0132 && c <= 0x0137) || (c >= 0x014A && c <= 0x0177)) && odd) {
            return c - 1;
        }
        if (((c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E)) && !odd) {
            return c - 1;
        }
        return c;
    }
    // Greek.
    if (c >= 0x03B1 && c <= 0x03C9) {
        return c == 0x03C2 ? char32_t{0x03A3} : c - 0x20;  // final sigma
    }
    switch (c) {
        case 0x03AC:
            return 0x0386;  // ά
        case 0x03AD:
        case 0x03AE:
        case 0x03AF:
            return c - 0x25;  // έ ή ί
        case 0x03CA:
        case 0x03CB:
            return c - 0x20;  // ϊ ϋ
        case 0x03CC:
            return 0x038C;  // ό
        case 0x03CD:
        case 0x03CE:
            return c - 0x3F;  // ύ ώ
        default:
            break;
    }
    // Cyrillic.
    if (c >= 0x0430 && c <= 0x044F) {
        return c - 0x20;
    }
    if (c >= 0x0450 && c <= 0x045F) {
        return c - 0x50;
    }
    return c;
}

bool IsContinuation(unsigned char b) {
    return (b & 0xC0u) == 0x80u;
}

// ---------------------------------------------------------------------------
// Reading numbers

// Lower-cases ASCII letters only, so that the comparison does not depend on
// the locale.
bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view lowerWord) {
    if (text.size() != lowerWord.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != lowerWord[i]) {
            return false;
        }
    }
    return true;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Parses the number grammar by hand so that nothing locale-dependent (and none
// of from_chars' own extensions such as "inf" or "nan") is accepted, then
// lets FloatFromChars do the correctly rounded conversion.
double ParseDouble(std::string_view text) {
    text = TrimSpaces(text);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t numberStart = pos;  // from_chars rejects a leading '+'

    // Decimal exponent of the leading significant digit, kept to tell an
    // overflow from an underflow when from_chars reports out of range.
    int64_t leadExponent = 0;
    bool sawNonZero = false;
    std::size_t digits = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        if (sawNonZero) {
            ++leadExponent;
        } else if (text[pos] != '0') {
            sawNonZero = true;
        }
        ++digits;
        ++pos;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && IsDigit(text[pos])) {
            if (!sawNonZero) {
                --leadExponent;
                if (text[pos] != '0') {
                    sawNonZero = true;
                }
            }
            ++digits;
            ++pos;
        }
    }
    if (digits == 0) {
        Raise(err::TypeMismatch);
    }
    int64_t exponent = 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        bool negativeExponent = false;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            negativeExponent = text[pos] == '-';
            ++pos;
        }
        if (pos == text.size() || !IsDigit(text[pos])) {
            Raise(err::TypeMismatch);
        }
        while (pos < text.size() && IsDigit(text[pos])) {
            // Saturate: anything this large is out of range either way.
            if (exponent < 1'000'000'000) {
                exponent = exponent * 10 + (text[pos] - '0');
            }
            ++pos;
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    if (pos != text.size()) {
        Raise(err::TypeMismatch);
    }
    if (!sawNonZero) {
        return 0.0;
    }

    double value = 0.0;
    const char* first = text.data() + numberStart;
    const char* last = text.data() + text.size();
    const auto [end, ec] = FloatFromChars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        if (leadExponent + exponent > 0) {
            Raise(err::Overflow);
        }
        return 0.0;  // too small to represent: it reads as zero
    }
    if (ec != std::errc{} || end != last || !std::isfinite(value)) {
        // The grammar was checked above; this only guards against surprises.
        Raise(err::TypeMismatch);
    }
    return negative ? -value : value;
}

// A whole number written "&H" and hexadecimal digits or "&O" and octal digits
// (letters in either case, surrounding spaces ignored, no sign, no fraction),
// as the original language writes them; nothing when text is not of that
// form at all. "&" with anything else, or without digits, raises 13; more
// than 32 significant bits raise 6.
std::optional<uint32_t> ParseRadix(std::string_view text) {
    text = TrimSpaces(text);
    if (text.size() < 2 || text[0] != '&') {
        return std::nullopt;
    }
    const char kind = text[1];
    const unsigned shift = (kind == 'H' || kind == 'h') ? 4 : (kind == 'O' || kind == 'o') ? 3 : 0;
    if (shift == 0 || text.size() == 2) {
        Raise(err::TypeMismatch);
    }
    uint64_t value = 0;
    for (const char c : text.substr(2)) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else {
            Raise(err::TypeMismatch);
        }
        if (digit >= (1u << shift)) {
            Raise(err::TypeMismatch);
        }
        value = (value << shift) | digit;
        if (value > 0xFFFFFFFFu) {
            Raise(err::Overflow);
        }
    }
    return static_cast<uint32_t>(value);
}

// Such a number read as a 32-bit two's complement value: &HFFFFFFFF is -1.
int32_t SignedRadix32(uint32_t value) {
    return value > 0x7FFFFFFFu ? static_cast<int32_t>(static_cast<int64_t>(value) - 0x100000000)
                               : static_cast<int32_t>(value);
}

// Rounds to the nearest whole number, halves to the even neighbour, without
// depending on the floating-point rounding mode. Only called for finite values
// already known to lie within an integer range far below 2^52.
double RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;  // exact for such magnitudes
    if (fraction > 0.5) {
        return lower + 1.0;
    }
    if (fraction < 0.5) {
        return lower;
    }
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

template <class Int>
Int RoundToInt(double value) {
    constexpr double kMin = static_cast<double>(std::numeric_limits<Int>::min());
    constexpr double kMax = static_cast<double>(std::numeric_limits<Int>::max());
    // The comparison is false for NaN; the half-unit margin lets values that
    // round into the range through and keeps the cast below defined.
    if (!(value >= kMin - 0.5 && value <= kMax + 0.5)) {
        Raise(err::Overflow);
    }
    const double rounded = RoundHalfEven(value);
    if (rounded < kMin || rounded > kMax) {
        Raise(err::Overflow);
    }
    return static_cast<Int>(rounded);
}

template <class Int>
Int NarrowInt(int32_t value) {
    if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max()) {
        Raise(err::Overflow);
    }
    return static_cast<Int>(value);
}

// ---------------------------------------------------------------------------
// Writing numbers

// Significant digits (without trailing zeros) and the decimal exponent of the
// first digit, as written in scientific form.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal SplitScientific(std::string_view text) {
    Decimal d;
    const std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (IsDigit(text[i])) {
            d.digits += text[i];
        }
    }
    while (d.digits.size() > 1 && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    std::string_view exp = text.substr(e + 1);
    if (!exp.empty() && exp.front() == '+') {
        exp.remove_prefix(1);  // from_chars does not take a '+'
    }
    std::from_chars(exp.data(), exp.data() + exp.size(), d.exponent);
    return d;
}

// Lays out the digits in plain form when the exponent lies in
// [minPlain, maxPlain], in the "1.5E-07" form otherwise.
std::string Layout(bool negative, const Decimal& d, int minPlain, int maxPlain) {
    std::string out;
    if (negative) {
        out += '-';
    }
    const int count = static_cast<int>(d.digits.size());
    if (d.exponent >= minPlain && d.exponent <= maxPlain) {
        if (d.exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
            out += d.digits;
        } else if (d.exponent + 1 >= count) {
            out += d.digits;
            out.append(static_cast<std::size_t>(d.exponent + 1 - count), '0');
        } else {
            out.append(d.digits, 0, static_cast<std::size_t>(d.exponent + 1));
            out += '.';
            out.append(d.digits, static_cast<std::size_t>(d.exponent + 1));
        }
        return out;
    }
    out += d.digits[0];
    if (count > 1) {
        out += '.';
        out.append(d.digits, 1);
    }
    out += 'E';
    out += d.exponent < 0 ? '-' : '+';
    const int magnitude = d.exponent < 0 ? -d.exponent : d.exponent;
    if (magnitude < 10) {
        out += '0';
    }
    out += std::to_string(magnitude);
    return out;
}

// Text for the values that have no digits. Such values only arise from
// arithmetic on values the core computed itself, never from a conversion.
template <class Float>
const char* NonFinite(Float value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    return value < 0 ? "-Infinity" : "Infinity";
}

template <class Float>
std::string FormatWith(Float value, int significant) {
    if (!std::isfinite(value)) {
        return NonFinite(value);
    }
    if (value == 0) {
        return "0";  // also for negative zero
    }
    const Decimal d = SplitScientific(ScientificText(std::fabs(value), significant - 1));
    // Plain form as long as all the digits it shows before the point are
    // significant ones.
    return Layout(std::signbit(value), d, -5, significant - 1);
}

template <class Float>
std::string Shortest(Float value) {
    if (!std::isfinite(value)) {
        return NonFinite(value);
    }
    if (value == 0) {
        return "0";
    }
    const Decimal d = SplitScientific(ScientificText(std::fabs(value)));
    return Layout(std::signbit(value), d, -5, 15);
}

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

namespace {

std::string_view TrimOf(std::string_view text, std::string_view blanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
    return TrimOf(text, " ");
}

std::string_view TrimBlanks(std::string_view text) {
    return TrimOf(text, " \t");
}

namespace {

// UCase(text) read one byte at a time, so that keys can be hashed and
// compared without letter case and without making an upper-case copy.
class UpperCaseBytes {
public:
    explicit UpperCaseBytes(std::string_view text) : m_text(text) {}

    // The next byte of the upper-cased text; false at its end.
    bool Next(char& byte) {
        if (m_held) {
            m_held = false;
            byte = m_second;
            return true;
        }
        if (m_at == m_text.size()) {
            return false;
        }
        const auto b = static_cast<unsigned char>(m_text[m_at]);
        if (b < 0x80) {
            byte = static_cast<char>(UpperOf(b));
            ++m_at;
            return true;
        }
        // Every letter mapped here is a two-byte sequence; other bytes,
        // including malformed ones, are kept as they are.
        if (b >= 0xC2 && b <= 0xDF && m_at + 1 < m_text.size() &&
            IsContinuation(static_cast<unsigned char>(m_text[m_at + 1]))) {
            const auto b2 = static_cast<unsigned char>(m_text[m_at + 1]);
            const char32_t upper = UpperOf(((b & 0x1Fu) << 6) | (b2 & 0x3Fu));
            m_at += 2;
            if (upper < 0x80) {
                byte = static_cast<char>(upper);
            } else {
                byte = static_cast<char>(0xC0u | (upper >> 6));
                m_second = static_cast<char>(0x80u | (upper & 0x3Fu));
                m_held = true;
            }
            return true;
        }
        byte = static_cast<char>(b);
        ++m_at;
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
    char m_second = 0;
    bool m_held = false;
};

}  // namespace

std::string UCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    UpperCaseBytes bytes(text);
    char byte = 0;
    while (bytes.Next(byte)) {
        out += byte;
    }
    return out;
}

std::size_t HashUCase(std::string_view text) {
    // FNV-1a over the upper-cased bytes.
    uint64_t hash = 0xcbf29ce484222325u;
    UpperCaseBytes bytes(text);
    char byte = 0;
    while (bytes.Next(byte)) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 0x100000001b3u;
    }
    return static_cast<std::size_t>(hash);
}

bool EqualUCase(std::string_view a, std::string_view b) {
    UpperCaseBytes left(a);
    UpperCaseBytes right(b);
    char x = 0;
    char y = 0;
    while (true) {
        const bool more = left.Next(x);
        if (more != right.Next(y)) {
            return false;
        }
        if (!more) {
            return true;
        }
        if (x != y) {
            return false;
        }
    }
}

double ToDouble(std::string_view text) {
    if (const auto radix = ParseRadix(text)) {
        return SignedRadix32(*radix);
    }
    return ParseDouble(text);
}

float ToSingle(double value) {
    // The comparison is false for NaN as well.
    if (!(std::fabs(value) <= static_cast<double>(std::numeric_limits<float>::max()))) {
        Raise(err::Overflow);
    }
    return static_cast<float>(value);
}

float ToSingle(std::string_view text) {
    return ToSingle(ToDouble(text));
}

int16_t ToInteger(double value) {
    return RoundToInt<int16_t>(value);
}
int16_t ToInteger(std::string_view text) {
    if (const auto radix = ParseRadix(text)) {
        // Up to four hexadecimal digits make a 16-bit value of their own:
        // &HFFFF is -1 here, 65535 as a 32-bit or floating-point value.
        if (*radix <= 0xFFFFu) {
            return static_cast<int16_t>(static_cast<int32_t>(*radix) -
                                        (*radix > 0x7FFFu ? 0x10000 : 0));
        }
        return NarrowInt<int16_t>(SignedRadix32(*radix));
    }
    return ToInteger(ToDouble(text));
}
int32_t ToLong(double value) {
    return RoundToInt<int32_t>(value);
}
int32_t ToLong(std::string_view text) {
    if (const auto radix = ParseRadix(text)) {
        return SignedRadix32(*radix);
    }
    return ToLong(ToDouble(text));
}

bool ToBoolean(std::string_view text) {
    const std::string_view trimmed = TrimSpaces(text);
    if (EqualsIgnoringAsciiCase(trimmed, "true")) {
        return true;
    }
    if (EqualsIgnoringAsciiCase(trimmed, "false")) {
        return false;
    }
    return ToDouble(trimmed) != 0.0;
}

std::string ToText(const Variant& value) {
    return std::visit(Overloaded{
                          [](std::monostate) { return std::string(); },
                          [](bool v) { return std::string(v ? "True" : "False"); },
                          [](int16_t v) { return std::to_string(v); },
                          [](int32_t v) { return std::to_string(v); },
                          [](float v) { return FormatNumber(v); },
                          [](double v) { return FormatNumber(v); },
                          [](const std::string& v) { return v; },
                      },
                      value);
}

double ToDouble(const Variant& value) {
    return std::visit(Overloaded{
                          [](std::monostate) { return 0.0; },
                          [](bool v) { return v ? -1.0 : 0.0; },
                          [](int16_t v) { return static_cast<double>(v); },
                          [](int32_t v) { return static_cast<double>(v); },
                          [](float v) { return static_cast<double>(v); },
                          [](double v) { return v; },
                          [](const std::string& v) { return ToDouble(std::string_view(v)); },
                      },
                      value);
}

float ToSingle(const Variant& value) {
    return std::visit(Overloaded{
                          [](std::monostate) { return 0.0f; },
                          [](bool v) { return v ? -1.0f : 0.0f; },
                          [](int16_t v) { return static_cast<float>(v); },
                          [](int32_t v) { return static_cast<float>(v); },
                          [](float v) { return ToSingle(static_cast<double>(v)); },
                          [](double v) { return ToSingle(v); },
                          [](const std::string& v) { return ToSingle(std::string_view(v)); },
                      },
                      value);
}

int16_t ToInteger(const Variant& value) {
    return std::visit(Overloaded{
                          [](std::monostate) -> int16_t { return 0; },
                          [](bool v) -> int16_t { return v ? -1 : 0; },
                          [](int16_t v) { return v; },
                          [](int32_t v) { return NarrowInt<int16_t>(v); },
                          [](float v) { return ToInteger(static_cast<double>(v)); },
                          [](double v) { return ToInteger(v); },
                          [](const std::string& v) { return ToInteger(std::string_view(v)); },
                      },
                      value);
}

int32_t ToLong(const Variant& value) {
    return std::visit(Overloaded{
                          [](std::monostate) -> int32_t { return 0; },
                          [](bool v) -> int32_t { return v ? -1 : 0; },
                          [](int16_t v) -> int32_t { return v; },
                          [](int32_t v) { return v; },
                          [](float v) { return ToLong(static_cast<double>(v)); },
                          [](double v) { return ToLong(v); },
                          [](const std::string& v) { return ToLong(std::string_view(v)); },
                      },
                      value);
}

bool ToBoolean(const Variant& value) {
    return std::visit(Overloaded{
                          [](std::monostate) { return false; },
                          [](bool v) { return v; },
                          [](int16_t v) { return v != 0; },
                          [](int32_t v) { return v != 0; },
                          [](float v) { return v != 0.0f; },
                          [](double v) { return v != 0.0; },
                          [](const std::string& v) { return ToBoolean(std::string_view(v)); },
                      },
                      value);
}

std::string FormatNumber(double value) {
    return FormatWith(value, 15);
}
std::string FormatNumber(float value) {
    return FormatWith(value, 7);
}

std::string ShortestText(double value) {
    return Shortest(value);
}
std::string ShortestText(float value) {
    return Shortest(value);
}

}  // namespace scenova
