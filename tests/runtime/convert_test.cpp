#include "runtime/Convert.h"
#include "tests/support/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "runtime/RuntimeError.h"

namespace scenova {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using scenova::testing::ErrorOf;

TEST(ConvertTest, UCase) {
    const struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"abc xyz 09_{}", "ABC XYZ 09_{}"},
        {"àéîõøþ ÷ ß ÿ µ", "ÀÉÎÕØÞ ÷ ß Ÿ µ"},
        {"āăįĳķ ĺļň ŋőŷ źżž", "ĀĂĮĲĶ ĹĻŇ ŊŐŶ ŹŻŽ"},
        {"ı ĸ ŉ ſ Ā Ĺ", "ı ĸ ŉ ſ Ā Ĺ"},  // not pairs, or already capitals
        {"αβγ ω ς σ άέήίόύώ ϊϋ", "ΑΒΓ Ω Σ Σ ΆΈΉΊΌΎΏ ΪΫ"},
        {"абв я ѐ ё џ", "АБВ Я Ѐ Ё Џ"},
        {"€ 中 😀", "€ 中 😀"},
        // Malformed UTF-8 passes through byte for byte.
        {"a\xC3", "A\xC3"},
        {"\xFF\xFEz", "\xFF\xFEZ"},
        {"\xC0\xA1\xC3x", "\xC0\xA1\xC3X"},
        {"\xA1\xB1", "\xA1\xB1"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(UCase(row.in), row.out) << row.in;
    }
}

TEST(ConvertTest, ToDoubleReadsInvariantNumbers) {
    const struct {
        const char* text;
        double value;
    } rows[] = {
        {"0", 0},
        {"  42  ", 42},
        {"-3.25", -3.25},
        {"+7", 7},
        {".5", 0.5},
        {"5.", 5},
        {"1e3", 1000},
        {"1.5E-3", 0.0015},
        {"-2e+2", -200},
        {"00012", 12},
        {"1e-400", 0},
        {"1000e-330", 0},
        {"0e999999999999", 0},
        {"2.6", 2.6},
        {"0.1", 0.1},
        // The original language's hexadecimal and octal forms, 32-bit two's complement.
        {" &H00F0F0F0 ", 15790320},
        {"&hff", 255},
        {"&O17", 15},
        {"&o0", 0},
        {"&HFFFF", 65535},
        {"&HFFFFFFFF", -1},
        {"&H80000005", -2147483643},
        {"&H000000000001", 1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ToDouble(std::string_view(row.text)), row.value) << row.text;
    }
}

TEST(ConvertTest, ToDoubleRejectsOtherText) {
    const struct {
        const char* text;
        int32_t error;
    } rows[] = {
        {"", 13},       {"   ", 13},        {"abc", 13},   {"1,5", 13},   {"True", 13},
        {"12abc", 13},  {"0x1F", 13},       {"\t1", 13},   {"1 2", 13},   {".", 13},
        {"-", 13},      {"+-1", 13},        {"1e", 13},    {"1e+", 13},   {"e5", 13},
        {"inf", 13},    {"nan", 13},        {"1..2", 13},  {"1e400", 6},  {"-1e309", 6},
        {"1.8e308", 6}, {"0.001e312", 6},   {"&H", 13},    {"&HG", 13},   {"&O8", 13},
        {"&17", 13},    {"-&H1", 13},       {"&H1.5", 13}, {"&HFF&", 13}, {"& H1", 13},
        {"&H 1", 13},   {"&H100000000", 6},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ErrorOf([&] { ToDouble(std::string_view(row.text)); }), row.error) << row.text;
    }
    // Long digit strings: the magnitude, not the exponent, decides.
    EXPECT_EQ(ErrorOf([] { ToDouble(std::string_view("1" + std::string(310, '0'))); }), 6);
    EXPECT_EQ(ToDouble(std::string_view("0." + std::string(400, '0') + "1e5")), 0.0);
}

TEST(ConvertTest, ToSingleChecksRange) {
    EXPECT_EQ(ToSingle(2.5), 2.5f);
    EXPECT_EQ(ToSingle(-3.4028234663852886e38), -std::numeric_limits<float>::max());
    EXPECT_EQ(ToSingle(std::string_view(" 0.5 ")), 0.5f);
    for (double bad : {3.5e38, -3.5e38, kInf, -kInf, kNaN}) {
        EXPECT_EQ(ErrorOf([&] { ToSingle(bad); }), 6) << bad;
    }
    EXPECT_EQ(ErrorOf([] { ToSingle(std::string_view("1e39")); }), 6);
    EXPECT_EQ(ErrorOf([] { ToSingle(std::string_view("x")); }), 13);
}

TEST(ConvertTest, ToIntegerAndToLongRoundHalvesToEven) {
    const struct {
        double value;
        int32_t rounded;
    } rows[] = {
        {0.5, 0},   {1.5, 2},         {2.5, 2},           {-2.5, -2},
        {-1.5, -2}, {12.7, 13},       {-12.7, -13},       {0.49999999999999994, 0},
        {-0.4, 0},  {32767.4, 32767}, {-32768.5, -32768},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ToInteger(row.value), row.rounded) << row.value;
        EXPECT_EQ(ToLong(row.value), row.rounded) << row.value;
    }
    EXPECT_EQ(ToLong(2147483647.4), 2147483647);
    EXPECT_EQ(ToLong(-2147483648.5), -2147483647 - 1);
    EXPECT_EQ(ToInteger(std::string_view(" 2.5 ")), 2);
    EXPECT_EQ(ToLong(std::string_view("-1e4")), -10000);
    // Up to four hexadecimal digits are a 16-bit value of their own.
    const struct {
        const char* text;
        int32_t integer;  // ToInteger, 6 standing for its overflow
        int32_t whole;    // ToLong
    } radix[] = {
        {"&H7FFF", 32767, 32767}, {"&H8000", -32768, 32768},      {"&HFFFF", -1, 65535},
        {"&O177777", -1, 65535},  {"&HFFFF8000", -32768, -32768}, {"&H10000", 6, 65536},
        {"&HFFFFFFFF", -1, -1},
    };
    for (const auto& row : radix) {
        int32_t integer = 0;
        const int32_t error = ErrorOf([&] { integer = ToInteger(std::string_view(row.text)); });
        EXPECT_EQ(error != 0 ? error : integer, row.integer) << row.text;
        EXPECT_EQ(ToLong(std::string_view(row.text)), row.whole) << row.text;
    }
}

TEST(ConvertTest, ToIntegerAndToLongRaiseOutsideRange) {
    for (double bad : {32767.5, 32768.0, -32768.51, -40000.0, kNaN, kInf, -kInf, 1e300}) {
        EXPECT_EQ(ErrorOf([&] { ToInteger(bad); }), 6) << bad;
    }
    for (double bad : {2147483647.5, -2147483648.51, 3e9, kNaN, kInf, -kInf}) {
        EXPECT_EQ(ErrorOf([&] { ToLong(bad); }), 6) << bad;
    }
    EXPECT_EQ(ErrorOf([] { ToInteger(std::string_view("")); }), 13);
    EXPECT_EQ(ErrorOf([] { ToLong(std::string_view("1e400")); }), 6);
}

TEST(ConvertTest, ToBooleanFromText) {
    const struct {
        const char* text;
        int32_t result;  // 1 True, 0 False, otherwise the error number
    } rows[] = {
        {"true", 1}, {" FALSE ", 0}, {"tRuE", 1},  {"0", 0}, {"-0.0", 0},
        {"2", 1},    {"-1", 1},      {"0.001", 1}, {"", 13}, {"  ", 13},
        {"yes", 13}, {"truex", 13},  {"1e400", 6},
    };
    for (const auto& row : rows) {
        int32_t got = 0;
        const int32_t error = ErrorOf([&] { got = ToBoolean(std::string_view(row.text)); });
        EXPECT_EQ(error != 0 ? error : got, row.result) << row.text;
    }
}

TEST(ConvertTest, VariantConversions) {
    EXPECT_EQ(ToText(Variant{}), "");
    EXPECT_EQ(ToText(Variant{true}), "True");
    EXPECT_EQ(ToText(Variant{false}), "False");
    EXPECT_EQ(ToText(Variant{int16_t{-5}}), "-5");
    EXPECT_EQ(ToText(Variant{2.6f}), "2.6");
    EXPECT_EQ(ToText(Variant{1.0 / 3}), "0.333333333333333");
    EXPECT_EQ(ToText(Variant{std::string(" x ")}), " x ");

    EXPECT_EQ(ToDouble(Variant{}), 0.0);
    EXPECT_EQ(ToDouble(Variant{true}), -1.0);
    EXPECT_EQ(ToDouble(Variant{std::string("1.5")}), 1.5);
    EXPECT_EQ(ToSingle(Variant{true}), -1.0f);
    EXPECT_EQ(ToInteger(Variant{true}), -1);
    EXPECT_EQ(ToInteger(Variant{2.5f}), 2);
    EXPECT_EQ(ToLong(Variant{false}), 0);
    EXPECT_EQ(ToLong(Variant{std::string("3.5")}), 4);
    EXPECT_FALSE(ToBoolean(Variant{}));
    EXPECT_TRUE(ToBoolean(Variant{int32_t{7}}));
    EXPECT_FALSE(ToBoolean(Variant{0.0}));
    EXPECT_TRUE(ToBoolean(Variant{std::string("True")}));

    EXPECT_EQ(ErrorOf([] { ToInteger(Variant{int32_t{40000}}); }), 6);
    EXPECT_EQ(ErrorOf([] { ToSingle(Variant{1e300}); }), 6);
    EXPECT_EQ(ErrorOf([] { ToLong(Variant{std::string("abc")}); }), 13);
    EXPECT_EQ(ErrorOf([] { ToBoolean(Variant{std::string("")}); }), 13);
}

TEST(ConvertTest, FormatNumber) {
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {2.6, "2.6"},
        {-4800, "-4800"},
        {1.0 / 3, "0.333333333333333"},
        {0.00001, "0.00001"},
        {0.000001, "1E-06"},
        {1.5e-7, "1.5E-07"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E+15"},
        {999999999999999.9, "1E+15"},
        {-2.5e20, "-2.5E+20"},
        {0.1 + 0.2, "0.3"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FormatNumber(row.value), row.text) << row.text;
    }
    EXPECT_EQ(FormatNumber(1.23456789012345678e100), "1.23456789012346E+100");
    const struct {
        float value;
        const char* text;
    } singles[] = {
        {2.6f, "2.6"},   {3.14159265f, "3.141593"},    {1234567.f, "1234567"},
        {1e7f, "1E+07"}, {12345678.f, "1.234568E+07"}, {0.00001f, "0.00001"},
        {-0.0f, "0"},
    };
    for (const auto& row : singles) {
        EXPECT_EQ(FormatNumber(row.value), row.text) << row.text;
    }
}

TEST(ConvertTest, ShortestTextReadsBackExactly) {
    EXPECT_EQ(ShortestText(4800.0), "4800");
    EXPECT_EQ(ShortestText(1e6), "1000000");
    EXPECT_EQ(ShortestText(1e15), "1000000000000000");
    EXPECT_EQ(ShortestText(1e16), "1E+16");
    EXPECT_EQ(ShortestText(-0.0), "0");
    EXPECT_EQ(ShortestText(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(ShortestText(2.6f), "2.6");
    EXPECT_EQ(ShortestText(3.14159265f), "3.1415927");
    for (double v : {0.1, 2.6, 1.0 / 3, -1e-7, 123.456e-5, 1.7976931348623157e308, 4.9e-324}) {
        EXPECT_EQ(ToDouble(std::string_view(ShortestText(v))), v) << ShortestText(v);
    }
}

}  // namespace
}  // namespace scenova
