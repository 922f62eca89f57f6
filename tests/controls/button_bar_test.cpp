#include "headless/ButtonBar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/controls/button_bar_contract.h"
#include "tests/controls/control_test_support.h"

namespace scenova::test {
namespace {

struct HeadlessButtonBarFactory {
    HeadlessWorld world;
    headless::ButtonBar bar{world.ctx, "frmRose"};

    controls::IButtonBar& Bar() { return bar; }
    std::string Descriptor(int n) { return "2,button" + std::to_string(n) + ".bmp,10,5"; }
    void Enter(const std::string& name) { bar.UserEnter(name); }
    void Leave(const std::string& name) { bar.UserLeave(name); }
    void Press(const std::string& name) { bar.UserPress(name); }
};

using Lines = std::vector<std::string>;

class HeadlessButtonBarTest : public ::testing::Test {
protected:
    HeadlessWorld world;
    headless::ButtonBar bar{world.ctx, "frmRose"};
};

TEST_F(HeadlessButtonBarTest, TracesCallsAssignmentsAndEventsButNotReads) {
    bar.AddButton("btnA", "2,a.bmp,0,0");
    bar.Top(120.5f);
    bar.SetButtonState("btnVideoPlay", 1, true);
    EXPECT_EQ(bar.GetButtonState("btnVideoPlay"), 1);
    bar.FontSize(Variant(std::string("12")));
    int32_t x = 10;
    int32_t y = 20;
    std::string caption = "Speaker";
    bar.AddLabel(x, y, caption);
    bar.SetBackground(nullptr, 800, 600, 10, 20, 1);
    (void)bar.Top();
    bar.UserPress("btnA");
    bar.UserEnter("btnHome");  // from a bar script: not among the buttons added
    EXPECT_EQ(
        world.trace.Lines(),
        (Lines{"0.000 > frmRose.AddButton(\"btnA\", \"2,a.bmp,0,0\")",
               "0.000 > frmRose.Top = 120.5",
               "0.000 > frmRose.SetButtonState(\"btnVideoPlay\", 1, True)",
               "0.000 > frmRose.GetButtonState(\"btnVideoPlay\")",
               "0.000 > frmRose.FontSize = \"12\"", "0.000 > frmRose.AddLabel(10, 20, \"Speaker\")",
               "0.000 > frmRose.SetBackground(Nothing, 800, 600, 10, 20, 1)",
               "0.000 < frmRose.ButtonPress(\"btnA\", \"1\")",
               "0.000 < frmRose.ButtonGotFocus(\"btnHome\", \"0\")"}));
}

TEST_F(HeadlessButtonBarTest, HandlerErrorIsKeptAndDoesNotEscape) {
    int presses = 0;
    bar.Advise({nullptr, nullptr, [&](const std::string&, const std::string&) {
                    ++presses;
                    Raise(err::NoObject);
                }});
    EXPECT_NO_THROW(bar.UserPress("btnVideoPlay"));
    EXPECT_NO_THROW(bar.UserPress("btnVideoPlay"));
    EXPECT_EQ(presses, 2);
    ASSERT_EQ(world.ctx.eventErrors.size(), 2u);
    EXPECT_EQ(world.ctx.eventErrors[0].event, "frmRose.ButtonPress");
    EXPECT_EQ(world.ctx.eventErrors[0].error.number(), err::NoObject);
}

TEST_F(HeadlessButtonBarTest, HandlerMayDisconnectItselfWhileRunning) {
    int presses = 0;
    auto press = [&, keep = std::string(64, 'k')](const std::string&, const std::string&) {
        bar.Advise({});
        ++presses;
        EXPECT_EQ(keep.size(), 64u);  // the running handler is still intact
    };
    bar.Advise({nullptr, nullptr, press});
    bar.UserPress("btnA");
    bar.UserPress("btnA");
    EXPECT_EQ(presses, 1);
}

TEST_F(HeadlessButtonBarTest, ButtonsKeepTheirPlaceAndTheSectionTheyWereAddedIn) {
    bar.AddButton("btnOutside", "1,o.bmp,0,0");
    bar.BeginBar("Scenova");
    bar.AddButton("btnA", "2,a.bmp,0,0");
    bar.AddButton("btnB", "2,b.bmp,40,0");
    bar.AddButton("btnA", "2,a2.bmp,80,0");
    bar.EndBar("Scenova");
    ASSERT_EQ(bar.Buttons().size(), 3u);
    EXPECT_EQ(bar.Buttons()[0].section, "");
    EXPECT_EQ(bar.Buttons()[1].section, "Scenova");
    EXPECT_EQ(bar.Descriptor("btnA"), "2,a2.bmp,80,0");
    EXPECT_EQ(bar.ButtonIndex("btnA"), "2");
    EXPECT_EQ(bar.ButtonIndex("btnB"), "3");
    EXPECT_EQ(bar.ButtonIndex("btna"), "0");  // names are case-sensitive
    EXPECT_FALSE(bar.OpenSection().has_value());
}

TEST_F(HeadlessButtonBarTest, UserReachesNothingOnAHiddenDisabledOrDestroyedBar) {
    bar.SetButtonState("btnA", controls::button_state::Disabled, true);
    EXPECT_TRUE(bar.UserEnter("btnA"));  // the pointer still finds a disabled button
    bar.SetButtonState("btnA", controls::button_state::Enabled, true);
    bar.Visible(false);
    EXPECT_FALSE(bar.UserPress("btnA"));
    bar.Visible(true);
    bar.Enabled(false);
    EXPECT_FALSE(bar.UserEnter("btnA"));
    bar.Enabled(true);
    bar.Destroy();
    EXPECT_FALSE(bar.UserPress("btnA"));
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, ButtonBarContract, HeadlessButtonBarFactory);

}  // namespace scenova::test
