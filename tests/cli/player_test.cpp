// The command's exit status where no trace case can show it (tests/cases/
// hold the runs that fail a host call, exit 1, and those that complete).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/Player.h"
#include "tests/support/TempDir.h"

namespace scenova::cli {
namespace {

using ::testing::HasSubstr;

// A missing lesson folder is exit 2 (one whose files cannot be read is the
// lesson-script-is-a-folder case).
TEST(PlayerTest, AMissingLessonEndsWithExitStatus2) {
    scenova::testing::TempDir lesson;
    std::ostringstream out, err;
    PlayOptions options;
    options.lesson = lesson.Path() / "missing";
    EXPECT_EQ(Play(options, out, err), 2);
    EXPECT_THAT(err.str(), HasSubstr("no lesson folder"));
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace scenova::cli
