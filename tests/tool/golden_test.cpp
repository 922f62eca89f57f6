// A whole host session against the headless platform, compared line by line
// with a reviewed trace.

#include <gtest/gtest.h>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "module/Module1.h"
#include "tests/support/Golden.h"

namespace scenova {
namespace {

TEST(GoldenTrace, HostSessionFromCreationToRelease) {
    Module1::Get().Reset();
    headless::HeadlessPlatform platform;
    auto mgr = std::make_shared<headless::RecordingManager>(platform.Ctx());
    mgr->mediaPath = "/l/media/";
    mgr->auxiliaryPath = "/l/";
    mgr->resourcePath = "/l/resources/";
    mgr->videoPath = "/l/video/";
    mgr->settings->Add(std::string("320"), std::string("movOrvMovie.Width"));

    headless::ToolHost host(platform, mgr);
    host.Create();
    host.Init("scenova");
    host.Startup();
    platform.RunFor(1);
    platform.Window().frmRoseToolbar->UserPress("Glossary");
    platform.Window().frmRoseNavigation->UserPress("Next");
    platform.RunFor(0.5);
    host.Show();
    host.Hide();
    host.Move(120);
    host.Show();
    host.Shutdown();
    host.Release();

    scenova::testing::ExpectGolden("host_session.trace", platform.GetTrace().Lines());
    EXPECT_TRUE(platform.Ctx().eventErrors.empty());
    Module1::Get().Reset();
}

}  // namespace
}  // namespace scenova
