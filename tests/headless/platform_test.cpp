// The headless platform's own machinery: the clock and message loop, and the
// cursors of user32. How the window is embedded is in the reviewed traces.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "headless/HeadlessPlatform.h"
#include "platform/Win32Constants.h"

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

// Which files hold a cursor, and the cursor a SetCursor replaces, are in the
// settings-link-cursor* cases.
TEST(User32, LoadsSystemCursorsOnceAndKeepsTheCursorForAHandleThatIsNone) {
    HeadlessPlatform platform;
    User32& user32 = platform.HeadlessUser32();
    const int32_t arrow = user32.LoadCursorA(0, win::IDC_ARROW);
    EXPECT_NE(arrow, 0);
    EXPECT_EQ(user32.LoadCursorA(0, win::IDC_ARROW), arrow);
    EXPECT_EQ(user32.LoadCursorA(0, 12345), 0);
    EXPECT_EQ(user32.LoadCursorFromFileA("/nonexistent/missing.cur"), 0);
    user32.SetCursor(arrow);
    EXPECT_EQ(user32.SetCursor(4242), 0);
    EXPECT_EQ(user32.CurrentCursor(), arrow);
}

}  // namespace
}  // namespace scenova::headless
