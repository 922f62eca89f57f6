#pragma once

// What the window relies on from its position slider, on every platform.
// Include in one source file of a test program and instantiate with a
// factory F: F() makes a fresh slider, visible and enabled;
// controls::ISlider& Slider(); the user's ThumbDown(), DragTo(int32_t),
// ThumbUp() and ClickTo(int32_t) on the track. A click on the track where
// the thumb stands is beside the thumb: on it, it is a press of the thumb.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "controls/Slider.h"
#include "tests/controls/control_test_support.h"

namespace scenova::test {

template <class F>
class SliderContract : public ::testing::Test {
protected:
    // Records the events by name; Change as "Change=" and the Value it sees.
    void Record() {
        auto note = [this](std::string what) { return [this, what] { seen.push_back(what); }; };
        controls::SliderEvents events{nullptr, note("Scroll"), note("ThumbDown"), note("ThumbUp")};
        events.Change = [this] {
            seen.push_back("Change=" + std::to_string(factory.Slider().Value()));
        };
        factory.Slider().Advise(std::move(events));
    }

    F factory;
    std::vector<std::string> seen;
};

TYPED_TEST_SUITE_P(SliderContract);

TYPED_TEST_P(SliderContract, ValueStaysWithinZeroToMax) {
    controls::ISlider& slider = this->factory.Slider();
    slider.Max(10);
    constexpr int32_t kMost = std::numeric_limits<int32_t>::max();
    constexpr int32_t kLeast = std::numeric_limits<int32_t>::min();
    for (auto [assigned, kept] : {std::pair{7, 7}, {11, 10}, {-1, 0}, {kMost, 10}, {kLeast, 0}}) {
        slider.Value(assigned);
        EXPECT_EQ(slider.Value(), kept) << assigned;
    }
    EXPECT_EQ(ErrorOf([&] { slider.Max(-1); }), err::InvalidPropertyValue);
    EXPECT_EQ(slider.Max(), 10);
}

TYPED_TEST_P(SliderContract, ChangeComesInsideTheAssignmentWithTheNewValue) {
    controls::ISlider& slider = this->factory.Slider();
    slider.Max(20);
    bool assigning = false;
    int calls = 0;
    controls::SliderEvents events;
    events.Change = [&] {
        ++calls;
        EXPECT_TRUE(assigning) << "Change came after the assignment returned";
        EXPECT_EQ(slider.Value(), 12);
    };
    slider.Advise(std::move(events));
    assigning = true;
    slider.Value(12);
    assigning = false;
    EXPECT_EQ(calls, 1);
}

TYPED_TEST_P(SliderContract, ChangeOnlyWhenTheValueChanges) {
    controls::ISlider& slider = this->factory.Slider();
    slider.Max(10);
    slider.Value(8);
    this->Record();
    slider.Value(8);
    slider.Max(5);    // pulls the value down
    slider.Value(9);  // clamped onto the value it has
    slider.Max(30);   // leaves the value alone
    EXPECT_EQ(slider.Value(), 5);
    EXPECT_EQ(this->seen, std::vector<std::string>{"Change=5"});
}

TYPED_TEST_P(SliderContract, UserDragsAndClicks) {
    this->factory.Slider().Max(9);
    this->Record();
    this->factory.ThumbDown();
    this->factory.DragTo(4);
    this->factory.ThumbUp();
    this->factory.ClickTo(12);
    this->factory.ClickTo(9);
    EXPECT_EQ(this->seen,
              (std::vector<std::string>{"ThumbDown", "Scroll", "Change=4", "ThumbUp", "Change=9"}));
}

REGISTER_TYPED_TEST_SUITE_P(SliderContract, ValueStaysWithinZeroToMax,
                            ChangeComesInsideTheAssignmentWithTheNewValue,
                            ChangeOnlyWhenTheValueChanges, UserDragsAndClicks);

}  // namespace scenova::test
