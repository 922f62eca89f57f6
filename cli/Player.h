#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <vector>

#include "lesson/Actions.h"

namespace scenova::cli {

struct PlayOptions {
    std::filesystem::path lesson;
    // The person's actions; without any, Play is pressed and the lesson runs
    // to its end.
    std::optional<std::vector<lesson::Action>> actions;
    bool trace = false;  // the full trace instead of the timeline
    // Let the virtual clock run to this time at the end.
    std::optional<double> until;
};

// Plays a lesson folder or packed lesson through the headless host: create the tool,
// IToolTalk_Init, IToolTalk_Show, the actions, IToolTalk_Shutdown, release.
// Returns the exit status: 0 when the run completed, 1 when the tool failed a
// host call, 2 when the lesson cannot be read.
int Play(const PlayOptions& options, std::ostream& out, std::ostream& err);

}  // namespace scenova::cli
