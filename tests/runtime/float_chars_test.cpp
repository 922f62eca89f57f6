#include "runtime/FloatChars.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>

namespace scenova {
namespace {

// Natively the standard library is the reference: the wrapper reads and
// writes as it does, out-of-range and shortest forms included.
template <class Float>
void ExpectReadAsTheStandard(const std::string& text) {
    const char* end = text.data() + text.size();
    Float ours = 7;
    Float theirs = 7;
    const auto read = FloatFromChars(text.data(), end, ours);
    const auto expected = std::from_chars(text.data(), end, theirs);
    EXPECT_TRUE(read.ptr == expected.ptr && read.ec == expected.ec) << text;
    EXPECT_EQ(ScientificText(ours), ScientificText(theirs)) << text;
}

template <class Float>
void ExpectWrittenAsTheStandard(Float value) {
    char buffer[64];
    const auto written =
        std::to_chars(buffer, std::end(buffer), value, std::chars_format::scientific);
    EXPECT_EQ(ScientificText(value), std::string(buffer, written.ptr));
}

TEST(FloatCharsTest, ReadAndWriteAsTheStandardLibrary) {
    for (const char* text :
         {"0", "-2.5e10", "1e400", "-1e-400", "0e999", "1e-320", "2e-324", "1.7976931348623159e308",
          "3.4028236e38", "1e-46", "-Infinity", "nan(12)", "+1", " 1", "."}) {
        ExpectReadAsTheStandard<double>(text);
        ExpectReadAsTheStandard<float>(text);
    }
    constexpr double kInf = std::numeric_limits<double>::infinity();
    for (const double value :
         {-0.0, 0.1, 1e15, 1e16, 1e-5, 5e-324, -123.456, kInf, -kInf, std::nan(""),
          1.7976931348623157e308, 3.4028235e38, 5e-7, 0.30000000000000004}) {
        ExpectWrittenAsTheStandard(value);
        if (!(std::fabs(value) > std::numeric_limits<float>::max())) {
            ExpectWrittenAsTheStandard(static_cast<float>(value));
        }
    }
    EXPECT_EQ(FixedText(-2.675, 2), "-2.67");  // the binary value is a little below -2.675
}

}  // namespace
}  // namespace scenova
