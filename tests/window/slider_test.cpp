// The position slider. Holding, dragging and sliding to either end are in the
// sample lesson's reviewed dragging trace; these are the cases it lacks.

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

// A video that cannot resume where it paused is shown stopped, not playing.
TEST_F(WindowSliderTest, AThumbReleaseThatCannotResumeStops) {
    Open();
    Press("btnVideoPlay");
    RunTo(2.0);
    auto& slider = *W().sldVideoSlider;
    ASSERT_TRUE(slider.UserThumbDown());
    W().movOrvMovie->SetDuration(1.0);  // the pause position now lies beyond the end
    const std::size_t mark = Mark();
    ASSERT_TRUE(slider.UserThumbUp());
    EXPECT_THAT(Since(mark, "> movOrvMovie."),
                ElementsAre("> movOrvMovie.PlayRange(2, 1, False)", "> movOrvMovie.Stop()"));
    EXPECT_EQ(Form().VideoState(), -1);
    EXPECT_EQ(Buttons(), "Play 0 Stop 1 Rew 0 Fwd 0");
}

}  // namespace
}  // namespace scenova::testing
