#pragma once

#include <charconv>
#include <string>

namespace scenova {

// Floating-point numbers to text and back, with the same digits on every
// build. The standard libraries of our builds differ here (the WebAssembly
// one has no floating-point from_chars or to_chars at all), so these go
// through fast_float and {fmt}, adjusted to read and write exactly as the
// standard's functions do.

// As std::from_chars(first, last, value) with chars_format::general: no
// leading '+' or blanks; "inf", "infinity" and "nan" in any case are read;
// text beyond the type's range reports result_out_of_range and leaves value
// as it was.
std::from_chars_result FloatFromChars(const char* first, const char* last, double& value);
std::from_chars_result FloatFromChars(const char* first, const char* last, float& value);

// As std::to_chars with chars_format::scientific: "d.ddde+XX" with the
// fewest digits that read back as value, or with precision digits after the
// point. "inf", "-inf", "nan" and "-nan" for the values without digits.
std::string ScientificText(double value);
std::string ScientificText(float value);
std::string ScientificText(double value, int precision);
std::string ScientificText(float value, int precision);

// As printf's "%.*f": fixed notation, precision digits after the point.
std::string FixedText(double value, int precision);

}  // namespace scenova
