// scenova: plays a lesson folder through the headless host.

#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>
#include <iterator>

#include "cli/Player.h"
#include "lesson/Actions.h"

int main(int argc, char** argv) {
    using namespace scenova::cli;
    using namespace scenova::lesson;
    CLI::App app{"Plays an interactive video lesson on the headless platform."};
    app.require_subcommand(1);

    PlayOptions options;
    std::string lesson;
    std::string actionsFile;
    std::vector<std::string> actionLines;
    double until = 0;
    CLI::App* play = app.add_subcommand(
        "play",
        "Create the tool, initialise and show it, carry out the actions (without any: "
        "press Play and let the lesson run to its end), shut it down.");
    play->add_option("LESSON", lesson, "the lesson folder")->required();
    auto* file = play->add_option("--actions", actionsFile, "a file of actions, one a line");
    auto* inline_ = play->add_option("--action", actionLines, "one action (repeatable)");
    file->excludes(inline_);
    play->add_flag("--trace", options.trace, "print the full trace instead of the timeline");
    auto* untilOption =
        play->add_option("--until", until, "let the virtual clock run to SECONDS at the end")
            ->check(CLI::NonNegativeNumber);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : 2;
    }

    options.lesson = lesson;
    if (*untilOption) {
        options.until = until;
    }
    try {
        if (*file) {
            std::ifstream in(actionsFile, std::ios::binary);
            if (!in) {
                std::cerr << "scenova: cannot read the actions file " << actionsFile << '\n';
                return 2;
            }
            const std::string text{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
            options.actions = ParseActions(text);
        } else if (*inline_) {
            options.actions.emplace();
            int number = 0;
            for (const std::string& line : actionLines) {
                options.actions->push_back(ParseAction(line, ++number));
            }
        }
    } catch (const ActionError& error) {
        std::cerr << "scenova: " << (*file ? actionsFile : std::string("--action")) << " "
                  << error.what() << '\n';
        return 2;
    }
    return Play(options, std::cout, std::cerr);
}
