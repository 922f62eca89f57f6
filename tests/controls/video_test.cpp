#include "headless/Video.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "tests/controls/control_test_support.h"
#include "tests/controls/video_contract.h"

namespace scenova::test {
namespace {

// A file that exists for as long as the object lives.
class TempFile {
public:
    TempFile() {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path() /
                 ("scenova-video-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::ofstream(m_path) << "movie";
    }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    std::string Path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

struct HeadlessVideoFactory {
    static constexpr double kPositionSlack = 0.0;

    HeadlessWorld world;
    TempFile movie;
    headless::Video video{world.ctx, "movOrvMovie"};

    HeadlessVideoFactory() { video.SetDuration(12.5); }
    controls::IVideo& Video() { return video; }
    std::string MoviePath() { return movie.Path(); }
    std::string MissingPath() { return movie.Path() + ".missing"; }
    void Advance(int64_t ms) { world.loop.AdvanceBy(headless::Millis(ms)); }
};

using Lines = std::vector<std::string>;
using State = headless::Video::PlayState;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class HeadlessVideoTest : public ::testing::Test {
protected:
    HeadlessVideoTest() { video.SetDuration(10.0); }

    HeadlessWorld world;
    TempFile movie;
    headless::Video video{world.ctx, "movOrvMovie"};
};

TEST_F(HeadlessVideoTest, SignalTimesAreReadInTheInvariantForm) {
    std::string times = "1.5,2, 30E-1 ,4";
    video.SetSignalTimes(times);
    EXPECT_EQ(video.SignalTimes(), (std::vector<double>{1.5, 2.0, 3.0, 4.0}));
    for (std::string bad : {"1,,2", "1,2,", "1,x", ",", "1;2", "2.5.1"}) {
        EXPECT_EQ(ErrorOf([&] { video.SetSignalTimes(bad); }), err::TypeMismatch) << bad;
        EXPECT_EQ(video.SignalTimes().size(), 4u) << bad;
    }
    std::string empty;
    video.SetSignalTimes(empty);
    EXPECT_TRUE(video.SignalTimes().empty());
}

TEST_F(HeadlessVideoTest, CallsAreTracedWithTheirArguments) {
    video.TimeFormat(3.0f);
    EXPECT_TRUE(video.OpenMovie(movie.Path(), 0.0));
    video.EnableSignals(true);
    EXPECT_TRUE(video.PlayRange(1.5, 10.0, false));
    (void)video.CurrentPosition();
    (void)video.Duration();
    video.Pause();
    EXPECT_EQ(
        world.trace.Lines(),
        (Lines{"0.000 > movOrvMovie.TimeFormat = 3",
               "0.000 > movOrvMovie.OpenMovie(\"" + movie.Path() + "\", 0)",
               "0.000 > movOrvMovie.EnableSignals(True)",
               "0.000 > movOrvMovie.PlayRange(1.5, 10, False)", "0.000 > movOrvMovie.Pause()"}));
}

TEST_F(HeadlessVideoTest, PlaybackStatesFollowTheCalls) {
    ASSERT_TRUE(video.OpenMovie(movie.Path(), 0.0));
    video.Pause();  // nothing to pause
    EXPECT_EQ(video.State(), State::Stopped);
    ASSERT_TRUE(video.PlayRange(2.0, 6.0, true));
    EXPECT_EQ(video.State(), State::Playing);
    EXPECT_EQ(video.CurrentPosition(), 2.0);
    video.Pause();
    EXPECT_EQ(video.State(), State::Paused);
    video.Stop();
    EXPECT_EQ(video.State(), State::Stopped);
    EXPECT_EQ(video.CurrentPosition(), 2.0);
    // A rejected range changes nothing.
    EXPECT_FALSE(video.PlayRange(kNaN, 6.0, false));
    EXPECT_FALSE(video.PlayRange(3.0, kNaN, false));
    EXPECT_EQ(video.State(), State::Stopped);
    EXPECT_EQ(video.LastRange()->start, 2.0);
    EXPECT_TRUE(video.LastRange()->lineFlag);
}

TEST_F(HeadlessVideoTest, FailedOpenLeavesNoMovie) {
    ASSERT_TRUE(video.OpenMovie(movie.Path(), 4.0));
    EXPECT_EQ(video.CurrentPosition(), 4.0);
    EXPECT_EQ(video.Duration(), 10.0);
    // A folder is not a movie.
    EXPECT_FALSE(video.OpenMovie(std::filesystem::temp_directory_path().string(), 0.0));
    EXPECT_FALSE(video.IsOpen());
    EXPECT_EQ(video.Duration(), 0.0);
    EXPECT_EQ(video.CurrentPosition(), 0.0);
}

TEST_F(HeadlessVideoTest, PositionIsAlwaysANumberInRange) {
    ASSERT_TRUE(video.OpenMovie(movie.Path(), kNaN));
    EXPECT_EQ(video.CurrentPosition(), 0.0);
    video.Seek(3.0);
    EXPECT_EQ(ErrorOf([&] { video.Seek(kNaN); }), err::InvalidCall);
    EXPECT_EQ(video.CurrentPosition(), 3.0);
    video.SetDuration(2.0);  // a shorter movie pulls the position in
    EXPECT_EQ(video.CurrentPosition(), 2.0);
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, VideoContract, HeadlessVideoFactory);

}  // namespace scenova::test
