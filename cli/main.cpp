// scenova: plays a lesson folder through the headless host, makes a new
// lesson, checks a lesson, turns its spoken lines into subtitles and back,
// publishes it for browsers, serves the site for a preview, and packs a
// lesson as one file, which play, check, export and publish take in place
// of its folder.

#include <CLI/CLI.hpp>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "authoring/Commands.h"
#include "authoring/NewLesson.h"
#include "authoring/Publish.h"
#include "cli/Player.h"
#ifdef SCENOVA_SERVE
#include "cli/Serve.h"
#endif
#include "lesson/Actions.h"

namespace {

// An installed command's files lie beside it (relative is from bin/); one run
// from the build tree takes the build's and the sources' (built).
std::string Installed(const char* relative, const char* file, const char* built) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path command = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path installed = (command.parent_path() / relative).lexically_normal();
        if (fs::is_regular_file(installed / file, error)) {
            return (installed / file).parent_path().string();
        }
    }
    return built;
}

// The page and the module that publish copies.
std::string SiteFolder() {
    return Installed(SCENOVA_INSTALLED_SITE, "index.html", SCENOVA_WEB_DIR);
}

// The document explaining the check's finding codes.
std::string FormatDoc() {
    return Installed(SCENOVA_INSTALLED_DOC, "lesson-format.md", SCENOVA_SOURCE_DOCS) +
           "/lesson-format.md";
}

}  // namespace

int main(int argc, char** argv) {
    // A file size limit makes a write fail, which the commands report,
    // instead of ending the process in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
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
    play->add_option("LESSON", lesson, "the lesson folder, or a packed lesson")->required();
    auto* file = play->add_option("--actions", actionsFile, "a file of actions, one a line");
    auto* inline_ = play->add_option("--action", actionLines, "one action (repeatable)");
    file->excludes(inline_);
    play->add_flag("--trace", options.trace, "print the full trace instead of the timeline");
    auto* untilOption =
        play->add_option("--until", until, "let the virtual clock run to SECONDS at the end")
            ->check(CLI::NonNegativeNumber);

    using namespace scenova::authoring;
    NewLessonOptions newOptions;
    std::string newSubtitles;
    std::string newSpeaker;
    CLI::App* newCommand = app.add_subcommand(
        "new",
        "Make a lesson that plays as it stands from a video, and its subtitles when given: "
        "settings laid out for the video, the buttons, the script; then check it.");
    newCommand->add_option("DIR", newOptions.folder, "the lesson's folder: new, or empty")
        ->required();
    newCommand->add_option("--video", newOptions.video, "the video, copied into DIR/video/")
        ->required();
    auto* newSubtitlesOption = newCommand->add_option(
        "--subtitles", newSubtitles,
        "a WebVTT (.vtt) or SubRip (.srt) file of the spoken lines, read as scenova import "
        "reads it (without: one block, the whole video)");
    newCommand->add_option("--title", newOptions.title,
                           "the lesson's title on its window (default: the folder's name)");
    auto* newSpeakerOption =
        newCommand->add_option("--speaker", newSpeaker, "the speaker of lines that name none");

    std::string checkLesson;
    std::string checkFormat = "text";
    CLI::App* check = app.add_subcommand(
        "check", "Print every problem of a lesson folder as FILE:LINE: severity: message [code].");
    check->add_option("LESSON", checkLesson, "the lesson folder, or a packed lesson")->required();
    check->add_option("--format", checkFormat, "text or json (one JSON object a line)")
        ->check(CLI::IsMember({"text", "json"}));

    ExportOptions exportOptions;
    std::string exportLesson;
    std::string exportFormat;
    std::string exportOutput;
    std::string exportChapters;
    CLI::App* exportCommand = app.add_subcommand(
        "export", "Write a lesson's spoken lines as WebVTT or SubRip subtitles.");
    exportCommand->add_option("LESSON", exportLesson, "the lesson folder, or a packed lesson")
        ->required();
    exportCommand->add_option("--format", exportFormat, "vtt or srt")
        ->required()
        ->check(CLI::IsMember({"vtt", "srt"}));
    auto* exportOutputOption = exportCommand->add_option("-o,--output", exportOutput,
                                                         "the file (standard output without)");
    auto* chaptersOption = exportCommand->add_option(
        "--chapters", exportChapters, "also write the speakers' blocks as WebVTT chapters");

    ImportOptions importOptions;
    std::string importInput;
    std::string importSpeaker;
    std::string importOutput;
    CLI::App* importCommand = app.add_subcommand(
        "import", "Write a lesson script from a WebVTT (.vtt) or SubRip (.srt) file.");
    importCommand->add_option("FILE", importInput, "the subtitle file")->required();
    auto* videoOption =
        importCommand->add_option("--video", importOptions.video, "the video's file name");
    std::string translationOf;
    auto* translationOption = importCommand->add_option(
        "--translation", translationOf,
        "a lesson folder: write the file as its translation.vtt, the lines in a second "
        "language, timed as the script's");
    videoOption->excludes(translationOption);
    auto* speakerOption = importCommand->add_option(
        "--speaker", importSpeaker,
        "the speaker of cues without a voice or a \"Name: \" before them");
    bool prefixesAlways = false;
    bool prefixesNever = false;
    auto* prefixOption = importCommand->add_flag(
        "--speaker-prefix", prefixesAlways,
        "read \"Name: \" before a cue's text as its speaker however few cues have one (by "
        "default: when most cues without a voice do; a cue without one goes on with the "
        "speaker before it)");
    importCommand
        ->add_flag("--no-speaker-prefix", prefixesNever,
                   "leave \"Name: \" before a cue's text as text")
        ->excludes(prefixOption);
    auto* importOutputOption = importCommand->add_option("-o,--output", importOutput,
                                                         "the script (standard output without)");

    PublishOptions publishOptions;
    std::vector<std::string> publishLessons;
    std::string publishOutput;
    std::string publishSite = SiteFolder();
    CLI::App* publishCommand = app.add_subcommand(
        "publish",
        "Write a static site that plays the lesson in a browser from any web server; given "
        "several, a site that lists them on its index page.");
    publishCommand->add_option("LESSON", publishLessons, "the lesson folders, or packed lessons")
        ->required();
    publishCommand->add_option("-o,--output", publishOutput, "the site's folder")->required();
    publishCommand->add_option("--site", publishSite,
                               "the browser build's page and module (default " + publishSite + ")");
    publishCommand->add_option("--title", publishOptions.title,
                               "the page's title (default: the lesson's, its main bar's first "
                               "label, else the folder's name); with several lessons, the index "
                               "page's (default: Lessons)");

#ifdef SCENOVA_SERVE
    std::string serveSite;
    int servePort = 8000;
    CLI::App* serveCommand = app.add_subcommand(
        "serve",
        "Serve a site scenova publish wrote on this computer (127.0.0.1), answering Range "
        "requests, to watch the lesson in a browser.");
    serveCommand->add_option("SITE", serveSite, "the site's folder")->required();
    serveCommand->add_option("PORT", servePort, "the port (default 8000; 0: a free one)")
        ->check(CLI::Range(0, 65535));
#endif

    PackOptions packOptions;
    CLI::App* packCommand =
        app.add_subcommand("pack",
                           "Write a lesson folder as one file (a ZIP archive), which "
                           "play, check, export, publish and the player open.");
    packCommand->add_option("LESSON", packOptions.lesson, "the lesson folder")->required();
    packCommand->add_option("-o,--output", packOptions.output,
                            "the file (default: the folder's name and .scenova, here)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : 2;
    }

    if (newCommand->parsed()) {
        if (*newSubtitlesOption) {
            newOptions.subtitles = newSubtitles;
        }
        if (*newSpeakerOption) {
            newOptions.speaker = newSpeaker;
        }
        newOptions.doc = FormatDoc();
        return NewLessonCommand(newOptions, std::cout, std::cerr);
    }
#ifdef SCENOVA_SERVE
    if (serveCommand->parsed()) {
        return Serve(serveSite, servePort, std::cout, std::cerr);
    }
#endif
    if (check->parsed()) {
        return CheckCommand(checkLesson, checkFormat == "json", std::cout, std::cerr, FormatDoc());
    }
    if (publishCommand->parsed()) {
        publishOptions.lessons.assign(publishLessons.begin(), publishLessons.end());
        publishOptions.output = publishOutput;
        publishOptions.site = publishSite;
        return PublishCommand(publishOptions, std::cout, std::cerr);
    }
    if (packCommand->parsed()) {
        return PackCommand(packOptions, std::cout, std::cerr);
    }
    if (exportCommand->parsed()) {
        exportOptions.lesson = exportLesson;
        exportOptions.format = exportFormat == "srt" ? SubtitleFormat::Srt : SubtitleFormat::WebVtt;
        if (*exportOutputOption) {
            exportOptions.output = exportOutput;
        }
        if (*chaptersOption) {
            exportOptions.chapters = exportChapters;
        }
        return ExportCommand(exportOptions, std::cout, std::cerr);
    }
    if (importCommand->parsed()) {
        importOptions.input = importInput;
        if (*speakerOption) {
            importOptions.speaker = importSpeaker;
        }
        importOptions.prefixes = prefixesAlways  ? SpeakerPrefixes::Always
                                 : prefixesNever ? SpeakerPrefixes::Never
                                                 : SpeakerPrefixes::WhenMost;
        if (*importOutputOption) {
            importOptions.output = importOutput;
        }
        if (*translationOption) {
            importOptions.translationOf = translationOf;
        } else if (!*videoOption) {
            std::cerr << "scenova import: --video is required (or --translation LESSON)\n";
            return 2;
        }
        return ImportCommand(importOptions, std::cout, std::cerr);
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
