// The host's bars: a navigation press leaves the lesson after the exit timer,
// also from inside a signal handler, and the first showing sets up the
// toolbar's resource buttons.

#include "tests/window/LessonFixture.h"

namespace scenova::testing {
namespace {

class WindowNavigationTest : public LessonTest {
protected:
    // Presses "Next" while signal 3's handler yields in the slider's change;
    // `busy` seconds pass there before the handler goes on.
    std::size_t PressInsideSignal3(double busy) {
        Open();
        Press("btnVideoPlay");
        RunTo(2.0);  // signal 3 (2.5) is scheduled by now, so it runs before the press
        const std::size_t mark = Mark();
        platform.Loop().At(headless::Seconds(2.5), [this, busy] {
            EXPECT_TRUE(Form().InSignalEvent());
            EXPECT_TRUE(W().frmRoseNavigation->UserPress("Next"));
            if (busy > 0) {
                platform.RunFor(busy);
            }
        });
        RunTo(4.0);
        return mark;
    }
    std::vector<std::string> TimerLines(std::size_t mark) {
        return TimedSince(mark, {"< movOrvMovie.SignalEvent", "< ExitTimer", "> ExitTimer",
                                 "> rtfText.HighlightRange", "> mgr."});
    }
    // The lesson as at its start, the window disabled until the next Show.
    void ExpectRewound() {
        EXPECT_DOUBLE_EQ(Position(), 0.0);
        EXPECT_EQ(W().sldVideoSlider->Value(), 0);
        EXPECT_EQ(Top(), 0);
        EXPECT_THAT(Lit(), IsEmpty());
        EXPECT_EQ(Buttons(), "Play 0 Stop 1 Rew 1 Fwd 0");
        EXPECT_TRUE(W().rtfText->Visible());
        EXPECT_EQ(Form().CurrentBlock(), -1);
        EXPECT_EQ(Form().VideoState(), -1);
        EXPECT_FALSE(Form().InSignalEvent());
        RunTo(10.0);
        EXPECT_EQ(mgr->Calls("NavigationRequest"), 1);
        EXPECT_FALSE(W().form->Enabled());
        // A disabled window takes no input at all.
        EXPECT_FALSE(W().frmRoseToolbar->UserPress("Glossary"));
        EXPECT_FALSE(W().sldVideoSlider->UserClickTo(1));
        Show();
        EXPECT_TRUE(W().form->Enabled());
    }
};

// The press's trace is in the sample lesson's reviewed navigation trace; a
// hidden transcript comes back with the rewind.
TEST_F(WindowNavigationTest, APressWithTheTextHiddenRewindsTheTextToo) {
    Open();
    Press("btnVideoPlay");
    RunTo(3.0);
    Press("btnTextOff");
    RunTo(3.7);
    ASSERT_TRUE(W().frmRoseNavigation->UserPress("Next"));
    RunTo(4.5);
    EXPECT_EQ(W().frmRose->StateOf("btnTextOn"), 1);
    EXPECT_EQ(W().frmRose->StateOf("btnTextOff"), 0);
    ExpectRewound();
}

TEST_F(WindowNavigationTest, APressInsideASignalHandlerWaitsForTheHandler) {
    const std::size_t mark = PressInsideSignal3(0.0);
    EXPECT_THAT(
        TimerLines(mark),
        ElementsAre(At(2.5, "< movOrvMovie.SignalEvent(3)"), At(2.5, "> ExitTimer.Interval = 300"),
                    At(2.5, "> ExitTimer.Enabled = True"), At(2.5, Highlight(Block(2))),
                    At(2.8, "< ExitTimer.Timer()"), At(2.8, "> ExitTimer.Enabled = False"),
                    At(2.8, "> mgr.NavigationRequest(<tool>, \"Next\")")));
    ExpectRewound();
}

TEST_F(WindowNavigationTest, TheExitTimerWaitsAgainWhileTheSignalHandlerStillRuns) {
    const std::size_t mark = PressInsideSignal3(0.3);
    // The timer falls due inside the handler: it re-arms instead of tearing
    // the window down, and the handler finishes first.
    EXPECT_THAT(
        TimerLines(mark),
        ElementsAre(At(2.5, "< movOrvMovie.SignalEvent(3)"), At(2.5, "> ExitTimer.Interval = 300"),
                    At(2.5, "> ExitTimer.Enabled = True"), At(2.8, "< ExitTimer.Timer()"),
                    At(2.8, "> ExitTimer.Enabled = False"), At(2.8, "> ExitTimer.Enabled = True"),
                    At(2.8, Highlight(Block(2))), At(3.1, "< ExitTimer.Timer()"),
                    At(3.1, "> ExitTimer.Enabled = False"),
                    At(3.1, "> mgr.NavigationRequest(<tool>, \"Next\")")));
    ExpectRewound();
}

using WindowBarTest = LessonTest;

TEST_F(WindowBarTest, OnlyTheFirstStartSetsTheResourceButtonsAndOnlyWhereTheyDiffer) {
    settings["Help"] = "help.htm";
    settings["LearningStrategy"] = "strategy.htm";
    Init();
    W().frmRoseToolbar->SetButtonState("Help", 1, false);  // as its bar script may leave it
    std::size_t mark = Mark();
    Show();
    EXPECT_THAT(Since(mark, "> frmRoseToolbar."),
                ElementsAre("> frmRoseToolbar.GetButtonState(\"Help\")",
                            "> frmRoseToolbar.SetButtonState(\"Help\", 0, True)",
                            "> frmRoseToolbar.GetButtonState(\"Culture Tips\")",
                            "> frmRoseToolbar.SetButtonState(\"Culture Tips\", 1, True)",
                            "> frmRoseToolbar.GetButtonState(\"Learning Strategies\")"));
    // The step buttons follow the slider at 0; the transcript is longer
    // than its three lines.
    EXPECT_THAT(
        Since(mark, "> frmRose."),
        ElementsAre(GetState("btnVideoRew"), SetState("btnVideoRew", 1), GetState("btnVideoFwd")));
    EXPECT_THAT(Since(mark, "> rtfText.ScrollBarVisible"),
                ElementsAre("> rtfText.ScrollBarVisible = True"));

    W().frmRoseToolbar->SetButtonState("Culture Tips", 0, false);
    mark = Mark();
    Show();
    Show();
    EXPECT_THAT(Since(mark, "> frmRoseToolbar."), IsEmpty());
    EXPECT_THAT(Since(mark, "> frmRose."), IsEmpty());
    EXPECT_THAT(Since(mark, "> rtfText."), IsEmpty());
    EXPECT_EQ(W().frmRoseToolbar->StateOf("Culture Tips"), 0);
    EXPECT_EQ(Since(mark, "> frmScenova.Visible = True").size(), 2u);
}

}  // namespace
}  // namespace scenova::testing
