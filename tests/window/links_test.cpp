// Transcript lines as links: pointing highlights, clicking plays one line.

#include "tests/window/LessonFixture.h"

namespace scenova::testing {
namespace {

using WindowLinkTest = LessonTest;

std::string Unhighlight(const headless::RichText::Range& r) {
    return "> rtfText.UnhighlightRange(" + std::to_string(r.start) + ", " + std::to_string(r.end) +
           ", 0)";
}

TEST_F(WindowLinkTest, ClickingDuringPlaybackPlaysOnlyThatLine) {
    Open();
    Press("btnVideoPlay");
    RunTo(2.0);                       // block 1 plays and is at the top
    const Range line = LinkRange(3);  // Ana's second line, in block 2
    const int32_t lastVisible = W().rtfText->LastVisibleLine();
    std::size_t mark = Mark();
    Click(3);
    EXPECT_THAT(
        Since(mark),
        ElementsAre(
            "< rtfText.LinkClick(3, 1, " + std::to_string(line.start) + ", " +
                std::to_string(line.end) + ", 1)",
            "> movOrvMovie.EnableSignals(False)", "> movOrvMovie.Stop()",
            "> rtfText.ClearHighlight()", SetState("btnVideoPlay", 0), SetState("btnVideoStop", 1),
            Unhighlight(Of(Block(1))),
            "> rtfText.HighlightRange(" + std::to_string(line.start) + ", " +
                std::to_string(line.end) + ")",
            "> rtfText.ScrollLines(" + std::to_string(Block(2).LastLine - lastVisible) + ")",
            "> sldVideoSlider.Value = 3", "< sldVideoSlider.Change()", "> app.DoEvents()",
            GetState("btnVideoRew"), GetState("btnVideoFwd"), "> movOrvMovie.SetPlayMode(2)",
            SetState("btnVideoPlay", 1), SetState("btnVideoStop", 0),
            "> movOrvMovie.PlayRange(3.2, 3.9, True)"));
    EXPECT_EQ(Form().VideoState(), -1);
    EXPECT_EQ(Form().CurrentBlock(), 2);
    EXPECT_EQ(Form().SelStart(), line.start);
    EXPECT_TRUE(Form().LinkClicked());
    EXPECT_FALSE(W().movOrvMovie->SignalsEnabled());
    EXPECT_EQ(W().sldVideoSlider->Value(), 3);
    EXPECT_THAT(Lit(), ElementsAre(line));

    // The line ends 0.7 s later without any block signal.
    RunTo(3.0);
    EXPECT_THAT(TimedSince(mark, {"< movOrvMovie."}),
                ElementsAre(At(2.7, "< movOrvMovie.Notify()")));
    EXPECT_EQ(Buttons(), "Play 0 Stop 1 Rew 0 Fwd 0");
    EXPECT_THAT(Lit(), ElementsAre(line));

    // A second line replaces the first; the same line again keeps it.
    mark = Mark();
    Enter(1);
    Click(1);
    Click(1);
    EXPECT_THAT(Since(mark, "> rtfText.UnhighlightRange"), ElementsAre(Unhighlight(line)));
    EXPECT_THAT(Lit(), ElementsAre(LinkRange(1)));
    EXPECT_EQ(Top(), Block(1).FirstLine);  // scrolled back up to its block
    EXPECT_EQ(Form().SelStart(), LinkRange(1).start);

    // Stopped after a click: leaving the clicked line keeps it, leaving
    // another removes that one's highlight.
    mark = Mark();
    Leave(1);
    Enter(4);
    Leave(4);
    EXPECT_THAT(Since(mark, "> rtfText."),
                ElementsAre("> rtfText.HighlightRange(" + std::to_string(LinkRange(4).start) +
                                ", " + std::to_string(LinkRange(4).end) + ")",
                            Unhighlight(LinkRange(4))));
    EXPECT_THAT(Lit(), ElementsAre(LinkRange(1)));

    // Once the line has played, Play starts at its block; the first signal
    // forgets the click without clearing.
    RunTo(4.0);
    mark = Mark();
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

TEST_F(WindowLinkTest, TheConfiguredLinkCursorShowsOverLinksOnly) {
    const char header[] = {0, 0, 2, 0, 1, 0, 32, 32, 0, 0, 0, 0};  // a cursor file's header
    const std::string cursor =
        lesson.Write("resources/link.cur", std::string(header, sizeof header));
    settings["rtfText.LinkCursor"] = "link.cur";
    Open();
    auto& user32 = platform.HeadlessUser32();
    const int32_t arrow = user32.CurrentCursor();
    ASSERT_EQ(user32.CursorSource(arrow), "32512");
    Enter(0);
    EXPECT_EQ(user32.CursorSource(user32.CurrentCursor()), cursor);
    Leave(0);
    EXPECT_EQ(user32.CurrentCursor(), arrow);
    EXPECT_THAT(Since(0, "> user32."), ElementsAre("> user32.SetCursor(<cursor " + cursor + ">)",
                                                   "> user32.SetCursor(<cursor 32512>)"));
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
