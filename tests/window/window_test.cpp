// What trace cases (tests/cases/) cannot reach: a control that misbehaves, and
// a press that arrives while a signal handler yields. The lesson is the cases'
// base lesson.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "lesson/LessonFolder.h"
#include "tests/support/HeadlessHost.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceMatchers.h"

namespace scenova::testing {
namespace {

namespace fs = std::filesystem;

class WindowTest : public ::testing::Test, protected HeadlessHost {
protected:
    WindowTest() {
        fs::copy(fs::path(SCENOVA_SOURCE_DIR) / "tests/cases/base", lesson.Path(),
                 fs::copy_options::recursive);
        fs::create_directories(lesson.Path() / "video");
        fs::copy_file(fs::path(SCENOVA_SOURCE_DIR) / "tests/data/six_seconds.avi",
                      lesson.Path() / "video/lesson.avi");
        mgr->Serve(lesson::LoadLesson(lesson.Path()));
        host.Create();
        EXPECT_EQ(host.Init("scenova").value, Variant(true));
        EXPECT_FALSE(host.Show().Failed());
        platform.ProcessPending();
    }
    const headless::HeadlessWindow& W() const { return platform.Window(); }
    frmScenova& Form() { return host.Tool().Window(); }
    void Press(const std::string& button) {
        EXPECT_TRUE(W().frmRose->UserPress(button));
        platform.ProcessPending();
    }
    void RunTo(double seconds) { platform.Loop().AdvanceTo(headless::Seconds(seconds)); }
    // The handler errors so far, as "object.Event number".
    std::vector<std::string> Errors() {
        std::vector<std::string> out;
        for (const auto& e : platform.Ctx().eventErrors) {
            out.push_back(e.event + " " + std::to_string(e.error.number()));
        }
        return out;
    }
    std::vector<std::string> Lines(std::size_t from, std::string_view prefix) {
        const auto& all = platform.GetTrace().Lines();
        return Untimed({all.begin() + static_cast<long>(from), all.end()}, prefix);
    }

    TempDir lesson;
};

// A control that signals once more than the lesson has blocks, during
// playback or on a seek to the end: error 9 ends that handler only.
TEST_F(WindowTest, ASignalBeyondTheEndEndsItsHandlerWithError9) {
    std::string times = "0.5,1.5,2.5,4,5,6,6";
    W().movOrvMovie->SetSignalTimes(times);
    EXPECT_TRUE(W().sldVideoSlider->UserClickTo(6));  // lands on both end signals
    platform.ProcessPending();
    Press("btnVideoPlay");
    RunTo(6.5);
    EXPECT_EQ(Errors(),
              (std::vector<std::string>{"movOrvMovie.SignalEvent 9", "movOrvMovie.SignalEvent 9"}));
    EXPECT_FALSE(Form().InSignalEvent());
    EXPECT_EQ(Form().VideoState(), -1);
    EXPECT_EQ(Form().CurrentBlock(), -1);
}

// A link whose cue is not in the table (past the end, or negative) ends the
// click's handler with error 9 after it remembered the line: nothing plays.
TEST_F(WindowTest, AClickOutsideTheCueTableEndsItsHandlerWithError9) {
    const auto& own = W().rtfText->Links().at(1);
    for (int32_t cue : {6, -1}) {
        W().rtfText->AddLink(own.start, own.end, 1, cue);
        const std::size_t mark = platform.GetTrace().LineCount();
        EXPECT_TRUE(
            W().rtfText->UserClickLink(static_cast<int32_t>(W().rtfText->Links().size()) - 1, 1));
        platform.ProcessPending();
        EXPECT_EQ(Form().SelStart(), own.start);
        EXPECT_TRUE(Lines(mark, "> movOrvMovie.PlayRange").empty());
        EXPECT_TRUE(Lines(mark, "> sldVideoSlider.").empty());
    }
    EXPECT_EQ(Errors(), (std::vector<std::string>{"rtfText.LinkClick 9", "rtfText.LinkClick 9"}));
}

// A navigation press while signal 3's handler yields in the slider's change
// waits for the handler; when the exit timer falls due inside the handler
// (it stays busy for 0.3 s), it re-arms instead of tearing the window down.
TEST_F(WindowTest, ANavigationPressInsideASignalHandlerWaitsForTheHandler) {
    for (const double busy : {0.0, 0.3}) {
        SCOPED_TRACE(busy);
        Press("btnVideoPlay");
        const double start = platform.Loop().Now() / 1e6;
        RunTo(start + 2.0);  // signal 3 is scheduled by now, so it runs before the press
        const std::size_t mark = platform.GetTrace().LineCount();
        platform.Loop().At(headless::Seconds(start + 2.5), [&] {
            EXPECT_TRUE(Form().InSignalEvent());
            EXPECT_TRUE(W().frmRoseNavigation->UserPress("Next"));
            platform.RunFor(busy);
        });
        RunTo(start + 4.0);
        // The handler highlights its block before the request reaches the host.
        const auto lines = Lines(mark, "");
        const auto index = [&](std::string_view prefix) {
            return std::find_if(lines.begin(), lines.end(),
                                [&](const std::string& l) { return l.starts_with(prefix); }) -
                   lines.begin();
        };
        EXPECT_LT(index("> rtfText.HighlightRange"), index("> mgr.NavigationRequest"));
        EXPECT_EQ(Lines(mark, "< ExitTimer.Timer()").size(), busy > 0 ? 2u : 1u);
        EXPECT_EQ(mgr->Calls(model::Member::NavigationRequest), busy > 0 ? 2 : 1);
        EXPECT_FALSE(W().form->Enabled());
        EXPECT_EQ(Form().VideoState(), -1);  // rewound
        EXPECT_FALSE(host.Show().Failed());
        platform.ProcessPending();
    }
}

// A bar may leave the step buttons enabled at either end: the handlers
// themselves keep the slider within the blocks.
TEST_F(WindowTest, ForwardAndRewindNeverLeaveTheBlocks) {
    for (const auto& [at, button] : {std::pair{5, "btnVideoFwd"}, {1, "btnVideoRew"}}) {
        EXPECT_TRUE(W().sldVideoSlider->UserClickTo(at));
        platform.ProcessPending();
        W().frmRose->SetButtonState(button, 0, false);
        const std::size_t mark = platform.GetTrace().LineCount();
        Press(button);
        EXPECT_TRUE(Lines(mark, "> sldVideoSlider.").empty()) << button;
    }
}

// A video that cannot resume where it paused is shown stopped, not playing.
TEST_F(WindowTest, AThumbReleaseThatCannotResumeStops) {
    Press("btnVideoPlay");
    RunTo(2.0);
    ASSERT_TRUE(W().sldVideoSlider->UserThumbDown());
    W().movOrvMovie->SetDuration(1.0);  // the pause position now lies beyond the end
    const std::size_t mark = platform.GetTrace().LineCount();
    ASSERT_TRUE(W().sldVideoSlider->UserThumbUp());
    EXPECT_EQ(
        Lines(mark, "> movOrvMovie."),
        (std::vector<std::string>{"> movOrvMovie.PlayRange(2, 1, False)", "> movOrvMovie.Stop()"}));
    EXPECT_EQ(Form().VideoState(), -1);
}

}  // namespace
}  // namespace scenova::testing
