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

// One lesson at a time: a second tool object takes over the module's values.
// The first one must still fail safely (run-time errors, never a crash).
TEST(Lifetime, ASecondToolObjectSharesTheModuleValues) {
    Module1::Get().Reset();
    headless::HeadlessPlatform platform;
    auto mgr = MarketManager(platform);
    headless::ToolHost first(platform, mgr);
    first.Create();
    ASSERT_EQ(first.Init("first").value, Variant(true));
    ASSERT_FALSE(first.Show().Failed());
    const headless::HeadlessWindow firstWindow = platform.Window();
    const auto blocks = Module1::Get().g_Blocks.size();
    ASSERT_GT(blocks, 3u);
    ASSERT_TRUE(Module1::Get().g_colButtonInfo->Contains("btnVideoStop"));

    // Creating the second replaces the button collection with an empty one.
    auto other = MarketManager(platform);
    other->script = lesson::ParseScript(
        "VIDEO market.avi\nACTOR Solo\nTEXT Only line.\nAVSTART 0.5\nAVEND 1\n");
    auto second = std::make_unique<headless::ToolHost>(platform, other);
    second->Create();
    EXPECT_EQ(Module1::Get().g_colButtonInfo->Count(), 0);
    ASSERT_EQ(second->Init("second").value, Variant(true));
    ASSERT_FALSE(second->Show().Failed());
    EXPECT_EQ(Module1::Get().g_Blocks.size(), 1u);  // the cue tables are the second lesson's
    EXPECT_EQ(first.ID().value, Variant(std::string("first")));

    // The first window now plays by the second lesson's one block: its second
    // signal is taken for the end, and a block past the tables ends the
    // slider's handler with error 9.
    platform.Ctx().eventErrors.clear();
    firstWindow.frmRose->UserPress("btnVideoPlay");
    platform.RunFor(20);
    EXPECT_EQ(first.Tool().Window().VideoState(), -1);
    EXPECT_NEAR(firstWindow.movOrvMovie->CurrentPosition(), 5.1, 0.01);
    EXPECT_TRUE(platform.Ctx().eventErrors.empty());
    firstWindow.sldVideoSlider->UserClickTo(3);
    platform.ProcessPending();
    ASSERT_EQ(platform.Ctx().eventErrors.size(), 1u);
    EXPECT_EQ(platform.Ctx().eventErrors[0].error.number(), err::SubscriptOutOfRange);

    // Releasing the second empties and releases the shared collection: the
    // first then has no transport buttons on record but goes on working.
    ASSERT_FALSE(second->Shutdown().Failed());
    second->Release();
    EXPECT_EQ(Module1::Get().g_colButtonInfo, nullptr);
    platform.Ctx().eventErrors.clear();
    EXPECT_TRUE(firstWindow.frmRose->UserPress("btnVideoPlay"));
    platform.ProcessPending();
    EXPECT_TRUE(platform.Ctx().eventErrors.empty());
    EXPECT_EQ(first.Tool().Window().VideoState(), 0);
    EXPECT_EQ(firstWindow.frmRose->StateOf("btnVideoPlay"), 1);
    EXPECT_EQ(firstWindow.frmRose->StateOf("btnVideoStop"), 1);  // not on record
    EXPECT_FALSE(first.Hide().Failed());
    EXPECT_FALSE(first.Shutdown().Failed());
    first.Release();
    Module1::Get().Reset();
}

}  // namespace
}  // namespace scenova::testing
