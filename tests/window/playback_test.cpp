// The transport buttons in the cases the sample lesson's reviewed traces
// (playing, stopping, stepping, hiding the text) do not reach.

#include "tests/window/LessonFixture.h"

namespace scenova::testing {
namespace {

using WindowPlaybackTest = LessonTest;

TEST_F(WindowPlaybackTest, ForwardDuringPlaybackStopsAtTheNextBlock) {
    Open();
    Press("btnVideoPlay");
    RunTo(2.0);  // in block 1
    EXPECT_EQ(W().sldVideoSlider->Value(), 2);
    Press("btnVideoFwd");
    EXPECT_EQ(Form().VideoState(), -1);
    EXPECT_EQ(W().movOrvMovie->State(), headless::Video::PlayState::Stopped);
    EXPECT_DOUBLE_EQ(Position(), Block(2).StartTime);
    EXPECT_EQ(Form().CurrentBlock(), 2);
    EXPECT_EQ(Buttons(), "Play 0 Stop 1 Rew 0 Fwd 0");
    RunTo(3.5);
    EXPECT_DOUBLE_EQ(Position(), Block(2).StartTime);
}

// A bar script may leave the step buttons enabled at either end: the
// handlers themselves keep the slider within the blocks.
TEST_F(WindowPlaybackTest, ForwardAndRewindNeverLeaveTheBlocks) {
    Open();
    const auto force = [&](const std::string& button) {
        W().frmRose->SetButtonState(button, 0, false);
        Press(button);
    };
    Slide(5);  // the last block
    std::size_t mark = Mark();
    force("btnVideoFwd");
    EXPECT_THAT(Since(mark, "> sldVideoSlider."), IsEmpty());
    EXPECT_EQ(W().sldVideoSlider->Value(), 5);
    Slide(1);  // the first block
    mark = Mark();
    force("btnVideoRew");
    EXPECT_THAT(Since(mark, "> sldVideoSlider."), IsEmpty());
    EXPECT_EQ(W().sldVideoSlider->Value(), 1);
}

// The second signal runs inside the first one's slider assignment; the
// window's own moves of the slider must not be taken for the user's.
TEST_F(WindowPlaybackTest, TwoBlocksStartingTogetherPlayOn) {
    script[11] = "AVSTART 1.5";  // block 2 starts with block 1
    Open();
    const std::size_t mark = Mark();
    Press("btnVideoPlay");
    RunTo(4.5);
    EXPECT_THAT(Since(mark, "< movOrvMovie.SignalEvent"),
                ElementsAre("< movOrvMovie.SignalEvent(1)", "< movOrvMovie.SignalEvent(2)",
                            "< movOrvMovie.SignalEvent(3)", "< movOrvMovie.SignalEvent(4)"));
    EXPECT_THAT(Since(mark, "> movOrvMovie.Stop"), IsEmpty());
    EXPECT_THAT(Since(mark, "> movOrvMovie.Seek"), IsEmpty());
    EXPECT_EQ(Form().VideoState(), 0);
    EXPECT_EQ(W().movOrvMovie->State(), headless::Video::PlayState::Playing);
    EXPECT_EQ(W().sldVideoSlider->Value(), 4);
    EXPECT_EQ(Lit(), std::vector<Range>{Of(Block(3))});
}

TEST_F(WindowPlaybackTest, ABarWithoutStopStillPlaysAndStops) {
    settings.erase("btnVideoStop.Bmp");
    Open();
    ASSERT_FALSE(W().frmRose->HasButton("btnVideoStop"));
    const std::size_t mark = Mark();
    Press("btnVideoPlay");
    EXPECT_THAT(Since(mark, "> frmRose.SetButtonState"), ElementsAre(SetState("btnVideoPlay", 1)));
    EXPECT_EQ(Form().VideoState(), 0);
    RunTo(6.5);
    EXPECT_EQ(TimedSince(mark, {"< movOrvMovie.SignalEvent"}).size(), 6u);
    EXPECT_EQ(Form().VideoState(), -1);
    EXPECT_EQ(W().frmRose->StateOf("btnVideoPlay"), 0);
    // Only the stop itself names the missing button; the bar takes any name.
    EXPECT_THAT(Since(mark, "> frmRose.SetButtonState(\"btnVideoStop\""),
                ElementsAre(SetState("btnVideoStop", 1)));
}

TEST_F(WindowPlaybackTest, ASignalBeyondTheEndEndsItsHandlerWithError9) {
    Open();
    // A control that signals once more than the lesson has blocks.
    std::string times = "0.5,1.5,2.5,4,5,6,6";
    W().movOrvMovie->SetSignalTimes(times);
    auto& errors = platform.Ctx().eventErrors;
    for (const bool playing : {false, true}) {
        SCOPED_TRACE(playing);
        errors.clear();
        const std::size_t mark = Mark();
        if (playing) {
            Press("btnVideoPlay");
            RunTo(6.5);
        } else {
            Slide(6);  // the seek to the end lands on both end signals
            EXPECT_EQ(Since(mark).back(), "< movOrvMovie.SignalEvent(7)");  // nothing done
        }
        EXPECT_EQ(TimedSince(mark, {"< movOrvMovie.SignalEvent"}).size(), playing ? 7u : 2u);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].event, "movOrvMovie.SignalEvent");
        EXPECT_EQ(errors[0].error.number(), err::SubscriptOutOfRange);
        EXPECT_FALSE(Form().InSignalEvent());
        EXPECT_EQ(Form().VideoState(), -1);
        EXPECT_EQ(Form().CurrentBlock(), -1);
        EXPECT_EQ(W().sldVideoSlider->Value(), 6);
    }
}

}  // namespace
}  // namespace scenova::testing
