// The headless platform's own machinery: clock and message loop, trace
// format, desktop and user32.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "headless/HeadlessPlatform.h"
#include "platform/Win32Constants.h"
#include "tests/support/TraceMatchers.h"

namespace scenova::headless {
namespace {

using ::testing::ElementsAre;

TEST(EventLoop, RunsTimedWorkInTimeOrderAndPostedWorkAfterEach) {
    EventLoop loop;
    std::vector<std::string> log;
    loop.At(Millis(300), [&] {
        log.push_back("b@" + std::to_string(loop.Now()));
        loop.Post([&] { log.push_back("posted by b"); });
    });
    loop.At(Millis(100), [&] { log.push_back("a@" + std::to_string(loop.Now())); });
    loop.At(Millis(300), [&] { log.push_back("c@" + std::to_string(loop.Now())); });
    const auto cancelled = loop.At(Millis(200), [&] { log.push_back("cancelled"); });
    loop.Cancel(cancelled);

    loop.AdvanceBy(Millis(299));
    EXPECT_THAT(log, ElementsAre("a@100000"));
    loop.AdvanceBy(Millis(1));
    EXPECT_THAT(log, ElementsAre("a@100000", "b@300000", "posted by b", "c@300000"));
    EXPECT_EQ(loop.Now(), Millis(300));
    EXPECT_EQ(loop.NextDue(), -1);
}

TEST(EventLoop, PostedWorkWaitsForProcessingAndMayPostMore) {
    EventLoop loop;
    int runs = 0;
    loop.Post([&] {
        ++runs;
        loop.Post([&] { ++runs; });
    });
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(loop.ProcessPending(), 2);
    EXPECT_EQ(runs, 2);

    std::function<void()> forever = [&] { loop.Post(forever); };
    loop.Post(forever);
    EXPECT_THROW(loop.ProcessPending(), std::logic_error);
}

TEST(Trace, FormatsEveryKindOfValue) {
    EventLoop loop;
    Trace trace(loop);
    trace.Call("mgr", "ReportError", TraceObject{"<tool>"}, int32_t{5}, std::string("say \"hi\""));
    trace.Call("mgr", "ResourceAction", std::string("Help"), int32_t{0},
               std::optional<std::string>());
    trace.Put("movOrvMovie", "Top", 4800.0f);
    trace.Put("movOrvMovie", "TimeFormat", 2.6f);
    loop.AdvanceBy(Millis(2600));
    trace.Event("movOrvMovie", "SignalEvent", int16_t{1});
    trace.Put("rtfText", "Visible", false);
    trace.Call("x", "Seek", 0.1, Variant(), Variant(std::string("a")), Picture());
    EXPECT_THAT(
        trace.Lines(),
        ElementsAre("0.000 > mgr.ReportError(<tool>, 5, \"say \"\"hi\"\"\")",
                    "0.000 > mgr.ResourceAction(\"Help\", 0)", "0.000 > movOrvMovie.Top = 4800",
                    "0.000 > movOrvMovie.TimeFormat = 2.6", "2.600 < movOrvMovie.SignalEvent(1)",
                    "2.600 > rtfText.Visible = False",
                    "2.600 > x.Seek(0.1, Empty, \"a\", Nothing)"));
    EXPECT_EQ(Trace::FormatTime(Seconds(12.3456)), "12.345");
}

TEST(Desktop, FindsChildrenByClassAndExactTitle) {
    Desktop desktop;
    const int32_t frame = desktop.Create("Frame", "Host", 0, 0, 0);
    const int32_t first = desktop.Create("MDIClient", "named", frame, 0, 0);
    const int32_t second = desktop.Create("MDIClient", "", frame, 0, 0);
    EXPECT_EQ(desktop.FindChild(frame, 0, "MDIClient", std::string()), second);
    EXPECT_EQ(desktop.FindChild(frame, 0, "MDIClient", std::nullopt), first);
    EXPECT_EQ(desktop.FindChild(frame, first, "MDIClient", std::nullopt), second);
    EXPECT_EQ(desktop.FindChild(0, 0, "MDIClient", std::nullopt), 0);
    desktop.Destroy(frame);
    EXPECT_FALSE(desktop.Exists(second));
}

class User32Test : public ::testing::Test {
protected:
    std::vector<std::string> Lines() { return testing::Untimed(platform.GetTrace().Lines()); }
    HeadlessPlatform platform;
    User32& user32 = platform.HeadlessUser32();
};

TEST_F(User32Test, EmbedsAWindowAndChangesItsStyles) {
    const int32_t child = platform.GetDesktop().Create("W", "", 0, 0x10, 0x40000);
    EXPECT_EQ(user32.FindWindowExA(platform.HostMainWindow(), 0, "MDIClient", ""),
              platform.MdiClient());
    EXPECT_EQ(user32.SetParent(child, platform.MdiClient()), 0);
    EXPECT_EQ(user32.SetParent(child, platform.MdiClient()), platform.MdiClient());
    EXPECT_EQ(user32.SetWindowLongA(child, win::GWL_STYLE, 0x11), 0x10);
    EXPECT_EQ(user32.GetWindowLongA(child, win::GWL_STYLE), 0x11);
    EXPECT_EQ(user32.GetWindowLongA(child, win::GWL_EXSTYLE), 0x40000);
    // Unknown windows and indexes change nothing.
    EXPECT_EQ(user32.SetParent(999, platform.MdiClient()), 0);
    EXPECT_EQ(user32.SetParent(child, 999), 0);
    EXPECT_EQ(user32.GetWindowLongA(child, -21), 0);
    EXPECT_EQ(user32.SetWindowLongA(999, win::GWL_STYLE, 1), 0);
}

TEST_F(User32Test, LoadsSystemCursorsOnceAndCursorFilesOnlyWhenTheyAreCursors) {
    const int32_t arrow = user32.LoadCursorA(0, win::IDC_ARROW);
    EXPECT_NE(arrow, 0);
    EXPECT_EQ(user32.LoadCursorA(0, win::IDC_ARROW), arrow);
    EXPECT_EQ(user32.LoadCursorA(0, 12345), 0);

    const auto dir = std::filesystem::temp_directory_path() / "scenova-user32-test";
    std::filesystem::create_directories(dir);
    const std::string cursorPath = (dir / "link.cur").string();
    const std::string textPath = (dir / "notes.cur").string();
    {
        std::ofstream cur(cursorPath, std::ios::binary);
        const char header[] = {0, 0, 2, 0, 1, 0, 32, 32, 0, 0, 0, 0};
        cur.write(header, sizeof header);
        std::ofstream(textPath) << "not a cursor at all";
    }
    const int32_t link = user32.LoadCursorFromFileA(cursorPath);
    EXPECT_NE(link, 0);
    EXPECT_EQ(user32.LoadCursorFromFileA(textPath), 0);
    EXPECT_EQ(user32.LoadCursorFromFileA((dir / "missing.cur").string()), 0);

    EXPECT_EQ(user32.SetCursor(arrow), 0);
    EXPECT_EQ(user32.SetCursor(link), arrow);
    EXPECT_EQ(user32.SetCursor(4242), 0);  // not a cursor: nothing changes
    EXPECT_EQ(user32.CurrentCursor(), link);
    EXPECT_EQ(Lines().back(), "> user32.SetCursor(4242)");
    EXPECT_EQ(Lines()[Lines().size() - 2], "> user32.SetCursor(<cursor " + cursorPath + ">)");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace scenova::headless
