// The command's exit status where no trace case can show it (tests/cases/
// hold the runs that fail a host call, exit 1, those whose lesson cannot be
// read, exit 2, and those that complete).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cli/Player.h"

namespace scenova::cli {
namespace {

TEST(PlayerTest, AMissingLessonEndsWithExitStatus2) {
    std::ostringstream out, err;
    PlayOptions options;
    options.lesson = "/nonexistent/scenova/lesson";
    EXPECT_EQ(Play(options, out, err), 2);
    EXPECT_THAT(err.str(), ::testing::HasSubstr("no lesson folder"));
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace scenova::cli
