#pragma once

#include <optional>
#include <string>
#include <vector>

namespace scenova::player {

// "SECONDS:FILE": a picture of the window that many seconds after the start.
struct Shot {
    double seconds;
    std::string file;
};

// What the command line asks of the player.
struct Options {
    std::string lessonFolder;
    std::string actionsFile;
    std::vector<Shot> shots;
    std::optional<double> quitAfter;
    bool stats = false;
    bool fullScreen = false;
    bool captions = false;
    std::string find;  // the find bar's text at the start, if any
};

// Reads the command line without Qt, so that --help and bad usage need no
// display. Each --screenshot takes one value: a folder after it is the
// lesson. On --help, or bad usage (told on err), gives the exit status
// instead: 0 or 2.
struct ParsedOptions {
    std::optional<Options> options;
    int status = 0;
};
ParsedOptions ParseOptions(int argc, const char* const* argv);

}  // namespace scenova::player
