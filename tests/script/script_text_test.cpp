// Long lists, and the transcript's text. How a script line splits into tag
// and value, lists into parts, and how culture tips are rewritten is in the
// trace cases (script-*).

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

// What the transcript shows of a line, so that the line search finds it
// whether or not a text colour is set.
TEST(VisibleLineText, IsTheLineAsTheTranscriptShowsIt) {
    EXPECT_EQ(VisibleLineText("  Fine, thanks.  "), "Fine, thanks.");
    EXPECT_EQ(VisibleLineText("\\cf(0,0,128)Fine, thanks.\\cf0"), "Fine, thanks.");
    EXPECT_EQ(VisibleLineText("\\cf(0,0,128) Fine (really). \\cf0"), "Fine (really).");
    EXPECT_EQ(VisibleLineText("a \\cf(1,2,3)red\\cf0 b\\cf0"), "a red b");
    EXPECT_EQ(VisibleLineText("\\cf(256,0,0)x \\cf0"), "\\cf(256,0,0)x");
    EXPECT_EQ(VisibleLineText("a\\b"), "a\\b");  // a backslash that starts no marker
    EXPECT_EQ(VisibleLineText("a\r\nb\nc\x01\td\x7f"), "a b c\td");
    EXPECT_EQ(VisibleLineText("\xC3\\cf0\xA9 \xE2\x82"), "\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD");
}

}  // namespace
}  // namespace scenova
