// Kept for what mutants cannot reach: counts of live windows, DCs, bitmaps and pictures.
// Lifetime: tool objects made and released many times in one process leave
// nothing behind, and tool objects that share the process share the
// component's module values as the host protocol describes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "lesson/LessonFolder.h"
#include "module/Module1.h"

namespace scenova::testing {
namespace {

const std::string kMarket = std::string(SCENOVA_SOURCE_DIR) + "/examples/market/";

std::shared_ptr<headless::RecordingManager> MarketManager(headless::HeadlessPlatform& platform) {
    static const lesson::Lesson market = lesson::LoadLesson(kMarket);
    auto mgr = std::make_shared<headless::RecordingManager>(platform.Ctx());
    mgr->Serve(market);
    return mgr;
}

struct Live {
    std::size_t windows, dcs, bitmaps, pictures, retained, cursors;
    explicit Live(headless::HeadlessPlatform& p)
        : windows(p.GetDesktop().Count()),
          dcs(p.HeadlessGdi().LiveDCs()),
          bitmaps(p.HeadlessGdi().LiveBitmaps()),
          pictures(p.HeadlessGdi().LivePictures()),
          retained(p.HeadlessToolkit().RetainedWindows()),
          cursors(p.HeadlessUser32().Cursors()) {}
    std::string Text() const {
        return "windows " + std::to_string(windows) + ", DCs " + std::to_string(dcs) +
               ", bitmaps " + std::to_string(bitmaps) + ", pictures " + std::to_string(pictures) +
               ", toolkit windows " + std::to_string(retained) + ", cursors " +
               std::to_string(cursors);
    }
};

TEST(Lifetime, ToolObjectsMadeAndReleasedManyTimesLeaveNothingBehind) {
    const int rounds = std::getenv("SCENOVA_LIFETIME_ROUNDS")
                           ? std::atoi(std::getenv("SCENOVA_LIFETIME_ROUNDS"))
                           : 1000;
    Module1::Get().Reset();
    std::weak_ptr<headless::Form> firstForm;
    std::weak_ptr<headless::Video> firstVideo;
    {
        headless::HeadlessPlatform platform;
        const Live before(platform);
        std::string afterFirst;
        for (int round = 0; round < rounds; ++round) {
            headless::ToolHost host(platform, MarketManager(platform));
            host.Create();
            ASSERT_EQ(host.Init("scenova").value, Variant(true));
            // Some rounds play a while, some leave the window up at release.
            ASSERT_FALSE(host.Show().Failed());
            if (round % 3 == 0) {
                platform.Window().frmRose->UserPress("btnVideoPlay");
                platform.RunFor(0.7);
            }
            if (round == 0) {
                firstForm = platform.Window().form;
                firstVideo = platform.Window().movOrvMovie;
            }
            if (round % 5 != 4) {
                ASSERT_FALSE(host.Shutdown().Failed());
            }
            platform.ProcessPending();
            host.Release();
            platform.GetTrace().Clear();
            if (round == 0) {
                afterFirst = Live(platform).Text();
            } else {
                // The button cursor and the link cursor the module keeps are all that stays.
                ASSERT_EQ(Live(platform).Text(), afterFirst) << "after round " << round;
            }
        }
        const Live after(platform);
        EXPECT_EQ(after.windows, before.windows);
        EXPECT_EQ(after.dcs, 0u);
        EXPECT_LE(after.retained, 1u);
        EXPECT_TRUE(firstForm.expired() && firstVideo.expired());
        // The module's cursor picture, and its bitmap, until the module goes.
        EXPECT_EQ(after.pictures, before.pictures + 1);
        Module1::Get().Reset();
        platform.HeadlessScreen().MouseIcon(nullptr);  // the application's pointer
        EXPECT_EQ(Live(platform).pictures, before.pictures);
        EXPECT_EQ(Live(platform).bitmaps, before.bitmaps);
    }
}

// A lesson's Play, Stop and end of video as the learner meets them.
void ExpectTransportWorks(headless::HeadlessPlatform& platform,
                          const headless::HeadlessWindow& window) {
    ASSERT_TRUE(window.frmRose->UserPress("btnVideoPlay"));
    platform.ProcessPending();
    EXPECT_EQ(window.frmRose->StateOf("btnVideoPlay"), 1);
    EXPECT_EQ(window.frmRose->StateOf("btnVideoStop"), 0);
    platform.RunFor(60);  // past the end of the video
    EXPECT_EQ(window.frmRose->StateOf("btnVideoPlay"), 0);
    EXPECT_EQ(window.frmRose->StateOf("btnVideoStop"), 1);
    EXPECT_TRUE(platform.Ctx().eventErrors.empty());
}

// The host opens the next lesson from inside a navigation press, while the
// old tool's release waits for the event to end; and, two lessons alive, it
// closes the older one. Each tool's teardown leaves the other's state alone.
TEST(Lifetime, TheNextLessonPlaysWhateverBecomesOfTheOneBefore) {
    Module1::Get().Reset();
    headless::HeadlessPlatform platform;
    auto firstMgr = MarketManager(platform);
    headless::ToolHost first(platform, firstMgr);
    first.Create();
    ASSERT_EQ(first.Init("first").value, Variant(true));
    ASSERT_FALSE(first.Show().Failed());
    headless::ToolHost next(platform, MarketManager(platform));
    first.ReleaseInside("navigation-request", *firstMgr, [&](const headless::HostResult& r) {
        EXPECT_FALSE(r.Failed());
        next.Create();
        EXPECT_EQ(next.Init("next").value, Variant(true));
        EXPECT_FALSE(next.Show().Failed());
    });
    platform.Window().frmRoseNavigation->UserPress("Next");
    platform.RunFor(1);
    ASSERT_FALSE(first.Exists());
    ASSERT_TRUE(next.Exists());
    ExpectTransportWorks(platform, platform.Window());

    // A third lesson beside the second, naming no resources and no button
    // cursor: it offers none of the second's. The older one closes first.
    auto plain = MarketManager(platform);
    plain->settings = std::make_shared<Collection>(*plain->settings);
    for (const char* key : {"Help", "CultureTip", "LearningStrategy", "BUTTONCURSOR"}) {
        plain->settings->Remove(std::string_view(key));
    }
    headless::ToolHost third(platform, plain);
    third.Create();
    ASSERT_EQ(third.Init("third").value, Variant(true));
    ASSERT_FALSE(third.Show().Failed());
    const Module1& module = Module1::Get();
    EXPECT_EQ(module.g_strHelp + module.g_strCultureTip + module.g_strLearningStrategy, "");
    EXPECT_EQ(module.g_picButtonCursor, nullptr);
    const headless::HeadlessWindow thirdWindow = platform.Window();
    ASSERT_FALSE(next.Shutdown().Failed());
    next.Release();
    ExpectTransportWorks(platform, thirdWindow);
    ASSERT_FALSE(third.Shutdown().Failed());
    third.Release();
    EXPECT_EQ(Module1::Get().g_colButtonInfo, nullptr);
    Module1::Get().Reset();
}

}  // namespace
}  // namespace scenova::testing
