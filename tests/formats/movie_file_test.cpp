#include "formats/AviFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/MovieFile.h"
#include "tests/support/Deadline.h"
#include "tests/support/TempDir.h"

namespace scenova::formats {
namespace {

bool LibavformatLoaded() {
    return scenova::testing::ReadFile("/proc/self/maps").find("/libavformat.so") !=
           std::string::npos;
}

// Before any test has run: what the program links.
const bool kLibavformatLinked = LibavformatLoaded();

// An AVI file's length is read from its header list, without loading
// libavformat (most of the desktop player's start when it was linked in),
// and is the length libavformat gives; a file cut inside its header list
// has none, as there.
TEST(AviFile, GivesTheLengthLibavformatGives) {
    ASSERT_FALSE(kLibavformatLinked);
    const bool loadedBefore = LibavformatLoaded();  // by an earlier test in this process
    const std::string movies[] = {"tests/data/six_seconds.avi", "tests/data/thirty_hours.avi",
                                  "examples/market/video/market.avi"};
    std::vector<std::optional<double>> read;
    for (const std::string& movie : movies) {
        read.push_back(ProbeMovieSeconds(std::string(SCENOVA_SOURCE_DIR) + "/" + movie));
    }
    EXPECT_TRUE(loadedBefore || !LibavformatLoaded());
    for (std::size_t i = 0; i < read.size(); ++i) {
        const std::string path = std::string(SCENOVA_SOURCE_DIR) + "/" + movies[i];
        const std::optional<Movie> probed = ProbeMovie(path);
        ASSERT_TRUE(probed) << movies[i];
        EXPECT_EQ(read[i], probed->seconds) << movies[i];
        EXPECT_FALSE(AviSeconds(scenova::testing::ReadFile(path).substr(0, 4096))) << movies[i];
    }
}

// A playlist or a concatenation list is no movie, and what it names is
// never opened: a FIFO would wait for a writer, /dev/zero never end.
TEST(MovieFile, ListsNamingOtherFilesOpenNone) {
    const scenova::testing::TempDir dir;
    ASSERT_EQ(::mkfifo((dir.Path() / "fifo.avi").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.Path() / "zero.avi");
    const std::string lists[] = {
        dir.Write("f.m3u8", "#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXTINF:6,\nfifo.avi\n"),
        dir.Write("z.m3u8", "#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXTINF:6,\nzero.avi\n"),
        dir.Write("f.ffconcat", "ffconcat version 1.0\nfile fifo.avi\n"),
        dir.Write("z.ffconcat", "ffconcat version 1.0\nfile zero.avi\n")};
    EXPECT_TRUE(scenova::testing::TrueWithin(10, [&] {
        return std::none_of(std::begin(lists), std::end(lists),
                            [](const std::string& list) { return ProbeMovie(list); });
    }));
}

}  // namespace
}  // namespace scenova::formats
