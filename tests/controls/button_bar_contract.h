#pragma once

// What the window relies on from a button bar, on every platform. Include in
// one source file of a test program and instantiate with a factory F: F()
// makes a fresh bar, visible and enabled; controls::IButtonBar& Bar();
// std::string Descriptor(int n) gives a valid button definition; the user's
// Enter(name), Leave(name) and Press(name) by pointer; ActEnter(name) and
// ActPress(name) as a host's scripted actions reach a button, by its name.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "controls/ButtonBar.h"
#include "tests/controls/control_test_support.h"

namespace scenova::test {

template <class F>
class ButtonBarContract : public ::testing::Test {
protected:
    // Adds "btnA" and "btnB" and records the events as "Event name".
    void SetUp() override {
        bar.AddButton("btnA", factory.Descriptor(0));
        bar.AddButton("btnB", factory.Descriptor(1));
        auto note = [this](std::string event) {
            return [this, event](const std::string& name, const std::string&) {
                seen.push_back(event + " " + name);
            };
        };
        bar.Advise({note("GotFocus"), note("LostFocus"), note("Press")});
    }

    F factory;
    controls::IButtonBar& bar = factory.Bar();
    std::vector<std::string> seen;
};

TYPED_TEST_SUITE_P(ButtonBarContract);

TYPED_TEST_P(ButtonBarContract, GetButtonStateReturnsTheLastStateSet) {
    controls::IButtonBar& bar = this->bar;
    EXPECT_EQ(bar.GetButtonState("btnA"), controls::button_state::Enabled);
    for (int16_t state : {controls::button_state::Disabled, controls::button_state::Hidden,
                          controls::button_state::Enabled}) {
        bar.SetButtonState("btnA", state, true);
        EXPECT_EQ(bar.GetButtonState("btnA"), state);
    }
    // A name that is not on the bar is accepted and touches no other button.
    bar.SetButtonState("btnVideoStop", controls::button_state::Disabled, true);
    bar.SetButtonToolTip("btnVideoStop", "Stop");
    EXPECT_EQ(bar.GetButtonState("btnVideoStop"), controls::button_state::Disabled);
    EXPECT_EQ(bar.GetButtonState("btnA"), controls::button_state::Enabled);
    EXPECT_EQ(bar.GetButtonState("btnB"), controls::button_state::Enabled);
}

TYPED_TEST_P(ButtonBarContract, OnlyEnabledButtonsPress) {
    this->bar.SetButtonState("btnA", controls::button_state::Disabled, true);
    this->bar.SetButtonState("btnB", controls::button_state::Hidden, true);
    this->factory.Press("btnA");
    this->factory.Press("btnB");
    this->bar.SetButtonState("btnA", controls::button_state::Enabled, true);
    // A name that was never added is not on the bar, whatever state it was given.
    this->bar.SetButtonState("btnVideoStop", controls::button_state::Enabled, true);
    this->factory.Enter("btnVideoStop");
    this->factory.Press("btnVideoStop");
    this->factory.Enter("btnA");
    this->factory.Press("btnA");
    this->factory.Leave("btnA");
    EXPECT_EQ(this->seen,
              (std::vector<std::string>{"GotFocus btnA", "Press btnA", "LostFocus btnA"}));
}

// A name reaches a button only when the bar shows it: a state set for a name
// does not put a button there.
TYPED_TEST_P(ButtonBarContract, ActionsByNameReachOnlyButtonsOnTheBar) {
    this->bar.SetButtonState("btnVideoStop", controls::button_state::Enabled, true);
    this->factory.ActEnter("btnVideoStop");
    this->factory.ActPress("btnVideoStop");
    this->bar.SetButtonState("btnB", controls::button_state::Disabled, true);
    this->factory.ActEnter("btnB");
    this->factory.ActPress("btnB");
    EXPECT_EQ(this->seen, (std::vector<std::string>{"GotFocus btnB"}));
}

REGISTER_TYPED_TEST_SUITE_P(ButtonBarContract, GetButtonStateReturnsTheLastStateSet,
                            OnlyEnabledButtonsPress, ActionsByNameReachOnlyButtonsOnTheBar);

}  // namespace scenova::test
