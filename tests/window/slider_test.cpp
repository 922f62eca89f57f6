// The position slider: holding the thumb pauses, dragging or clicking seeks
// by whole blocks, to the very start or to the very end.

#include "tests/window/LessonFixture.h"

namespace scenova::testing {
namespace {

using WindowSliderTest = LessonTest;
using PlayState = headless::Video::PlayState;

TEST_F(WindowSliderTest, HoldingTheThumbWithoutMovingItPausesAndResumesThere) {
    Open();
    Press("btnVideoPlay");
    RunTo(2.0);  // in block 1, which started at 1.5
    const std::size_t mark = Mark();
    ASSERT_TRUE(W().sldVideoSlider->UserThumbDown());
    EXPECT_EQ(Form().VideoState(), 1);
    EXPECT_EQ(W().movOrvMovie->State(), PlayState::Paused);
    RunTo(3.0);
    EXPECT_DOUBLE_EQ(Position(), 2.0);
    ASSERT_TRUE(W().sldVideoSlider->UserThumbUp());
    EXPECT_THAT(Since(mark),
                ElementsAre("< sldVideoSlider.ThumbDown()", "> movOrvMovie.Pause()",
                            "< sldVideoSlider.ThumbUp()", "> movOrvMovie.PlayRange(2, 6, False)"));
    EXPECT_EQ(Form().VideoState(), 0);
    EXPECT_EQ(Buttons(), "Play 1 Stop 0 Rew 0 Fwd 0");
    RunTo(3.5);
    EXPECT_THAT(TimedSince(mark, {"< movOrvMovie.SignalEvent"}),
                ElementsAre(At(3.5, "< movOrvMovie.SignalEvent(3)")));
    EXPECT_EQ(W().sldVideoSlider->Value(), 3);
}

TEST_F(WindowSliderTest, DraggingDuringPlaybackStopsAtTheChosenBlock) {
    Open();
    Press("btnVideoPlay");
    RunTo(2.0);
    auto& slider = *W().sldVideoSlider;
    // Dragged and brought back: no change, but a stop all the same.
    ASSERT_TRUE(slider.UserThumbDown());
    ASSERT_TRUE(slider.UserScrollTo(2));
    ASSERT_TRUE(slider.UserThumbUp());
    EXPECT_EQ(Form().VideoState(), -1);
    EXPECT_EQ(W().movOrvMovie->State(), PlayState::Stopped);

    Press("btnVideoPlay");
    ASSERT_TRUE(slider.UserThumbDown());
    ASSERT_TRUE(slider.UserScrollTo(4));
    const std::size_t mark = Mark();
    ASSERT_TRUE(slider.UserThumbUp());
    EXPECT_THAT(Since(mark), ElementsAre("< sldVideoSlider.ThumbUp()"));  // nothing to resume
    platform.ProcessPending();

    EXPECT_EQ(Form().VideoState(), -1);
    EXPECT_EQ(W().movOrvMovie->State(), PlayState::Stopped);
    EXPECT_DOUBLE_EQ(Position(), Block(3).StartTime);
    EXPECT_EQ(slider.Value(), 4);
    EXPECT_EQ(Form().CurrentBlock(), 3);
    EXPECT_EQ(Form().SelStart(), Block(3).TextStart);
    EXPECT_THAT(Lit(), ElementsAre(Of(Block(3))));
    EXPECT_EQ(Top(), Block(3).FirstLine);
    EXPECT_EQ(Buttons(), "Play 0 Stop 1 Rew 0 Fwd 0");
    RunTo(5.0);
    EXPECT_DOUBLE_EQ(Position(), Block(3).StartTime);
}

TEST_F(WindowSliderTest, SlidingWhileStoppedSeeksToABlockToTheStartOrToTheEnd) {
    Open();
    // A block: current and lit only once the signal of the seek arrives.
    std::size_t mark = Mark();
    ASSERT_TRUE(W().sldVideoSlider->UserClickTo(3));
    EXPECT_THAT(Since(mark, "> movOrvMovie.Seek"), ElementsAre("> movOrvMovie.Seek(2.5)"));
    EXPECT_EQ(Form().CurrentBlock(), -1);
    EXPECT_THAT(Lit(), IsEmpty());
    platform.ProcessPending();
    EXPECT_EQ(Form().CurrentBlock(), 2);
    EXPECT_THAT(Lit(), ElementsAre(Of(Block(2))));
    EXPECT_EQ(Top(), Block(2).FirstLine);
    EXPECT_EQ(W().sldVideoSlider->Value(), 3);

    // The end: nothing lit, the video at its end, the transcript at its end.
    const int32_t top = Top();
    mark = Mark();
    Slide(6);
    EXPECT_THAT(
        Since(mark, "> rtfText."),
        ElementsAre("> rtfText.ClearHighlight()", "> rtfText.ClearHighlight()",
                    "> rtfText.ScrollLines(" + std::to_string(W().rtfText->LineCount() - top) + ")",
                    "> rtfText.ClearHighlight()"));  // the end signal's stop
    EXPECT_DOUBLE_EQ(Position(), 6.0);
    EXPECT_EQ(Top(), LastTop());
    EXPECT_THAT(Lit(), IsEmpty());
    EXPECT_EQ(Form().CurrentBlock(), -1);
    EXPECT_EQ(Buttons(), "Play 0 Stop 1 Rew 0 Fwd 1");

    // The start, from a block: the same, at the top, and Play then starts
    // at 0.0.
    Slide(2);
    ASSERT_EQ(Form().CurrentBlock(), 1);
    const int32_t lastVisible = W().rtfText->LastVisibleLine();
    mark = Mark();
    Slide(0);
    EXPECT_THAT(Since(mark, "> rtfText.ScrollLines"),
                ElementsAre("> rtfText.ScrollLines(-" + std::to_string(lastVisible) + ")"));
    EXPECT_DOUBLE_EQ(Position(), 0.0);
    EXPECT_EQ(Top(), 0);
    EXPECT_THAT(Lit(), IsEmpty());
    EXPECT_EQ(Form().CurrentBlock(), -1);
    EXPECT_EQ(Buttons(), "Play 0 Stop 1 Rew 1 Fwd 0");
    mark = Mark();
    Press("btnVideoPlay");
    EXPECT_THAT(Since(mark, "> sldVideoSlider."), IsEmpty());
    EXPECT_THAT(Since(mark, "> movOrvMovie.PlayRange"),
                ElementsAre("> movOrvMovie.PlayRange(0, 6, False)"));
}

}  // namespace
}  // namespace scenova::testing
