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
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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
