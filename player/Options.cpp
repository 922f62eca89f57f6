#include "player/Options.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <iostream>

#include "runtime/FloatChars.h"
#include "viewer/Keys.h"

namespace scenova::player {

namespace {

std::optional<Shot> ParseShot(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon + 1 == text.size()) {
        return std::nullopt;
    }
    double seconds = 0;
    const char* end = text.data() + colon;
    if (FloatFromChars(text.data(), end, seconds).ptr != end || !(seconds >= 0) ||
        !std::isfinite(seconds)) {
        return std::nullopt;
    }
    return Shot{seconds, text.substr(colon + 1)};
}

}  // namespace

ParsedOptions ParseOptions(int argc, const char* const* argv) {
    CLI::App cli{"Plays an interactive video lesson in a desktop window."};
    Options options;
    std::vector<std::string> shotTexts;
    double quitAfter = 0;
    cli.add_option("LESSON", options.lessonFolder, "the lesson folder, or packed lesson, to open");
    cli.add_option("--actions", options.actionsFile,
                   "a file of actions, one a line, carried out in real time");
    cli.add_option("--screenshot", shotTexts,
                   "SECONDS:FILE.png: a picture of the window that many seconds after the "
                   "lesson opened (repeatable)")
        ->allow_extra_args(false);
    auto* quitOption =
        cli.add_option("--quit-after", quitAfter, "quit that many seconds after the lesson opened")
            ->check(CLI::NonNegativeNumber);
    cli.add_flag("--stats", options.stats,
                 "print the start-up, signal timing, CPU and memory figures at the end");
    cli.add_flag("--full-screen", options.fullScreen, "start in full screen");
    cli.add_flag("--captions", options.captions, "start with captions over the video");
    cli.add_option("--find", options.find, "start with the find bar looking for this text");
    cli.footer("Keys in the player's window:\n" + viewer::KeyList(viewer::Where::Desktop));
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = cli.exit(error);
        return {std::nullopt, status == 0 ? 0 : 2};
    }
    for (const std::string& text : shotTexts) {
        const auto shot = ParseShot(text);
        if (!shot) {
            std::cerr << "scenova-player: --screenshot wants SECONDS:FILE, not " << text << '\n';
            return {std::nullopt, 2};
        }
        options.shots.push_back(*shot);
    }
    if (*quitOption) {
        options.quitAfter = quitAfter;
    }
    return {std::move(options), 0};
}

}  // namespace scenova::player
