// Long lists, and line breaks in the transcript's text. How a script line
// splits into tag and value, lists into parts, how culture tips are rewritten
// and what the transcript shows of a line is in the trace cases (script-*).

#include <gtest/gtest.h>

#include "runtime/RuntimeError.h"
#include "script/ScriptText.h"
#include "tests/support/Errors.h"

namespace scenova {
namespace {

TEST(SplitList, CountBeyondSixteenBitsOverflows) {
    std::vector<std::string> parts;
    EXPECT_EQ(SplitList(std::string(INT16_MAX, ','), parts), INT16_MAX);  // the most that fit
    EXPECT_EQ(scenova::testing::ErrorOf([&] { SplitList(std::string(40000, ','), parts); }),
              err::Overflow);
}

// A line break a script line cannot hold (the rest is the
// script-text-as-the-transcript-shows-it case).
TEST(VisibleLineText, ShowsLineBreaksAsSpaces) {
    EXPECT_EQ(VisibleLineText("a\r\nb\nc\rd"), "a b c d");
}

}  // namespace
}  // namespace scenova
