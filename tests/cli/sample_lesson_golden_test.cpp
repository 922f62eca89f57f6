// The sample lesson played by the command with the full trace, without
// actions and with action files, compared with reviewed traces.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/Player.h"
#include "lesson/Actions.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"

namespace scenova::cli {
namespace {

const std::string kSource = SCENOVA_SOURCE_DIR;

std::vector<std::string> PlayTrace(const std::optional<std::string>& actionsFile) {
    PlayOptions options;
    options.lesson = kSource + "/examples/market";
    options.trace = true;
    if (actionsFile) {
        options.actions = lesson::ParseActions(
            scenova::testing::ReadFile(kSource + "/tests/cli/actions/" + *actionsFile));
    }
    std::ostringstream out, err;
    EXPECT_EQ(Play(options, out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    // The lesson's folder depends on where the sources are.
    return scenova::testing::Lines(
        scenova::testing::ReplaceAll(out.str(), kSource + "/examples/market/", "<lesson>/"));
}

class SampleLessonTrace : public ::testing::TestWithParam<const char*> {};

// "play" is the lesson played to its end without actions.
TEST_P(SampleLessonTrace, MatchesItsReviewedTrace) {
    const std::string name = GetParam();
    scenova::testing::ExpectGolden(
        "market_" + name + ".trace",
        PlayTrace(name == "play" ? std::nullopt : std::optional(name + ".txt")));
}

INSTANTIATE_TEST_SUITE_P(Stories, SampleLessonTrace,
                         ::testing::Values("play", "stop_play", "stepping", "dragging", "links",
                                           "hide_show", "navigation", "toolbar"));

}  // namespace
}  // namespace scenova::cli
