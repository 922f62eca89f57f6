// Transcript lines as links: pointing highlights, clicking plays one line.

#include "tests/window/LessonFixture.h"

namespace scenova::testing {
namespace {

using WindowLinkTest = LessonTest;

std::string Unhighlight(const headless::RichText::Range& r) {
    return "> rtfText.UnhighlightRange(" + std::to_string(r.start) + ", " + std::to_string(r.end) +
           ", 0)";
}

// Clicking a line during playback plays that line alone; the sample lesson's
// reviewed links trace has that, and a second line replacing the first.
TEST_F(WindowLinkTest, AfterAClickedLinePlayStartsAtItsBlockAndForgetsTheClick) {
    Open();
    Press("btnVideoPlay");
    RunTo(2.0);
    Click(3);
    EXPECT_EQ(Form().CurrentBlock(), 2);
    EXPECT_TRUE(Form().LinkClicked());
    EXPECT_FALSE(W().movOrvMovie->SignalsEnabled());
    EXPECT_THAT(Lit(), ElementsAre(LinkRange(3)));
    // The same line again keeps its highlight.
    Enter(1);
    Click(1);
    Click(1);
    EXPECT_THAT(Lit(), ElementsAre(LinkRange(1)));
    EXPECT_EQ(Top(), Block(1).FirstLine);  // scrolled back up to its block

    RunTo(4.0);
    const std::size_t mark = Mark();
    Press("btnVideoPlay");
    EXPECT_THAT(Since(mark, "> movOrvMovie.PlayRange"),
                ElementsAre("> movOrvMovie.PlayRange(1.5, 6, False)"));
    EXPECT_THAT(Since(mark, "> rtfText.ClearHighlight"), IsEmpty());
    EXPECT_EQ(Form().SelStart(), -1);
    EXPECT_FALSE(Form().LinkClicked());
    EXPECT_THAT(Lit(), ElementsAre(Of(Block(1))));
}

TEST_F(WindowLinkTest, AUserSlideAfterAClickForgetsTheLine) {
    Open();
    Enter(3);
    Click(3);
    Slide(4);
    EXPECT_FALSE(Form().LinkClicked());
    EXPECT_EQ(W().movOrvMovie->State(), headless::Video::PlayState::Stopped);
    EXPECT_TRUE(W().movOrvMovie->SignalsEnabled());
    EXPECT_THAT(Lit(), ElementsAre(Of(Block(3))));
    // The block chosen with the slider is remembered: a click removes it.
    Enter(2);
    const std::size_t mark = Mark();
    Click(2);
    EXPECT_THAT(Since(mark, "> rtfText.UnhighlightRange"), ElementsAre(Unhighlight(Of(Block(3)))));
    EXPECT_THAT(Lit(), ElementsAre(LinkRange(2)));
}

TEST_F(WindowLinkTest, EnterAndLeaveKeepOnlyWhatTheStateCallsFor) {
    Open();
    // Stopped, nothing clicked: the line under the pointer alone.
    Press("btnVideoFwd");  // block 0 lit
    std::size_t mark = Mark();
    Enter(1);
    Leave(1);
    EXPECT_THAT(Since(mark, ">"),
                ElementsAre("> rtfText.ClearHighlight()",
                            "> rtfText.HighlightRange(" + std::to_string(LinkRange(1).start) +
                                ", " + std::to_string(LinkRange(1).end) + ")",
                            Unhighlight(LinkRange(1))));
    EXPECT_THAT(Lit(), IsEmpty());

    // Playing block 2: its first line stays lit on leaving, any other loses
    // its own range, also the block's second line.
    Press("btnVideoPlay");
    RunTo(2.0);  // from 0.5 on: block 2 begins
    ASSERT_EQ(Form().CurrentBlock(), 2);
    const Range block = Of(Block(2));
    Enter(2);
    Leave(2);
    EXPECT_THAT(Lit(), ElementsAre(block));
    Enter(0);
    Leave(0);
    EXPECT_THAT(Lit(), ElementsAre(block));
    Enter(3);
    Leave(3);
    EXPECT_THAT(Lit(), ElementsAre(Range{block.start, LinkRange(3).start}));

    // Thumb held: nothing is kept.
    ASSERT_TRUE(W().sldVideoSlider->UserThumbDown());
    mark = Mark();
    Enter(2);
    Leave(2);
    EXPECT_THAT(Since(mark, "> rtfText.UnhighlightRange"), ElementsAre(Unhighlight(LinkRange(2))));
    // No link cursor configured: the pointer never changed.
    EXPECT_THAT(Since(0, "> user32."), IsEmpty());
}

TEST_F(WindowLinkTest, AClickOutsideTheCueTableEndsItsHandlerWithError9) {
    Open();
    for (int32_t userID : {6, -1}) {
        SCOPED_TRACE(userID);
        platform.Ctx().eventErrors.clear();
        // Over Ben's first line, on top of its own link.
        W().rtfText->AddLink(LinkRange(1).start, LinkRange(1).end, 1, userID);
        const std::size_t mark = Mark();
        Click(static_cast<int32_t>(W().rtfText->Links().size()) - 1);
        ASSERT_EQ(platform.Ctx().eventErrors.size(), 1u);
        EXPECT_EQ(platform.Ctx().eventErrors[0].event, "rtfText.LinkClick");
        EXPECT_EQ(platform.Ctx().eventErrors[0].error.number(), err::SubscriptOutOfRange);
        // Ended after remembering the line: nothing plays, the slider stays.
        EXPECT_EQ(Form().SelStart(), LinkRange(1).start);
        EXPECT_THAT(Since(mark, "> movOrvMovie.PlayRange"), IsEmpty());
        EXPECT_THAT(Since(mark, "> sldVideoSlider."), IsEmpty());
        EXPECT_FALSE(Form().InSignalEvent());
    }
}

}  // namespace
}  // namespace scenova::testing
