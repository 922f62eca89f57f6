// The position slider. Holding, dragging and sliding to either end are in the
// sample lesson's reviewed dragging trace; this is the case it lacks.

#include "tests/window/LessonFixture.h"

namespace scenova::testing {
namespace {

using WindowSliderTest = LessonTest;
using PlayState = headless::Video::PlayState;

TEST_F(WindowSliderTest, DraggedAndBroughtBackDuringPlaybackStillStops) {
    Open();
    Press("btnVideoPlay");
    RunTo(2.0);
    auto& slider = *W().sldVideoSlider;
    ASSERT_TRUE(slider.UserThumbDown());
    ASSERT_TRUE(slider.UserScrollTo(2));
    ASSERT_TRUE(slider.UserThumbUp());
    EXPECT_EQ(Form().VideoState(), -1);
    EXPECT_EQ(W().movOrvMovie->State(), PlayState::Stopped);
    EXPECT_EQ(Buttons(), "Play 0 Stop 1 Rew 0 Fwd 0");
}

}  // namespace
}  // namespace scenova::testing
