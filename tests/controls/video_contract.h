#pragma once

// What the window relies on from its video player, on every platform.
// Include in one source file of a test program and instantiate with a
// factory F: F() makes a fresh player in seconds; controls::IVideo& Video();
// std::string MoviePath(), a movie it can open, at least 2 seconds long;
// std::string MissingPath(); void Advance(int64_t ms) lets time pass and
// delivers what falls due; void Deliver() processes pending messages;
// static kPositionSlack, how far a position may land off.
//
// Time, for a player that plays, is the media's: a real player takes a
// moment to load and start, and may stall, and the signals keep to the
// media's times, not the wall clock's. Advance lets that much of the media
// play (and the wall clock run while it does not play).

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/Video.h"
#include "tests/controls/control_test_support.h"

namespace scenova::test {

template <class F>
class VideoContract : public ::testing::Test {
protected:
    // Opens the factory's movie and returns its duration.
    double Open() {
        EXPECT_TRUE(video.OpenMovie(factory.MoviePath(), 0.0));
        EXPECT_GE(video.Duration(), 2.0);
        return video.Duration();
    }
    // Opens the movie with these signal times enabled and records the
    // events: "1" for SignalEvent(1), "N" for Notify.
    double OpenWithSignals(std::string times) {
        const double duration = Open();
        video.SetSignalTimes(times);
        video.EnableSignals(true);
        video.Advise({[this] { seen.push_back("N"); },
                      [this](int16_t k) { seen.push_back(std::to_string(k)); }});
        return duration;
    }
    using Seen = std::vector<std::string>;

    F factory;
    controls::IVideo& video = factory.Video();
    Seen seen;
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

TYPED_TEST_P(VideoContract, PauseKeepsThePositionAndTheSignalsWait) {
    const double duration = this->OpenWithSignals("1.5");
    controls::IVideo& video = this->video;
    ASSERT_TRUE(video.PlayRange(1.0, duration, false));
    this->factory.Advance(100);
    video.Pause();
    const double paused = video.CurrentPosition();
    EXPECT_GE(paused, 1.0 - TypeParam::kPositionSlack);
    EXPECT_LE(paused, 1.5);
    this->factory.Advance(1000);
    EXPECT_EQ(video.CurrentPosition(), paused);
    EXPECT_EQ(this->seen, typename TestFixture::Seen{});
}

// Signal 2 and 4 share the range's start; 1 lies beyond the range's end.
TYPED_TEST_P(VideoContract, SignalsComeAtTheirTimesEqualTimesInListOrder) {
    this->OpenWithSignals("1.9,0.5,1,0.5");
    ASSERT_TRUE(this->video.PlayRange(0.5, 1.5, false));
    EXPECT_EQ(this->seen, typename TestFixture::Seen{}) << "raised inside the call";
    this->factory.Deliver();
    EXPECT_EQ(this->seen, (typename TestFixture::Seen{"2", "4"}));
    this->factory.Advance(350);
    EXPECT_EQ(this->seen.size(), 2u);
    this->factory.Advance(300);
    EXPECT_EQ(this->seen, (typename TestFixture::Seen{"2", "4", "3"}));
    this->factory.Advance(1000);
    EXPECT_EQ(this->seen, (typename TestFixture::Seen{"2", "4", "3", "N"}));
    EXPECT_NEAR(this->video.CurrentPosition(), 1.5, TypeParam::kPositionSlack);
}

TYPED_TEST_P(VideoContract, NotifyFollowsASignalAtTheEnd) {
    this->OpenWithSignals("1,0.25");
    ASSERT_TRUE(this->video.PlayRange(0.5, 1.0, false));
    this->factory.Advance(700);
    EXPECT_EQ(this->seen, (typename TestFixture::Seen{"1", "N"}));
}

TYPED_TEST_P(VideoContract, SeekOntoASignalTimeRaisesItOnlyWhenEnabled) {
    this->OpenWithSignals("0.5,1,1");
    controls::IVideo& video = this->video;
    video.EnableSignals(false);
    video.Seek(1.0);
    this->factory.Deliver();
    video.EnableSignals(true);
    this->factory.Deliver();
    EXPECT_EQ(this->seen, typename TestFixture::Seen{}) << "a missed signal is not replayed";
    video.Seek(0.75);
    video.Seek(1.0);
    EXPECT_EQ(this->seen, typename TestFixture::Seen{}) << "raised inside the call";
    this->factory.Deliver();
    EXPECT_EQ(this->seen, (typename TestFixture::Seen{"2", "3"}));
}

TYPED_TEST_P(VideoContract, DisabledSignalsAreNotRaisedWhilePlaying) {
    const double duration = this->OpenWithSignals("0.25,0.5");
    controls::IVideo& video = this->video;
    ASSERT_TRUE(video.PlayRange(0.0, duration, false));
    video.EnableSignals(false);
    this->factory.Advance(350);
    video.EnableSignals(true);
    this->factory.Advance(300);
    EXPECT_EQ(this->seen, (typename TestFixture::Seen{"2"}));
    video.Stop();
}

REGISTER_TYPED_TEST_SUITE_P(VideoContract, PlaysOnlyAnOrderedRangeOfAnOpenMovie,
                            SeekStaysWithinTheMovie, PauseKeepsThePositionAndTheSignalsWait,
                            SignalsComeAtTheirTimesEqualTimesInListOrder,
                            NotifyFollowsASignalAtTheEnd,
                            SeekOntoASignalTimeRaisesItOnlyWhenEnabled,
                            DisabledSignalsAreNotRaisedWhilePlaying);

}  // namespace scenova::test
