#include "runtime/FloatChars.h"

#include <cmath>
#include <string_view>

#define FMT_HEADER_ONLY
#include <fast_float/fast_float.h>
#include <fmt/format.h>

namespace scenova {

namespace {

template <class Float>
std::from_chars_result Read(const char* first, const char* last, Float& value) {
    Float read{};
    const auto result =
        fast_float::from_chars(first, last, read, fast_float::chars_format::general);
    if (result.ec != std::errc{}) {
        return {result.ptr, result.ec};
    }
    // fast_float reads a number beyond the type's range as infinity or zero
    // and calls it a success; the standard calls it out of range.
    const std::string_view text(first, static_cast<std::size_t>(result.ptr - first));
    const std::string_view mantissa = text.substr(0, text.find_first_of("eE"));
    const bool overflow = std::isinf(read) && mantissa.find_first_of("0123456789") != mantissa.npos;
    const bool underflow = read == 0 && mantissa.find_first_of("123456789") != mantissa.npos;
    if (overflow || underflow) {
        return {result.ptr, std::errc::result_out_of_range};
    }
    value = read;
    return {result.ptr, std::errc{}};
}

template <class Float>
std::string NonFinite(Float value) {
    return std::string(std::signbit(value) ? "-" : "") + (std::isnan(value) ? "nan" : "inf");
}

// {fmt}'s shortest form chooses between fixed and exponent notation; its
// digits are laid out again as "d.ddde+XX".
template <class Float>
std::string Shortest(Float value) {
    if (!std::isfinite(value)) {
        return NonFinite(value);
    }
    std::string out = std::signbit(value) ? "-" : "";
    if (value == 0) {
        return out + "0e+00";
    }
    const std::string text = fmt::format("{}", value);
    const std::size_t e = text.find('e');
    const std::size_t point = text.find('.');
    std::string digits;
    int before = 0;  // the digits before the point
    for (std::size_t at = 0; at < text.size() && at < e; ++at) {
        if (text[at] >= '0' && text[at] <= '9') {
            digits += text[at];
            before += at < point ? 1 : 0;
        }
    }
    const std::size_t first = digits.find_first_not_of('0');
    // The decimal exponent of the first significant digit.
    int exponent = before - 1 - static_cast<int>(first);
    if (e != std::string::npos) {
        exponent += std::stoi(text.substr(e + 1));
    }
    digits = digits.substr(first, digits.find_last_not_of('0') + 1 - first);

    out += digits[0];
    if (digits.size() > 1) {
        out += '.';
        out.append(digits, 1);
    }
    out += exponent < 0 ? "e-" : "e+";
    const std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
    return out + (magnitude.size() < 2 ? "0" : "") + magnitude;
}

template <class Float>
std::string WithPrecision(Float value, int precision) {
    if (!std::isfinite(value)) {
        return NonFinite(value);
    }
    return fmt::format("{:.{}e}", value, precision);
}

}  // namespace

std::from_chars_result FloatFromChars(const char* first, const char* last, double& value) {
    return Read(first, last, value);
}
std::from_chars_result FloatFromChars(const char* first, const char* last, float& value) {
    return Read(first, last, value);
}

std::string ScientificText(double value) {
    return Shortest(value);
}
std::string ScientificText(float value) {
    return Shortest(value);
}
std::string ScientificText(double value, int precision) {
    return WithPrecision(value, precision);
}
std::string ScientificText(float value, int precision) {
    return WithPrecision(value, precision);
}

std::string FixedText(double value, int precision) {
    if (!std::isfinite(value)) {
        return NonFinite(value);
    }
    return fmt::format("{:.{}f}", value, precision);
}

}  // namespace scenova
