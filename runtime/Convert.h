#pragma once

// Value conversions with the exact rules the settings and the script rely on.
// Numbers are read and written in the invariant form ("." as decimal
// separator) whatever the user's locale, so that a lesson behaves the same on
// every machine. Every failure raises a RuntimeError: 13 (type mismatch) for
// text that is not a value of the wanted type, 6 (overflow) for a value
// outside its range.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/Variant.h"

namespace scenova {

// Removes leading and trailing U+0020 spaces only (tabs and other blanks stay).
std::string_view TrimSpaces(std::string_view text);
// Removes leading and trailing spaces and tabs, as lesson files pad values.
std::string_view TrimBlanks(std::string_view text);

// Upper-cases UTF-8 text: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic
// letters; every other character is kept as it is.
std::string UCase(std::string_view text);

// Keys compared without letter case: the hash of UCase(text), and whether
// UCase(a) equals UCase(b), without making either.
std::size_t HashUCase(std::string_view text);
bool EqualUCase(std::string_view a, std::string_view b);

// The two for keyed unordered containers, which then also find a key by a
// string_view.
struct UCaseHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view key) const { return HashUCase(key); }
};
struct UCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return EqualUCase(a, b); }
};

// Text to a 64-bit number: surrounding spaces ignored; an optional sign,
// digits with an optional "." fraction, an optional exponent (E or e). The
// words True and False are not numbers. Empty or other text raises 13; a
// magnitude beyond the 64-bit range raises 6 (one too small reads as 0).
//
// Whole numbers may also be written as the original language writes them:
// "&H" and hexadecimal digits or "&O" and octal digits, either letter case,
// no sign, at most 32 significant bits (more raise 6). They are 32-bit two's
// complement values (&HFFFFFFFF is -1, &HFFFF is 65535), except that a
// 16-bit conversion of text takes up to four hexadecimal digits as a 16-bit
// value (ToInteger("&HFFFF") is -1).
double ToDouble(std::string_view text);

// To single precision; beyond its range raises 6.
float ToSingle(double value);
float ToSingle(std::string_view text);

// Rounded to the nearest whole number, halves to the even neighbour, then
// range-checked (6). Text is first read as a number (13).
int16_t ToInteger(double value);
int16_t ToInteger(std::string_view text);
int32_t ToLong(double value);
int32_t ToLong(std::string_view text);

// True/False in any letter case (surrounding spaces ignored), or a number
// (0 is False, anything else True). Other text raises 13.
bool ToBoolean(std::string_view text);

// Conversions of run-time typed values. Empty counts as 0, "" or False.
std::string ToText(const Variant& value);
double ToDouble(const Variant& value);
float ToSingle(const Variant& value);
int16_t ToInteger(const Variant& value);
int32_t ToLong(const Variant& value);
bool ToBoolean(const Variant& value);

// Plain strings are text, not run-time typed values.
inline double ToDouble(const std::string& text) {
    return ToDouble(std::string_view(text));
}
inline double ToDouble(const char* text) {
    return ToDouble(std::string_view(text));
}
inline float ToSingle(const std::string& text) {
    return ToSingle(std::string_view(text));
}
inline float ToSingle(const char* text) {
    return ToSingle(std::string_view(text));
}
inline int16_t ToInteger(const std::string& text) {
    return ToInteger(std::string_view(text));
}
inline int16_t ToInteger(const char* text) {
    return ToInteger(std::string_view(text));
}
inline int32_t ToLong(const std::string& text) {
    return ToLong(std::string_view(text));
}
inline int32_t ToLong(const char* text) {
    return ToLong(std::string_view(text));
}
inline bool ToBoolean(const std::string& text) {
    return ToBoolean(std::string_view(text));
}
inline bool ToBoolean(const char* text) {
    return ToBoolean(std::string_view(text));
}

// The default text form of a number: up to 15 significant digits for a
// 64-bit float (7 for single precision), no thousands separators, "." as
// decimal separator, no trailing zeros, negative zero as "0". Plain form when
// the decimal exponent lies between -5 and 14 (6 for single precision),
// otherwise exponent form ("1E+20", "1.5E-07": sign and at least two digits).
std::string FormatNumber(double value);
std::string FormatNumber(float value);

// The shortest text that reads back to exactly the same value ("2.6",
// "4800", "0.1"); used where values are shown, such as in traces. Plain form
// when the decimal exponent lies between -5 and 15 ("1000000000000000"),
// otherwise the exponent form of FormatNumber ("1E+16"); negative zero is "0".
std::string ShortestText(double value);
std::string ShortestText(float value);

}  // namespace scenova
