#include "model/Slider.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/controls/control_test_support.h"
#include "tests/controls/slider_contract.h"

namespace scenova::test {
namespace {

struct HeadlessSliderFactory {
    HeadlessWorld world;
    model::Slider slider{world.ctx, "sldVideoSlider"};

    controls::ISlider& Slider() { return slider; }
    void ThumbDown() { slider.UserThumbDown(); }
    void DragTo(int32_t value) { slider.UserScrollTo(value); }
    void ThumbUp() { slider.UserThumbUp(); }
    void ClickTo(int32_t value) { slider.UserClickTo(value); }
};

class HeadlessSliderTest : public ::testing::Test {
protected:
    HeadlessWorld world;
    model::Slider slider{world.ctx, "sldVideoSlider"};
};

TEST_F(HeadlessSliderTest, UserCannotMoveAHiddenDisabledOrDestroyedSlider) {
    slider.Visible(false);
    EXPECT_FALSE(slider.UserClickTo(3));
    slider.Visible(true);
    slider.Enabled(false);
    EXPECT_FALSE(slider.UserScrollTo(3));
    slider.Enabled(true);
    slider.Destroy();
    EXPECT_FALSE(slider.UserThumbDown());
    EXPECT_EQ(slider.Value(), 0);
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, SliderContract, HeadlessSliderFactory);

}  // namespace scenova::test
