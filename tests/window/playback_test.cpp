// Playing the lesson with the transport buttons: the transcript and the
// slider follow the video block by block.

#include "tests/window/LessonFixture.h"

namespace scenova::testing {
namespace {

using ::testing::EndsWith;
using WindowPlaybackTest = LessonTest;

TEST_F(WindowPlaybackTest, PlayFromTheStartFollowsEveryBlockAndStopsAtTheEnd) {
    Open();
    EXPECT_EQ(Buttons(), "Play 0 Stop 1 Rew 1 Fwd 0");
    Press("btnVideoPlay");
    EXPECT_THAT(Since(0, "> movOrvMovie."),
                ElementsAre("> movOrvMovie.EnableSignals(True)", "> movOrvMovie.SetPlayMode(1)",
                            "> movOrvMovie.PlayRange(0, 6, False)"));
    EXPECT_EQ(Buttons(), "Play 1 Stop 0 Rew 1 Fwd 0");
    EXPECT_EQ(Form().VideoState(), 0);

    // Each signal moves the slider (without seeking), puts the block's first
    // line at the top and highlights the block alone.
    const std::size_t mark = Mark();
    const char* steps[] = {"Rew 1 Fwd 0", "Rew 0 Fwd 0", "Rew 0 Fwd 0", "Rew 0 Fwd 0",
                           "Rew 0 Fwd 1"};
    std::vector<std::string> expected;
    int32_t top = 0;
    for (int32_t k = 1; k <= BlockCount(); ++k) {
        SCOPED_TRACE(k);
        const BlockInfo& b = Block(k - 1);
        RunTo(b.StartTime);
        EXPECT_EQ(Form().CurrentBlock(), k - 1);
        EXPECT_EQ(W().sldVideoSlider->Value(), k);
        EXPECT_EQ(Top(), std::min(b.FirstLine, LastTop()));
        EXPECT_THAT(Lit(), ElementsAre(Of(b)));
        EXPECT_THAT(Buttons(), EndsWith(steps[k - 1]));
        expected.push_back(At(b.StartTime, "< movOrvMovie.SignalEvent(" + std::to_string(k) + ")"));
        expected.push_back(At(b.StartTime, "> sldVideoSlider.Value = " + std::to_string(k)));
        if (b.FirstLine != top) {
            expected.push_back(At(
                b.StartTime, "> rtfText.ScrollLines(" + std::to_string(b.FirstLine - top) + ")"));
        }
        top = Top();
        expected.push_back(At(b.StartTime, "> rtfText.ClearHighlight()"));
        expected.push_back(At(b.StartTime, Highlight(b)));
    }

    // The end signal stops playback and leaves the slider at the end.
    RunTo(6.5);
    expected.push_back(At(6, "< movOrvMovie.SignalEvent(6)"));
    expected.push_back(At(6, "> sldVideoSlider.Value = 6"));
    expected.push_back(At(6, "> rtfText.ClearHighlight()"));
    EXPECT_EQ(TimedSince(mark, {"< movOrvMovie.SignalEvent", "> sldVideoSlider.Value",
                                "> movOrvMovie.Seek", "> rtfText."}),
              expected);
    EXPECT_EQ(Buttons(), "Play 0 Stop 1 Rew 0 Fwd 1");
    EXPECT_EQ(Form().VideoState(), -1);
    EXPECT_EQ(Form().CurrentBlock(), -1);
    EXPECT_EQ(W().sldVideoSlider->Value(), 6);
    EXPECT_THAT(Lit(), IsEmpty());

    // Play again: back to 0 without a seek, from the very start.
    const std::size_t again = Mark();
    Press("btnVideoPlay");
    EXPECT_THAT(
        Since(again),
        ElementsAre("< frmRose.ButtonPress(\"btnVideoPlay\", \"4\")", "> sldVideoSlider.Value = 0",
                    "< sldVideoSlider.Change()", "> app.DoEvents()", SetState("btnVideoRew", 1),
                    SetState("btnVideoFwd", 0), "> movOrvMovie.EnableSignals(True)",
                    "> movOrvMovie.SetPlayMode(1)", "> movOrvMovie.PlayRange(0, 6, False)",
                    SetState("btnVideoPlay", 1), SetState("btnVideoStop", 0)));
    RunTo(7.0);
    EXPECT_THAT(TimedSince(again, {"< movOrvMovie.SignalEvent"}),
                ElementsAre(At(7.0, "< movOrvMovie.SignalEvent(1)")));
}

TEST_F(WindowPlaybackTest, PlayAfterStopRestartsAtTheCurrentBlock) {
    Open();
    Press("btnVideoPlay");
    RunTo(4.5);  // in the middle of block 3
    const std::size_t mark = Mark();
    Press("btnVideoStop");
    EXPECT_THAT(Since(mark), ElementsAre("< frmRose.ButtonPress(\"btnVideoStop\", \"3\")",
                                         "> movOrvMovie.Stop()", "> rtfText.ClearHighlight()",
                                         SetState("btnVideoPlay", 0), SetState("btnVideoStop", 1)));
    EXPECT_EQ(Form().VideoState(), -1);
    EXPECT_DOUBLE_EQ(Position(), 4.5);
    RunTo(5.5);
    EXPECT_DOUBLE_EQ(Position(), 4.5);
    EXPECT_THAT(TimedSince(mark, {"< movOrvMovie.SignalEvent"}), IsEmpty());

    Press("btnVideoPlay");
    EXPECT_THAT(Since(mark, "> movOrvMovie.PlayRange"),
                ElementsAre("> movOrvMovie.PlayRange(4, 6, False)"));
    // The range starts on the block's signal: the block is lit again.
    EXPECT_EQ(Form().CurrentBlock(), 3);
    EXPECT_THAT(Lit(), ElementsAre(Of(Block(3))));
    EXPECT_EQ(Buttons(), "Play 1 Stop 0 Rew 0 Fwd 0");
    RunTo(6.5);
    EXPECT_DOUBLE_EQ(Position(), 5.0);
    EXPECT_THAT(TimedSince(mark, {"< movOrvMovie.SignalEvent"}),
                ElementsAre(At(5.5, "< movOrvMovie.SignalEvent(4)"),
                            At(6.5, "< movOrvMovie.SignalEvent(5)")));
}

TEST_F(WindowPlaybackTest, ForwardAndRewindStepThroughTheSliderWithinTheBlocks) {
    Open();
    // Forward from the start, stopped: the slider's change seeks, the signal
    // of the seek makes the block current; the step buttons change only
    // where their state differs.
    std::size_t mark = Mark();
    Press("btnVideoFwd");
    EXPECT_THAT(
        Since(mark),
        ElementsAre("< frmRose.ButtonPress(\"btnVideoFwd\", \"5\")", "> sldVideoSlider.Value = 1",
                    "< sldVideoSlider.Change()", "> app.DoEvents()", "> movOrvMovie.Stop()",
                    "> rtfText.ClearHighlight()", SetState("btnVideoPlay", 0),
                    SetState("btnVideoStop", 1), "> movOrvMovie.EnableSignals(True)",
                    GetState("btnVideoRew"), GetState("btnVideoFwd"), "> movOrvMovie.Seek(0.5)",
                    "< movOrvMovie.SignalEvent(1)", GetState("btnVideoRew"),
                    GetState("btnVideoFwd"), "> rtfText.ClearHighlight()", Highlight(Block(0))));
    EXPECT_EQ(Form().CurrentBlock(), 0);

    const char* steps[] = {"",           "Rew 1 Fwd 0", "Rew 0 Fwd 0", "Rew 0 Fwd 0", "Rew 0 Fwd 0",
                           "Rew 0 Fwd 1"};
    for (int32_t v = 2; v <= BlockCount(); ++v) {
        SCOPED_TRACE(v);
        mark = Mark();
        Press("btnVideoFwd");
        EXPECT_EQ(W().sldVideoSlider->Value(), v);
        EXPECT_DOUBLE_EQ(Position(), Block(v - 1).StartTime);
        EXPECT_EQ(Form().CurrentBlock(), v - 1);
        EXPECT_THAT(Lit(), ElementsAre(Of(Block(v - 1))));
        EXPECT_THAT(Buttons(), EndsWith(steps[v]));
        // The signal of a seek does not move the slider again.
        EXPECT_THAT(Since(mark, "> sldVideoSlider."),
                    ElementsAre("> sldVideoSlider.Value = " + std::to_string(v)));
    }
    // At n, Fwd is set disabled without asking, before Rew.
    EXPECT_THAT(Since(mark, "> frmRose."),
                ElementsAre(SetState("btnVideoPlay", 0), SetState("btnVideoStop", 1),
                            SetState("btnVideoFwd", 1), GetState("btnVideoRew"),
                            SetState("btnVideoFwd", 1), GetState("btnVideoRew")));
    EXPECT_FALSE(W().frmRose->UserPress("btnVideoFwd"));
    mark = Mark();
    ForcePress("btnVideoFwd");  // never beyond the last block
    EXPECT_THAT(Since(mark, "> sldVideoSlider."), IsEmpty());
    EXPECT_EQ(W().sldVideoSlider->Value(), BlockCount());

    for (int32_t v = BlockCount() - 1; v >= 1; --v) {
        SCOPED_TRACE(v);
        Press("btnVideoRew");
        EXPECT_EQ(W().sldVideoSlider->Value(), v);
        EXPECT_DOUBLE_EQ(Position(), Block(v - 1).StartTime);
        EXPECT_EQ(Form().CurrentBlock(), v - 1);
        EXPECT_THAT(Buttons(), EndsWith(steps[v]));
    }
    EXPECT_FALSE(W().frmRose->UserPress("btnVideoRew"));
    mark = Mark();
    ForcePress("btnVideoRew");  // never before the first block
    EXPECT_THAT(Since(mark, "> sldVideoSlider."), IsEmpty());
    EXPECT_EQ(W().sldVideoSlider->Value(), 1);

    // Forward during playback stops the video at the next block.
    Press("btnVideoPlay");
    RunTo(1.5);  // at 2.0, in block 1
    EXPECT_EQ(W().sldVideoSlider->Value(), 2);
    Press("btnVideoFwd");
    EXPECT_EQ(Form().VideoState(), -1);
    EXPECT_EQ(W().movOrvMovie->State(), headless::Video::PlayState::Stopped);
    EXPECT_DOUBLE_EQ(Position(), Block(2).StartTime);
    EXPECT_EQ(Form().CurrentBlock(), 2);
    EXPECT_EQ(Buttons(), "Play 0 Stop 1 Rew 0 Fwd 0");
    RunTo(3.0);
    EXPECT_DOUBLE_EQ(Position(), Block(2).StartTime);
}

TEST_F(WindowPlaybackTest, TextButtonsHideAndShowTheTranscriptTwice) {
    Open();
    const auto expect = [&](bool visible) {
        EXPECT_EQ(W().rtfText->Visible(), visible);
        EXPECT_EQ(W().frmRose->StateOf("btnTextOn"), visible ? 1 : 0);
        EXPECT_EQ(W().frmRose->StateOf("btnTextOff"), visible ? 0 : 1);
    };
    const std::size_t mark = Mark();
    Press("btnTextOff");
    EXPECT_THAT(Since(mark, ">"), ElementsAre("> rtfText.Visible = False", SetState("btnTextOn", 0),
                                              SetState("btnTextOff", 1)));
    expect(false);
    ForcePress("btnTextOff");
    expect(false);
    Press("btnTextOn");
    expect(true);
    ForcePress("btnTextOn");
    expect(true);
    EXPECT_EQ(Since(mark, "> rtfText.Visible").size(), 4u);
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
