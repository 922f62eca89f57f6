#pragma once

// What the window relies on from its video player, on every platform.
// Include in one source file of a test program and instantiate with a
// factory F: F() makes a fresh player; controls::IVideo& Video();
// std::string MoviePath(), a movie it can open, longer than 0;
// std::string MissingPath(); void Advance(int64_t ms) lets time pass;
// static kPositionSlack, how far a sought position may land off.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "controls/Video.h"
#include "tests/controls/control_test_support.h"

namespace scenova::test {

template <class F>
class VideoContract : public ::testing::Test {
protected:
    // Opens the factory's movie and returns its duration.
    double Open() {
        EXPECT_TRUE(video.OpenMovie(factory.MoviePath(), 0.0));
        EXPECT_GT(video.Duration(), 0.0);
        return video.Duration();
    }

    F factory;
    controls::IVideo& video = factory.Video();
};

TYPED_TEST_SUITE_P(VideoContract);

TYPED_TEST_P(VideoContract, PlaysOnlyAnOrderedRangeOfAnOpenMovie) {
    controls::IVideo& video = this->video;
    EXPECT_FALSE(video.OpenMovie(this->factory.MissingPath(), 0.0));
    EXPECT_FALSE(video.PlayRange(0.0, 1.0, false));
    const double duration = this->Open();
    EXPECT_FALSE(video.PlayRange(duration / 2, duration / 4, false));
    EXPECT_FALSE(video.PlayRange(-1.0, duration, false));
    EXPECT_TRUE(video.PlayRange(0.0, duration, false));
    video.Stop();
}

TYPED_TEST_P(VideoContract, SeekStaysWithinTheMovie) {
    const double duration = this->Open();
    const double slack = TypeParam::kPositionSlack;
    for (double position : {duration / 2, -5.0, duration + 100.0}) {
        this->video.Seek(position);
        EXPECT_NEAR(this->video.CurrentPosition(), std::clamp(position, 0.0, duration), slack);
    }
}

TYPED_TEST_P(VideoContract, PauseKeepsThePosition) {
    const double duration = this->Open();
    controls::IVideo& video = this->video;
    ASSERT_TRUE(video.PlayRange(duration / 4, duration, false));
    this->factory.Advance(100);
    video.Pause();
    const double paused = video.CurrentPosition();
    EXPECT_GE(paused, duration / 4 - TypeParam::kPositionSlack);
    EXPECT_LE(paused, duration);
    this->factory.Advance(500);
    EXPECT_EQ(video.CurrentPosition(), paused);
}

REGISTER_TYPED_TEST_SUITE_P(VideoContract, PlaysOnlyAnOrderedRangeOfAnOpenMovie,
                            SeekStaysWithinTheMovie, PauseKeepsThePosition);

}  // namespace scenova::test
