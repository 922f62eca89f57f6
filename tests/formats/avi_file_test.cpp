#include "formats/AviFile.h"

#include <gtest/gtest.h>

#include <string>

#include "formats/MovieFile.h"
#include "tests/support/TempDir.h"

namespace scenova::formats {
namespace {

// The length where libavformat is not built in is libavformat's; a file cut
// inside its header list has none, as there.
TEST(AviFile, GivesTheLengthLibavformatGives) {
    for (const char* movie : {"tests/data/six_seconds.avi", "tests/data/thirty_hours.avi",
                              "examples/market/video/market.avi"}) {
        const std::string path = std::string(SCENOVA_SOURCE_DIR) + "/" + movie;
        const std::string bytes = scenova::testing::ReadFile(path);
        EXPECT_EQ(AviSeconds(bytes), ProbeMovieSeconds(path)) << movie;
        EXPECT_FALSE(AviSeconds(bytes.substr(0, 4096))) << movie;
    }
}

}  // namespace
}  // namespace scenova::formats
