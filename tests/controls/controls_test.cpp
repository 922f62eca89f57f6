// The contract suites on the headless platform, and what only the headless
// controls can show: the virtual clock, files that hold no movie, handlers
// that release their control.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "headless/Timer.h"
#include "headless/Video.h"
#include "model/ButtonBar.h"
#include "model/RichText.h"
#include "model/Slider.h"
#include "runtime/Convert.h"
#include "tests/controls/button_bar_contract.h"
#include "tests/controls/control_test_support.h"
#include "tests/controls/keyboard_contract.h"
#include "tests/controls/rich_text_contract.h"
#include "tests/controls/slider_contract.h"
#include "tests/controls/timer_contract.h"
#include "tests/controls/video_contract.h"
#include "tests/support/TempDir.h"

namespace scenova::test {
namespace {

struct HeadlessButtonBarFactory {
    HeadlessWorld world;
    model::ButtonBar bar{world.ctx, "frmRose"};

    controls::IButtonBar& Bar() { return bar; }
    std::string Descriptor(int n) { return "2,button" + std::to_string(n) + ".bmp,10,5"; }
    void Enter(const std::string& name) { bar.UserEnter(name); }
    void Leave(const std::string& name) { bar.UserLeave(name); }
    void Press(const std::string& name) { bar.UserPress(name); }
    void ActEnter(const std::string& name) { bar.UserEnter(name); }
    void ActPress(const std::string& name) { bar.UserPress(name); }
};

class HeadlessButtonBarTest : public ::testing::Test, protected HeadlessButtonBarFactory {
protected:
    HeadlessButtonBarTest() { bar.AddButton("btnA", "2,a.bmp,0,0"); }
};

// A lifetime fault the sanitizers see: the running handler is replaced.
TEST_F(HeadlessButtonBarTest, HandlerMayDisconnectItselfWhileRunning) {
    int presses = 0;
    auto press = [&, keep = std::string(64, 'k')](const std::string&, const std::string&) {
        bar.Advise({});
        ++presses;
        EXPECT_EQ(keep.size(), 64u);  // the running handler is still intact
    };
    bar.Advise({nullptr, nullptr, press});
    bar.UserPress("btnA");
    bar.UserPress("btnA");
    EXPECT_EQ(presses, 1);
}

TEST_F(HeadlessButtonBarTest, UserReachesNothingOnAHiddenDisabledOrDestroyedBar) {
    bar.SetButtonState("btnA", controls::button_state::Disabled, true);
    EXPECT_TRUE(bar.UserEnter("btnA"));  // the pointer still finds a disabled button
    bar.SetButtonState("btnA", controls::button_state::Enabled, true);
    bar.Visible(false);
    EXPECT_FALSE(bar.UserPress("btnA"));
    bar.Visible(true);
    bar.Enabled(false);
    EXPECT_FALSE(bar.UserEnter("btnA"));
    bar.Enabled(true);
    bar.Destroy();
    EXPECT_FALSE(bar.UserPress("btnA"));
}

struct HeadlessSliderFactory {
    HeadlessWorld world;
    model::Slider slider{world.ctx, "sldVideoSlider"};

    controls::ISlider& Slider() { return slider; }
    void ThumbDown() { slider.UserThumbDown(); }
    void DragTo(int32_t value) { slider.UserScrollTo(value); }
    void ThumbUp() { slider.UserThumbUp(); }
    void ClickTo(int32_t value) { slider.UserClickTo(value); }
};

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
    void Focus() { text.UserFocus(); }
    void Blur() { text.UserBlur(); }
    void Press(model::RichText::Key key) { text.UserKey(key); }
};

using Ranges = std::vector<model::RichText::Range>;

class HeadlessRichTextTest : public ::testing::Test, protected HeadlessRichTextFactory {};

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

struct HeadlessTimerFactory {
    static constexpr int64_t kSlackMs = 0;

    HeadlessWorld world;
    headless::Timer timer{world.ctx, "ExitTimer"};

    ITimer& Timer() { return timer; }
    void Advance(int64_t ms) { world.loop.AdvanceBy(headless::Millis(ms)); }
    int64_t NowMs() { return world.loop.Now() / 1000; }
};

class HeadlessTimerTest : public ::testing::Test, protected HeadlessTimerFactory {};

// A lifetime fault the sanitizers see: the timer is destroyed inside its own tick.
TEST_F(HeadlessTimerTest, TimerReleasedByItsOwnHandlerStops) {
    auto owned = std::make_unique<headless::Timer>(world.ctx, "ExitTimer");
    int ticks = 0;
    owned->Advise({[&] {
        ++ticks;
        owned.reset();  // the window unloads from inside the tick
    }});
    owned->Interval(300);
    owned->Enabled(true);
    world.loop.AdvanceBy(headless::Seconds(2));
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(world.loop.NextDue(), -1);
}

// 6.0 seconds long; beside it a sound and a picture that are no movie, read
// under a movie's name so that only their contents tell (see the README).
const std::string kData = std::string(SCENOVA_SOURCE_DIR) + "/tests/data/";
const std::string kMovie = kData + "six_seconds.avi";

struct HeadlessVideoFactory {
    static constexpr double kPositionSlack = 0.0;

    HeadlessWorld world;
    headless::Video video{world.ctx, "movOrvMovie"};

    controls::IVideo& Video() { return video; }
    std::string MoviePath() { return kMovie; }
    std::string MissingPath() { return kMovie + ".missing"; }
    void Advance(int64_t ms) { world.loop.AdvanceBy(headless::Millis(ms)); }
    void Deliver() { world.loop.ProcessPending(); }
};

using Lines = std::vector<std::string>;
using scenova::testing::ReadFile;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class HeadlessVideoTest : public ::testing::Test, protected HeadlessVideoFactory {
protected:
    // Opens the movie with signals enabled at these times.
    void OpenWithSignals(std::string times) {
        ASSERT_TRUE(video.OpenMovie(kMovie, 0.0));
        video.SetSignalTimes(times);
        video.EnableSignals(true);
        world.trace.Clear();
    }
    void AdvanceTo(double seconds) { world.loop.AdvanceTo(headless::Seconds(seconds)); }
};

TEST_F(HeadlessVideoTest, OpensOnlyFilesThatHoldAMovie) {
    ASSERT_TRUE(video.OpenMovie(kMovie, 4.0));
    EXPECT_EQ(video.Duration(), 6.0);
    EXPECT_EQ(video.CurrentPosition(), 4.0);
    ASSERT_TRUE(video.OpenMovie(kMovie, 100.0));
    EXPECT_EQ(video.CurrentPosition(), 6.0);
    ASSERT_TRUE(video.OpenMovie(kMovie, kNaN));
    EXPECT_EQ(video.CurrentPosition(), 0.0);

    const scenova::testing::TempDir dir;
    for (const std::string& path :
         {dir.Write("text.avi", "This is a lesson transcript, not a movie.\n"),
          dir.Write("picture.avi", ReadFile(kData + "grey.png")),
          dir.Write("cut.avi", ReadFile(kMovie).substr(0, 4096)),
          dir.Write("sound.avi", ReadFile(kData + "silence.wav")), dir.Write("empty.avi", ""),
          dir.Folder(), kMovie + ".missing", std::string()}) {
        ASSERT_TRUE(video.OpenMovie(kMovie, 3.0));
        EXPECT_FALSE(video.OpenMovie(path, 0.0)) << path;
        EXPECT_FALSE(video.IsOpen()) << path;
        EXPECT_EQ(video.Duration(), 0.0) << path;
        EXPECT_EQ(video.CurrentPosition(), 0.0) << path;
        EXPECT_FALSE(video.PlayRange(0.0, 1.0, false)) << path;
    }
}

TEST_F(HeadlessVideoTest, HandlersMayStopOrReleaseThePlayer) {
    OpenWithSignals("1,2");
    // As the window does at the end signal: a stopped range has no Notify.
    video.Advise({nullptr, [&](int16_t k) {
                      if (k == 2) {
                          video.Stop();
                      }
                  }});
    ASSERT_TRUE(video.PlayRange(0.0, 2.0, false));
    AdvanceTo(5.0);
    EXPECT_EQ(
        world.trace.Lines(),
        (Lines{"0.000 > movOrvMovie.PlayRange(0, 2, False)", "1.000 < movOrvMovie.SignalEvent(1)",
               "2.000 < movOrvMovie.SignalEvent(2)", "2.000 > movOrvMovie.Stop()"}));

    // The window unloads inside a signal handler.
    auto owned = std::make_unique<headless::Video>(world.ctx, "movOrvMovie");
    ASSERT_TRUE(owned->OpenMovie(kMovie, 0.0));
    std::string times = "6,6";
    owned->SetSignalTimes(times);
    owned->EnableSignals(true);
    owned->Advise({nullptr, [&](int16_t) { owned.reset(); }});
    ASSERT_TRUE(owned->PlayRange(6.0, 6.0, false));
    world.trace.Clear();
    world.loop.ProcessPending();
    EXPECT_EQ(owned, nullptr);
    EXPECT_EQ(world.trace.Lines(), (Lines{"5.000 < movOrvMovie.SignalEvent(1)"}));
}

TEST_F(HeadlessVideoTest, ADestroyedPlayerRaisesNothing) {
    OpenWithSignals("0,1");
    ASSERT_TRUE(video.PlayRange(0.0, 6.0, false));
    video.Destroy();
    AdvanceTo(10.0);
    EXPECT_EQ(world.trace.Lines(), (Lines{"0.000 > movOrvMovie.PlayRange(0, 6, False)"}));
    EXPECT_EQ(world.loop.PendingTimed(), 0u);
    EXPECT_FALSE(video.OpenMovie(kMovie, 0.0));
    EXPECT_FALSE(video.PlayRange(0.0, 1.0, false));
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, ButtonBarContract, HeadlessButtonBarFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, SliderContract, HeadlessSliderFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, RichTextContract, HeadlessRichTextFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, KeyboardContract, HeadlessRichTextFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, TimerContract, HeadlessTimerFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, VideoContract, HeadlessVideoFactory);

}  // namespace scenova::test
