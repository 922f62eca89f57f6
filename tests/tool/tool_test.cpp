// The host's calling protocol, seen through the headless platform's trace,
// where a trace case cannot show it: a manager that fails, or none. Missing
// settings and a start-up that fails again are trace cases (settings-none,
// script-fails-*).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "lesson/LessonFolder.h"
#include "tests/support/HeadlessHost.h"
#include "tests/support/TraceMatchers.h"

namespace scenova {
namespace {

using headless::RecordingManager;
using headless::ToolHost;
using model::Member;
using scenova::testing::Untimed;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ToolTest : public ::testing::Test, protected scenova::testing::HeadlessHost {
protected:
    ToolTest() {
        ServeFolders("/l/");
        mgr->settings->Add(std::string("x"), std::string("Unrelated.Key"));
        host.Create();
    }
    std::vector<std::string> Lines(std::string_view prefix = "") {
        return Untimed(platform.GetTrace().Lines(), prefix);
    }
    void InitAndShow() {
        ASSERT_EQ(host.Init("scenova").value, Variant(true));
        ASSERT_FALSE(host.Show().Failed());
        platform.GetTrace().Clear();
    }
};

TEST_F(ToolTest, InitTurnsABootstrapFailureIntoOneReport) {
    mgr->FailOn(Member::GetResourcePath);
    EXPECT_EQ(host.Init("scenova").value, Variant(true));
    EXPECT_THAT(Lines("> mgr.ReportError"), ElementsAre("> mgr.ReportError(<tool>, 0, \"\")"));
    EXPECT_EQ(Module1::Get().g_strMediaPath, "/l/media/");  // fetched before the failure
    EXPECT_EQ(mgr->Calls(Member::GetVideoPath), 0);

    // A manager that returns no settings collection at all is reported the same way.
    ToolHost second(platform, mgr);
    mgr->settings = nullptr;
    second.Create();
    EXPECT_EQ(second.Init("scenova").value, Variant(true));
    EXPECT_EQ(mgr->Calls(Member::ReportError), 2);
}

TEST_F(ToolTest, InitReturnsFalseWhenTheManagerFails) {
    mgr->FailOn(Member::GetScript);
    const auto result = host.Init("scenova");
    ASSERT_FALSE(result.Failed());
    EXPECT_EQ(result.value, Variant(false));
    EXPECT_THAT(Lines("> user32."), IsEmpty());  // not re-parented
    EXPECT_EQ(platform.HeadlessToolkit().LoadCount(), 0);
    EXPECT_EQ(mgr->Calls(Member::ReportError), 0);

    // A failing report ends Init with False as well, after the embedding.
    ToolHost second(platform, mgr);
    RecordingManager& m = *mgr;
    m.FailOn(Member::GetScript, RuntimeError(err::Unspecified), 1000);
    m.settings->Clear();
    m.FailOn(Member::ReportError);
    second.Create();
    EXPECT_EQ(second.Init("scenova").value, Variant(false));
}

TEST_F(ToolTest, InitWithoutAManagerReturnsFalse) {
    ToolHost orphan(platform, nullptr);
    orphan.Create();
    EXPECT_EQ(orphan.Init("scenova").value, Variant(false));
    EXPECT_EQ(orphan.ID().value, Variant(std::string("scenova")));
}

// Arguments a command cannot give: one left out between given ones, and text
// (keeping what the others leave is in the move-keeps-missing-values case).
TEST_F(ToolTest, MoveTakesNumbersAsTextAndSkipsMissingArguments) {
    InitAndShow();
    ASSERT_FALSE(host.Move(100, Variant(200.0f), Variant(3000.0f), Variant(4000.0f)).Failed());
    ASSERT_FALSE(host.Move(10, std::nullopt, Variant(std::string("5000.5"))).Failed());
    EXPECT_EQ(Lines("> frmScenova.Move").back(), "> frmScenova.Move(10, 200, 5000.5, 4000)");

    const auto bad = host.Move(0, Variant(std::string("left")));
    ASSERT_TRUE(bad.Failed());
    EXPECT_EQ(bad.error->number(), err::TypeMismatch);

    ASSERT_FALSE(host.Left(1.5f).Failed());
    EXPECT_EQ(host.Left().value, Variant(1.5f));
    ASSERT_FALSE(host.Width(2500.0f).Failed());
    EXPECT_EQ(host.Width().value, Variant(2500.0f));
    EXPECT_EQ(host.Height().value, Variant(4000.0f));
}

TEST_F(ToolTest, AFailingMemberFailsTheHostCall) {
    InitAndShow();
    mgr->FailOn(Member::ResourceAction, RuntimeError(err::Unspecified),
                mgr->Calls(Member::ResourceAction) + 2);
    const auto result = host.Show();
    ASSERT_TRUE(result.Failed());
    EXPECT_EQ(result.error->number(), err::Unspecified);
    // What was done before the failure stays done.
    EXPECT_EQ(Lines("> mgr.ResourceAction").size(), 2u);
    EXPECT_THAT(Lines("> frmScenova."), IsEmpty());

    // The event handler's failure ends only the handler.
    platform.Window().frmRoseToolbar->AddButton("Glossary", "glossary.bmp,0,0");
    mgr->FailOn(Member::ToolbarRequest);
    platform.Window().frmRoseToolbar->UserPress("Glossary");
    ASSERT_EQ(platform.Ctx().eventErrors.size(), 1u);
    EXPECT_EQ(platform.Ctx().eventErrors[0].event, "frmRoseToolbar.ButtonPress");
}

}  // namespace
}  // namespace scenova
