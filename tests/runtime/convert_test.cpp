#include "runtime/Convert.h"
#include "tests/support/Errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <variant>
#include <vector>

#include "runtime/RuntimeError.h"

namespace scenova {
namespace {

using scenova::testing::ErrorOf;

// A word of conversions.txt: quoted text with its escapes, or a bare word.
struct Word {
    std::string text;
    bool quoted = false;
};

std::vector<Word> Words(std::string_view line) {
    std::vector<Word> words;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == ' ') {
            ++i;
        } else if (line[i] != '"') {
            const std::size_t end = std::min(line.find(' ', i), line.size());
            words.push_back({std::string(line.substr(i, end - i))});
            i = end;
        } else {
            Word word{"", true};
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && line.at(i + 1) == 'x') {
                    word.text += static_cast<char>(
                        std::stoi(std::string(line.substr(i + 2, 2)), nullptr, 16));
                    i += 3;
                } else {
                    word.text += line[i] == '\\' ? (line.at(++i) == 't' ? '\t' : line[i]) : line[i];
                }
            }
            words.push_back(word);
            ++i;
        }
    }
    return words;
}

using Result = std::variant<double, std::string>;

Result Convert(const std::string& function, const Word& in) {
    const std::string_view text = in.text;
    const double number = in.quoted ? 0.0 : std::strtod(in.text.c_str(), nullptr);
    if (function == "UCase")
        return UCase(text);
    if (function == "ToDouble")
        return ToDouble(text);
    if (function == "ToSingle")
        return in.quoted ? ToSingle(text) : ToSingle(number);
    if (function == "ToInteger")
        return static_cast<double>(in.quoted ? ToInteger(text) : ToInteger(number));
    if (function == "ToLong")
        return static_cast<double>(in.quoted ? ToLong(text) : ToLong(number));
    if (function == "ToBoolean")
        return ToBoolean(text) ? "True" : "False";
    if (function == "FormatNumber")
        return FormatNumber(number);
    if (function == "FormatSingle")
        return FormatNumber(static_cast<float>(number));
    if (function == "ShortestText")
        return ShortestText(number);
    if (function == "ShortestSingle")
        return ShortestText(static_cast<float>(number));
    ADD_FAILURE() << "no function " << function;
    return {};
}

TEST(ConvertTest, EveryRowOfTheConversionsGivesItsResult) {
    std::ifstream file(std::string(SCENOVA_SOURCE_DIR) + "/tests/runtime/conversions.txt");
    std::string line;
    int rows = 0;
    for (int number = 1; std::getline(file, line); ++number) {
        const std::vector<Word> words = Words(line);
        if (words.empty() || words[0].text.starts_with('#')) {
            continue;
        }
        ++rows;
        SCOPED_TRACE("conversions.txt:" + std::to_string(number) + ": " + line);
        ASSERT_GE(words.size(), 3U);
        Result got;
        const int32_t error = ErrorOf([&] { got = Convert(words[0].text, words[1]); });
        if (words[2].text == "error" && !words[2].quoted) {
            EXPECT_EQ(error, std::stoi(words.at(3).text));
        } else if (words[2].quoted) {
            EXPECT_EQ(got, Result{words[2].text});
        } else {
            EXPECT_EQ(got, Result{std::strtod(words[2].text.c_str(), nullptr)});
        }
    }
    EXPECT_GT(rows, 150);
}

TEST(ConvertTest, LongDigitStringsAndShortestTextsReadBack) {
    // The magnitude, not the exponent, decides.
    EXPECT_EQ(ErrorOf([] { ToDouble(std::string_view("1" + std::string(310, '0'))); }), 6);
    EXPECT_EQ(ToDouble(std::string_view("0." + std::string(400, '0') + "1e5")), 0.0);
    for (double v : {0.1, 2.6, 1.0 / 3, -1e-7, 123.456e-5, 1.7976931348623157e308, 4.9e-324}) {
        EXPECT_EQ(ToDouble(std::string_view(ShortestText(v))), v) << ShortestText(v);
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

}  // namespace
}  // namespace scenova
