#include "headless/Video.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "runtime/Convert.h"
#include "tests/controls/control_test_support.h"
#include "tests/controls/video_contract.h"
#include "tests/support/TempDir.h"

namespace scenova::test {
namespace {

// 6.0 seconds long.
const std::string kMovie = std::string(SCENOVA_SOURCE_DIR) + "/tests/data/six_seconds.avi";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A tenth of a second of 8 kHz 8-bit mono silence: sound, but no picture.
std::string WaveFile() {
    auto le = [](uint32_t v, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) {
            out += static_cast<char>((v >> (8 * i)) & 0xff);
        }
        return out;
    };
    const uint32_t samples = 800;
    return "RIFF" + le(36 + samples, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
           le(8000, 4) + le(8000, 4) + le(1, 2) + le(8, 2) + "data" + le(samples, 4) +
           std::string(samples, '\x80');
}

// A 1x1 grey PNG: libavformat reads it as a one-picture stream of no length.
const std::string kPicture(
    "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x01\0\0\0\x01\x08\0\0\0\0\x3a\x7e\x9b\x55\0\0\0\x0a"
    "IDAT\x78\x9c\x63\x60\0\0\0\x02\0\x01\x48\xaf\xa4\x71\0\0\0\0IEND\xae\x42\x60\x82",
    67);

struct HeadlessVideoFactory {
    static constexpr double kPositionSlack = 0.0;

    HeadlessWorld world;
    headless::Video video{world.ctx, "movOrvMovie"};

    controls::IVideo& Video() { return video; }
    std::string MoviePath() { return kMovie; }
    std::string MissingPath() { return kMovie + ".missing"; }
    void Advance(int64_t ms) { world.loop.AdvanceBy(headless::Millis(ms)); }
    void Deliver() { world.loop.ProcessPending(); }
};

using Lines = std::vector<std::string>;
using State = headless::Video::PlayState;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class HeadlessVideoTest : public ::testing::Test {
protected:
    // Opens the movie with signals enabled at these times.
    void OpenWithSignals(std::string times) {
        ASSERT_TRUE(video.OpenMovie(kMovie, 0.0));
        video.SetSignalTimes(times);
        video.EnableSignals(true);
        world.trace.Clear();
    }
    void AdvanceTo(double seconds) { world.loop.AdvanceTo(headless::Seconds(seconds)); }

    HeadlessWorld world;
    headless::Video video{world.ctx, "movOrvMovie"};
};

TEST_F(HeadlessVideoTest, OpensOnlyFilesThatHoldAMovie) {
    ASSERT_TRUE(video.OpenMovie(kMovie, 4.0));
    EXPECT_EQ(video.Duration(), 6.0);
    EXPECT_EQ(video.CurrentPosition(), 4.0);
    ASSERT_TRUE(video.OpenMovie(kMovie, 100.0));
    EXPECT_EQ(video.CurrentPosition(), 6.0);
    ASSERT_TRUE(video.OpenMovie(kMovie, kNaN));
    EXPECT_EQ(video.CurrentPosition(), 0.0);

    const scenova::testing::TempDir dir;
    for (const std::string& path :
         {dir.Write("text.avi", "This is a lesson transcript, not a movie.\n"),
          dir.Write("picture.avi", kPicture), dir.Write("cut.avi", ReadAll(kMovie).substr(0, 4096)),
          dir.Write("sound.avi", WaveFile()), dir.Write("empty.avi", ""), dir.Folder(),
          kMovie + ".missing", std::string()}) {
        ASSERT_TRUE(video.OpenMovie(kMovie, 3.0));
        EXPECT_FALSE(video.OpenMovie(path, 0.0)) << path;
        EXPECT_FALSE(video.IsOpen()) << path;
        EXPECT_EQ(video.Duration(), 0.0) << path;
        EXPECT_EQ(video.CurrentPosition(), 0.0) << path;
        EXPECT_FALSE(video.PlayRange(0.0, 1.0, false)) << path;
    }
}

TEST_F(HeadlessVideoTest, SignalTimesAreReadInTheInvariantForm) {
    std::string times = "1.5,2, 30E-1 ,4";
    video.SetSignalTimes(times);
    EXPECT_EQ(video.SignalTimes(), (std::vector<double>{1.5, 2.0, 3.0, 4.0}));
    for (std::string bad : {"1,,2", "1,2,", "1,x", ",", "1;2", "2.5.1", "inf", "nan"}) {
        EXPECT_EQ(ErrorOf([&] { video.SetSignalTimes(bad); }), err::TypeMismatch) << bad;
        EXPECT_EQ(video.SignalTimes().size(), 4u) << bad;
    }
    std::string huge = "1,1e400";
    EXPECT_EQ(ErrorOf([&] { video.SetSignalTimes(huge); }), err::Overflow);
    // Event numbers are 16-bit.
    std::string tooMany = "0";
    for (std::size_t i = 0; i < headless::Video::kMaxSignalTimes; ++i) {
        tooMany += ",1";
    }
    EXPECT_EQ(ErrorOf([&] { video.SetSignalTimes(tooMany); }), err::Overflow);
    EXPECT_EQ(video.SignalTimes().size(), 4u);
    std::string empty;
    video.SetSignalTimes(empty);
    EXPECT_TRUE(video.SignalTimes().empty());
}

TEST_F(HeadlessVideoTest, PlaybackStatesFollowTheCalls) {
    ASSERT_TRUE(video.OpenMovie(kMovie, 0.0));
    video.Pause();  // nothing to pause
    EXPECT_EQ(video.State(), State::Stopped);
    ASSERT_TRUE(video.PlayRange(2.0, 60.0, true));
    EXPECT_EQ(video.LastRange()->end, 6.0);
    world.loop.AdvanceBy(headless::Millis(500));
    video.Pause();
    EXPECT_EQ(video.State(), State::Paused);
    video.Seek(1.0);  // a paused movie stays paused where it is sought
    EXPECT_EQ(video.State(), State::Paused);
    video.Stop();
    EXPECT_EQ(video.State(), State::Stopped);
    EXPECT_EQ(video.CurrentPosition(), 1.0);
    // A rejected range changes nothing.
    for (auto [start, end] : {std::pair{kNaN, 6.0},
                              {3.0, kNaN},
                              {3.0, kInf},
                              {-kInf, 1.0},
                              {6.5, 7.0},
                              {-0.1, 1.0},
                              {2.0, 1.0}}) {
        EXPECT_FALSE(video.PlayRange(start, end, false)) << start << " " << end;
    }
    EXPECT_EQ(video.State(), State::Stopped);
    EXPECT_EQ(video.LastRange()->start, 2.0);
    EXPECT_TRUE(video.LastRange()->lineFlag);
    EXPECT_EQ(video.CurrentPosition(), 1.0);
}

TEST_F(HeadlessVideoTest, PositionIsAlwaysANumberInRange) {
    video.Seek(3.0);  // no movie: nowhere to go
    EXPECT_EQ(video.CurrentPosition(), 0.0);
    ASSERT_TRUE(video.OpenMovie(kMovie, 0.0));
    video.Seek(3.0);
    EXPECT_EQ(ErrorOf([&] { video.Seek(kNaN); }), err::InvalidCall);
    EXPECT_EQ(video.CurrentPosition(), 3.0);
    video.Seek(kInf);
    EXPECT_EQ(video.CurrentPosition(), 6.0);
    video.Seek(-kInf);
    EXPECT_EQ(video.CurrentPosition(), 0.0);
}

TEST_F(HeadlessVideoTest, HandlersMayStopOrReleaseThePlayer) {
    OpenWithSignals("1,2");
    // As the window does at the end signal: a stopped range has no Notify.
    video.Advise({nullptr, [&](int16_t k) {
                      if (k == 2) {
                          video.Stop();
                      }
                  }});
    ASSERT_TRUE(video.PlayRange(0.0, 2.0, false));
    AdvanceTo(5.0);
    EXPECT_EQ(
        world.trace.Lines(),
        (Lines{"0.000 > movOrvMovie.PlayRange(0, 2, False)", "1.000 < movOrvMovie.SignalEvent(1)",
               "2.000 < movOrvMovie.SignalEvent(2)", "2.000 > movOrvMovie.Stop()"}));

    // The window unloads inside a signal handler.
    auto owned = std::make_unique<headless::Video>(world.ctx, "movOrvMovie");
    ASSERT_TRUE(owned->OpenMovie(kMovie, 0.0));
    std::string times = "6,6";
    owned->SetSignalTimes(times);
    owned->EnableSignals(true);
    owned->Advise({nullptr, [&](int16_t) { owned.reset(); }});
    ASSERT_TRUE(owned->PlayRange(6.0, 6.0, false));
    world.trace.Clear();
    world.loop.ProcessPending();
    EXPECT_EQ(owned, nullptr);
    EXPECT_EQ(world.trace.Lines(), (Lines{"5.000 < movOrvMovie.SignalEvent(1)"}));
}

TEST_F(HeadlessVideoTest, ADestroyedPlayerRaisesNothing) {
    OpenWithSignals("0,1");
    ASSERT_TRUE(video.PlayRange(0.0, 6.0, false));
    video.Destroy();
    AdvanceTo(10.0);
    EXPECT_EQ(world.trace.Lines(), (Lines{"0.000 > movOrvMovie.PlayRange(0, 6, False)"}));
    EXPECT_EQ(world.loop.PendingTimed(), 0u);
    EXPECT_FALSE(video.OpenMovie(kMovie, 0.0));
    EXPECT_FALSE(video.PlayRange(0.0, 1.0, false));
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, VideoContract, HeadlessVideoFactory);

}  // namespace scenova::test
