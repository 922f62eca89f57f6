#include "headless/RichText.h"

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
    headless::RichText text{world.ctx, "rtfText", 4242};

    controls::IRichText& Text() { return text; }
    void Load(const std::vector<std::string>& lines) {
        std::string joined;
        for (const std::string& line : lines) {
            joined += (joined.empty() ? "" : "\n") + line;
        }
        text.RTFContent(joined);
    }
    bool IsHighlighted(int32_t position) { return text.IsHighlighted(position); }
    void EnterLink(int32_t n) { text.UserEnterLink(n); }
    void LeaveLink(int32_t n) { text.UserLeaveLink(n); }
    void ClickLink(int32_t n, int16_t button) { text.UserClickLink(n, button); }
};

using Lines = std::vector<std::string>;
using Ranges = std::vector<headless::RichText::Range>;

class HeadlessRichTextTest : public ::testing::Test {
protected:
    HeadlessWorld world;
    headless::RichText text{world.ctx, "rtfText", 4242};
};

TEST_F(HeadlessRichTextTest, CallsAndEventsAreTraced) {
    text.RTFContent("Hi there\nBye");
    text.AddLink(0, 8, 1, 3);
    EXPECT_EQ(text.FindText(0, 11, -1, "Bye"), 9);
    text.CaretPosition(9);
    (void)text.CaretLine();
    (void)text.MatchEnd();
    text.ScrollLines(-3);
    text.UserClickLink(0, 2);
    EXPECT_EQ(
        world.trace.Lines(),
        (Lines{"0.000 > rtfText.RTFContent = \"Hi there\nBye\"",
               "0.000 > rtfText.AddLink(0, 8, 1, 3)",
               "0.000 > rtfText.FindText(0, 11, -1, \"Bye\")", "0.000 > rtfText.CaretPosition = 9",
               "0.000 > rtfText.ScrollLines(-3)", "0.000 < rtfText.LinkClick(3, 1, 0, 8, 2)"}));
}

TEST_F(HeadlessRichTextTest, HighlightsMergeAndSplitPerCharacter) {
    text.RTFContent(std::string(40, 'a'));
    text.HighlightRange(0, 5);
    text.HighlightRange(5, 10);  // touching: one run
    text.HighlightRange(20, 30);
    text.HighlightRange(8, 12);  // overlapping
    EXPECT_EQ(text.Highlights(), (Ranges{{0, 12}, {20, 30}}));
    text.UnhighlightRange(3, 25, 0);
    text.UnhighlightRange(27, 28, 0);
    EXPECT_EQ(text.Highlights(), (Ranges{{0, 3}, {25, 27}, {28, 30}}));
    // Ends are clamped to the text; empty and reversed ranges do nothing.
    text.HighlightRange(35, 1000);
    text.HighlightRange(12, 12);
    text.HighlightRange(15, 13);
    text.UnhighlightRange(std::numeric_limits<int32_t>::min(), 1, 0);
    EXPECT_EQ(text.Highlights(), (Ranges{{1, 3}, {25, 27}, {28, 30}, {35, 40}}));
}

TEST_F(HeadlessRichTextTest, NewContentStartsAfresh) {
    text.RTFContent("one\ntwo\nthree");
    text.AddLink(0, 3, 1, 0);
    text.HighlightRange(0, 3);
    text.ScrollLines(2);
    ASSERT_EQ(text.FindText(0, 12, -1, "two"), 4);
    text.CaretPosition(10);
    text.RTFContent("four");
    EXPECT_TRUE(text.Highlights().empty());
    EXPECT_EQ(text.FirstVisibleLine(), 0);
    EXPECT_EQ(text.MatchStart(), -1);
    EXPECT_EQ(text.CaretPosition(), 0);
    EXPECT_EQ(ErrorOf([&] { text.UserClickLink(0, 1); }), err::SubscriptOutOfRange);
}

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

TEST_F(HeadlessRichTextTest, PageFollowsTheHeight) {
    text.RTFContent(std::string(20, '\n'));  // 21 empty lines
    ASSERT_EQ(text.LineCount(), 21);
    for (float height : {0.0f, -500.0f, std::numeric_limits<float>::quiet_NaN(), 479.0f}) {
        text.Height(height);
        EXPECT_EQ(text.LinesPerPage(), 1) << height;
    }
    text.Height(1200.0f);
    text.ScrollLines(100);
    EXPECT_EQ(text.FirstVisibleLine(), 16);
    text.Height(2400.0f);  // a taller page keeps the last page full
    EXPECT_EQ(text.FirstVisibleLine(), 11);
    text.Height(std::numeric_limits<float>::infinity());
    EXPECT_EQ(text.FirstVisibleLine(), 0);
    EXPECT_EQ(text.LastVisibleLine(), 20);
}

TEST_F(HeadlessRichTextTest, HiddenTranscriptGetsNoLinkEvents) {
    text.RTFContent("line");
    text.AddLink(0, 4, 1, 0);
    text.Visible(false);
    EXPECT_FALSE(text.UserEnterLink(0));
    EXPECT_FALSE(text.UserClickLink(0, 1));
    EXPECT_EQ(world.trace.Lines().size(), 3u);  // the calls above, no event
}

TEST_F(HeadlessRichTextTest, HandlerErrorIsKeptAndDoesNotEscape) {
    text.RTFContent("line");
    text.AddLink(0, 4, 1, 0);
    text.Advise({[&](int32_t, int16_t, int32_t, int32_t, int16_t) {
                     text.RTFContent("other");  // the link goes away under the running event
                     Raise(err::SubscriptOutOfRange);
                 },
                 nullptr, nullptr});
    EXPECT_NO_THROW(text.UserClickLink(0, 1));
    ASSERT_EQ(world.ctx.eventErrors.size(), 1u);
    EXPECT_EQ(world.ctx.eventErrors[0].event, "rtfText.LinkClick");
    EXPECT_EQ(world.ctx.eventErrors[0].error.number(), err::SubscriptOutOfRange);
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, RichTextContract, HeadlessRichTextFactory);

}  // namespace scenova::test
