// A whole host session against the headless platform, compared line by line
// with a reviewed trace.

#include <gtest/gtest.h>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "module/Module1.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"

namespace scenova {
namespace {

TEST(GoldenTrace, HostSessionFromCreationToRelease) {
    Module1::Get().Reset();
    // The lesson's folder shows as /l/ in the trace.
    scenova::testing::TempDir lesson;
    lesson.Write("resources/nav.bar", "Next, next.bmp, 0, 0\n");
    lesson.Write("resources/toolbar.bar", "Glossary, glossary.bmp, 0, 0\n");
    headless::HeadlessPlatform platform;
    auto mgr = std::make_shared<headless::RecordingManager>(platform.Ctx());
    mgr->mediaPath = lesson.Folder() + "media/";
    mgr->auxiliaryPath = lesson.Folder();
    mgr->resourcePath = lesson.Folder() + "resources/";
    mgr->videoPath = lesson.Folder() + "video/";
    mgr->settings->Add(std::string("320"), std::string("movOrvMovie.Width"));
    mgr->settings->Add(std::string("nav.bar"), std::string("Nav.Script"));
    mgr->settings->Add(std::string("toolbar.bar"), std::string("Toolbar.Script"));

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

    std::vector<std::string> lines = platform.GetTrace().Lines();
    for (std::string& line : lines) {
        for (auto at = line.find(lesson.Folder()); at != std::string::npos;
             at = line.find(lesson.Folder())) {
            line.replace(at, lesson.Folder().size(), "/l/");
        }
    }
    scenova::testing::ExpectGolden("host_session.trace", lines);
    EXPECT_TRUE(platform.Ctx().eventErrors.empty());
    Module1::Get().Reset();
}

}  // namespace
}  // namespace scenova
