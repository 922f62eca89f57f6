// The headless platform's own machinery: the clock and message loop, and the
// cursors of user32. How the window is embedded is in the reviewed traces.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "headless/HeadlessPlatform.h"
#include "platform/Win32Constants.h"
#include "tests/support/TempDir.h"
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

class User32Test : public ::testing::Test {
protected:
    std::vector<std::string> Lines() { return testing::Untimed(platform.GetTrace().Lines()); }
    HeadlessPlatform platform;
    User32& user32 = platform.HeadlessUser32();
};

TEST_F(User32Test, LoadsSystemCursorsOnceAndCursorFilesOnlyWhenTheyAreCursors) {
    const int32_t arrow = user32.LoadCursorA(0, win::IDC_ARROW);
    EXPECT_NE(arrow, 0);
    EXPECT_EQ(user32.LoadCursorA(0, win::IDC_ARROW), arrow);
    EXPECT_EQ(user32.LoadCursorA(0, 12345), 0);

    const scenova::testing::TempDir dir;
    const std::string cursorPath =
        dir.Write("link.cur", std::string("\0\0\2\0\1\0\x20\x20\0\0\0\0", 12));
    const std::string textPath = dir.Write("notes.cur", "not a cursor at all");
    const int32_t link = user32.LoadCursorFromFileA(cursorPath);
    EXPECT_NE(link, 0);
    EXPECT_EQ(user32.LoadCursorFromFileA(textPath), 0);
    EXPECT_EQ(user32.LoadCursorFromFileA(dir.Folder() + "missing.cur"), 0);

    EXPECT_EQ(user32.SetCursor(arrow), 0);
    EXPECT_EQ(user32.SetCursor(link), arrow);
    EXPECT_EQ(user32.SetCursor(4242), 0);  // not a cursor: nothing changes
    EXPECT_EQ(user32.CurrentCursor(), link);
    EXPECT_EQ(Lines().back(), "> user32.SetCursor(4242)");
    EXPECT_EQ(Lines()[Lines().size() - 2], "> user32.SetCursor(<cursor " + cursorPath + ">)");
}

}  // namespace
}  // namespace scenova::headless
