// A whole host session against the headless platform, compared line by line
// with a reviewed trace.

#include <gtest/gtest.h>

#include "tests/support/Golden.h"
#include "tests/support/HeadlessHost.h"
#include "tests/support/TempDir.h"

namespace scenova {
namespace {

struct GoldenTrace : ::testing::Test, scenova::testing::HeadlessHost {};

TEST_F(GoldenTrace, HostSessionFromCreationToRelease) {
    // The lesson's folder shows as /l/ in the trace.
    scenova::testing::TempDir lesson;
    lesson.Write("resources/nav.bar", "Next, next.bmp, 0, 0\n");
    lesson.Write("resources/toolbar.bar", "Glossary, glossary.bmp, 0, 0\n");
    ServeFolders(lesson.Folder());
    mgr->settings->Add(std::string("320"), std::string("movOrvMovie.Width"));
    mgr->settings->Add(std::string("nav.bar"), std::string("Nav.Script"));
    mgr->settings->Add(std::string("toolbar.bar"), std::string("Toolbar.Script"));

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
        line = scenova::testing::ReplaceAll(line, lesson.Folder(), "/l/");
    }
    scenova::testing::ExpectGolden("host_session.trace", lines);
    EXPECT_TRUE(platform.Ctx().eventErrors.empty());
}

}  // namespace
}  // namespace scenova
