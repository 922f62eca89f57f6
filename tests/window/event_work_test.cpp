// Kept for what mutants cannot reach: work that grows with the lesson.
// The window's handlers run while the video plays, so their work must not
// grow with the lesson: the same events in the middle of a short and of a
// long lesson make about as many control calls and go through about as many
// elements (characters, highlight ranges, signal times) of the controls. The
// long lesson's transcript is longer than a 16-bit scroll distance, which
// its far jumps must still cover.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "lesson/LessonFolder.h"
#include "tests/support/GeneratedLesson.h"
#include "tests/support/HeadlessHost.h"
#include "tests/support/TempDir.h"

namespace scenova::testing {
namespace {

struct Work {
    std::size_t calls = 0;  // trace lines: calls made and events delivered
    uint64_t examined = 0;
};

// Starts a generated lesson with the sample lesson's settings and measures
// one event after another in its middle.
std::map<std::string, Work> WorkPerEvent(int spokenLines) {
    const std::string sample = std::string(SCENOVA_SOURCE_DIR) + "/examples/market/";
    HeadlessHost session;
    session.ServeFolders(sample);
    headless::HeadlessPlatform& platform = session.platform;
    headless::RecordingManager& mgr = *session.mgr;
    mgr.videoPath = std::string(SCENOVA_SOURCE_DIR) + "/tests/data/";
    mgr.settings = lesson::ParseSettings(ReadFile(sample + "settings.ini"));
    std::string script;
    for (const std::string& line : GeneratedScript(spokenLines, "thirty_hours.avi")) {
        script += line + "\n";
    }
    mgr.script = lesson::ParseScript(script);
    headless::ToolHost& host = session.host;
    host.Create();
    EXPECT_EQ(host.Init("scenova").value, Variant(true));
    EXPECT_FALSE(host.Show().Failed());
    platform.ProcessPending();

    const headless::HeadlessWindow& w = platform.Window();
    headless::Context& ctx = platform.Ctx();
    const int32_t middle = static_cast<int32_t>(Module1::Get().g_Blocks.size() / 2);
    const int32_t link = static_cast<int32_t>(w.rtfText->Links().size() / 2);
    std::map<std::string, Work> work;
    auto measure = [&](const std::string& name, const std::function<void()>& act) {
        const std::size_t calls = platform.GetTrace().LineCount();
        const uint64_t examined = ctx.elementsExamined;
        act();
        platform.ProcessPending();
        work[name] = {platform.GetTrace().LineCount() - calls, ctx.elementsExamined - examined};
    };

    measure("slider change", [&] { w.sldVideoSlider->UserClickTo(middle); });
    measure("forward", [&] { w.frmRose->UserPress("btnVideoFwd"); });
    measure("play", [&] { w.frmRose->UserPress("btnVideoPlay"); });
    measure("signal", [&] { platform.Loop().AdvanceTo(platform.Loop().NextDue()); });
    measure("another signal", [&] { platform.Loop().AdvanceTo(platform.Loop().NextDue()); });
    measure("link enter", [&] { w.rtfText->UserEnterLink(link); });
    measure("link click", [&] { w.rtfText->UserClickLink(link, 1); });
    measure("link leave", [&] { w.rtfText->UserLeaveLink(link); });
    measure("other link click", [&] { w.rtfText->UserClickLink(link + 1, 1); });
    measure("stop", [&] { w.frmRose->UserPress("btnVideoStop"); });
    // Far jumps: a long lesson's transcript goes beyond 16-bit scroll distances.
    measure("slide to the end", [&] { w.sldVideoSlider->UserClickTo(w.sldVideoSlider->Max()); });
    EXPECT_EQ(w.rtfText->LastVisibleLine(), w.rtfText->LineCount() - 1);
    measure("slide to the start", [&] { w.sldVideoSlider->UserClickTo(0); });
    EXPECT_EQ(w.rtfText->FirstVisibleLine(), 0);

    for (const headless::EventError& failure : ctx.eventErrors) {
        ADD_FAILURE() << failure.event << " failed with " << failure.error.number();
    }
    return work;
}

TEST(EventWork, DoesNotGrowWithTheLesson) {
    const auto short_ = WorkPerEvent(60);
    // Over three hundred times as long, with some 36,000 transcript lines.
    const auto long_ = WorkPerEvent(20000);
    ASSERT_EQ(short_.size(), long_.size());
    for (const auto& [event, work] : short_) {
        const Work& longer = long_.at(event);
        // Blocks differ in length, so a scroll may be needed in one lesson
        // and not in the other; a scan of the lesson would cost thousands.
        EXPECT_LE(longer.calls, work.calls + 2) << event;
        EXPECT_LE(longer.examined, 2 * work.examined + 8) << event;
        EXPECT_GT(work.calls, 0u) << event;
    }
}

}  // namespace
}  // namespace scenova::testing
