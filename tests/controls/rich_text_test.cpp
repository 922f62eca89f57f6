#include "model/RichText.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "tests/controls/control_test_support.h"
#include "tests/controls/rich_text_contract.h"

namespace scenova::test {
namespace {

struct HeadlessRichTextFactory {
    HeadlessWorld world;
    model::RichText text{world.ctx, "rtfText", 4242};

    controls::IRichText& Text() { return text; }
    void Load(const std::vector<std::string>& lines) { text.RTFContent(Rtf(lines)); }
    bool IsHighlighted(int32_t position) { return text.IsHighlighted(position); }
    void EnterLink(int32_t n) { text.UserEnterLink(n); }
    void LeaveLink(int32_t n) { text.UserLeaveLink(n); }
    void ClickLink(int32_t n, int16_t button) { text.UserClickLink(n, button); }
    void ActEnterLink(int32_t n) { text.UserEnterLink(n); }
};

using Ranges = std::vector<model::RichText::Range>;

class HeadlessRichTextTest : public ::testing::Test {
protected:
    HeadlessWorld world;
    model::RichText text{world.ctx, "rtfText", 4242};
};

TEST_F(HeadlessRichTextTest, LinksOutsideTheTextRaise9) {
    text.RTFContent("0123456789");
    for (auto [start, end] : {std::pair{-1, 3}, {5, 3}, {0, 11}, {11, 11}}) {
        EXPECT_EQ(ErrorOf([&] { text.AddLink(start, end, 1, 0); }), err::SubscriptOutOfRange)
            << start << ".." << end;
    }
    text.AddLink(0, 10, 1, 0);
    text.AddLink(10, 10, 1, 1);
    for (int32_t index : {-1, 2, std::numeric_limits<int32_t>::max()}) {
        EXPECT_EQ(ErrorOf([&] { text.UserEnterLink(index); }), err::SubscriptOutOfRange);
    }
}

TEST_F(HeadlessRichTextTest, HiddenTranscriptGetsNoLinkEvents) {
    text.RTFContent("line");
    text.AddLink(0, 4, 1, 0);
    text.Visible(false);
    EXPECT_FALSE(text.UserEnterLink(0));
    EXPECT_FALSE(text.UserClickLink(0, 1));
    EXPECT_EQ(world.trace.Lines().size(), 3u);  // the calls above, no event
}

TEST_F(HeadlessRichTextTest, PositionsCountCharactersOfTheVisibleText) {
    // "café € naïve", a line break, then an emoji (one character) and " end".
    text.RTFContent(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
        "\\pard caf\\'e9 \\u8364? na\\u239?ve\\par {\\cf1 \\u-10179?\\u-8704?} end}");
    EXPECT_EQ(text.Content(), "caf\u00e9 \u20AC na\u00efve\n\U0001F600 end");
    ASSERT_EQ(text.TextLength(), 18);
    EXPECT_EQ(text.LineCount(), 2);
    EXPECT_EQ(text.FindText(0, 17, -1, "na\u00efve"), 7);
    EXPECT_EQ(text.MatchEnd(), 12);
    EXPECT_EQ(text.FindText(0, 18, -1, "\U0001F600 end"), 13);
    EXPECT_EQ(text.MatchEnd(), 18);
    EXPECT_EQ(text.FindText(0, 17, -1, "caf\u00e9 \u20AC"), 0);
    EXPECT_EQ(text.FindText(0, 17, -1, "caf\xe9"), -1);  // not UTF-8: no match
    text.CaretPosition(13);
    EXPECT_EQ(text.CaretLine(), 1);
    text.CaretPosition(12);
    EXPECT_EQ(text.CaretLine(), 0);
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, RichTextContract, HeadlessRichTextFactory);

}  // namespace scenova::test
