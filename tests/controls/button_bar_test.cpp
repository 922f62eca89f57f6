#include "model/ButtonBar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/controls/button_bar_contract.h"
#include "tests/controls/control_test_support.h"

namespace scenova::test {
namespace {

struct HeadlessButtonBarFactory {
    HeadlessWorld world;
    model::ButtonBar bar{world.ctx, "frmRose"};

    controls::IButtonBar& Bar() { return bar; }
    std::string Descriptor(int n) { return "2,button" + std::to_string(n) + ".bmp,10,5"; }
    void Enter(const std::string& name) { bar.UserEnter(name); }
    void Leave(const std::string& name) { bar.UserLeave(name); }
    void Press(const std::string& name) { bar.UserPress(name); }
    void ActEnter(const std::string& name) { bar.UserEnter(name); }
    void ActPress(const std::string& name) { bar.UserPress(name); }
};

class HeadlessButtonBarTest : public ::testing::Test {
protected:
    HeadlessButtonBarTest() { bar.AddButton("btnA", "2,a.bmp,0,0"); }

    HeadlessWorld world;
    model::ButtonBar bar{world.ctx, "frmRose"};
};

TEST_F(HeadlessButtonBarTest, HandlerErrorIsKeptAndDoesNotEscape) {
    int presses = 0;
    bar.Advise({nullptr, nullptr, [&](const std::string&, const std::string&) {
                    ++presses;
                    Raise(err::NoObject);
                }});
    EXPECT_NO_THROW(bar.UserPress("btnA"));
    EXPECT_NO_THROW(bar.UserPress("btnA"));
    EXPECT_EQ(presses, 2);
    ASSERT_EQ(world.ctx.eventErrors.size(), 2u);
    EXPECT_EQ(world.ctx.eventErrors[0].event, "frmRose.ButtonPress");
    EXPECT_EQ(world.ctx.eventErrors[0].error.number(), err::NoObject);
}

// A lifetime fault the sanitizers see: the running handler is replaced.
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
