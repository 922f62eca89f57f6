// scenova check, export and import: lessons and subtitle files in, the lines
// the commands print and the scripts they write out.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "authoring/Check.h"
#include "authoring/Commands.h"
#include "authoring/NewLesson.h"
#include "authoring/Publish.h"
#include "cli/Player.h"
#include "formats/Subtitles.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Utf8.h"
#include "tests/support/Deadline.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"

namespace scenova::authoring {
namespace {

using scenova::testing::ExpectGolden;
using scenova::testing::Lines;
using scenova::testing::ReadFile;
using scenova::testing::ReplaceAll;
using scenova::testing::TempDir;

const std::string kSource = SCENOVA_SOURCE_DIR;
const std::string kMarket = kSource + "/examples/market";

// The check's lines for a lesson, and its exit status.
std::pair<int, std::vector<std::string>> Check(const std::filesystem::path& lesson,
                                               bool json = false, const std::string& doc = {}) {
    std::ostringstream out, err;
    const int status = CheckCommand(lesson, json, out, err, doc);
    EXPECT_EQ(err.str(), "");
    return {status, Lines(out.str())};
}

TEST(LessonCheck, TheFaultyLessonGivesExactlyItsGoldenLines) {
    // Named so, the format's document explains each code.
    auto [status, lines] = Check(kSource + "/tests/authoring/faulty", false, "lesson-format.md");
    EXPECT_EQ(status, 1);
    lines.back() = ReplaceAll(lines.back(), kSource + "/", "");
    ExpectGolden("check_faulty.txt", lines);

    // The JSON form carries the same fields, one object a line.
    auto [jsonStatus, json] = Check(kSource + "/tests/authoring/faulty", true, "lesson-format.md");
    EXPECT_EQ(jsonStatus, 1);
    json.back() = ReplaceAll(json.back(), kSource + "/", "");
    ExpectGolden("check_faulty.json", json);
}

// The sample's translation, imported again as the translation of a copy,
// matches line for line (the sample itself checks clean packed, in
// PackedLesson.TheSampleLessonPlaysAndChecksAsItsFolder).
TEST(LessonCheck, TheSampleLessonsTranslationChecksClean) {
    TempDir copy;
    std::filesystem::copy(kMarket, copy.Path(), std::filesystem::copy_options::recursive);
    std::filesystem::remove(copy.Path() / "translation.vtt");
    ImportOptions options{kMarket + "/translation.vtt", "", std::nullopt, std::nullopt};
    options.translationOf = copy.Path();
    std::ostringstream out;
    ASSERT_EQ(ImportCommand(options, out, out), 0) << out.str();
    EXPECT_EQ(ReadFile(copy.Path() / "translation.vtt").find("Aquí tiene"), 423u);
    EXPECT_EQ(Check(copy.Path()).second.back(), copy.Path().string() + ": 0 errors, 0 warnings");
}

// Lessons with a problem that cannot share a lesson with the others, one
// folder each under tests/authoring/lessons/: the lesson's files, `movie` for
// the test video as video/v.avi, and the lines the check prints.
TEST(LessonCheck, SmallLessonsGiveTheirLines) {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(kSource + "/tests/authoring/lessons")) {
        SCOPED_TRACE(entry.path().filename());
        TempDir lesson;
        for (const char* name :
             {"settings.ini", "script.txt", "translation.vtt", "video", "media"}) {
            if (fs::exists(entry.path() / name)) {
                fs::copy(entry.path() / name, lesson.Path() / name,
                         fs::copy_options::recursive | fs::copy_options::copy_symlinks);
            }
        }
        if (fs::exists(entry.path() / "movie")) {
            fs::create_directories(lesson.Path() / "video");
            fs::copy_file(kSource + "/tests/data/six_seconds.avi", lesson.Path() / "video/v.avi");
        }
        auto [status, lines] = Check(lesson.Path());
        lines.pop_back();  // the summary
        const auto expected = Lines(ReadFile(entry.path() / "expected.txt"));
        EXPECT_EQ(lines, expected);
        const bool errors =
            ReadFile(entry.path() / "expected.txt").find(": error: ") != std::string::npos;
        EXPECT_EQ(status, errors ? 1 : 0);
        // Its JSON is valid UTF-8 without a raw control character, whatever the lesson holds.
        for (const std::string& line : Check(lesson.Path(), true).second) {
            EXPECT_EQ(utf8::Printable(line), line);
        }
    }
}

TEST(LessonCheck, MoreBlocksThanTheVideoCanSignal) {
    TempDir lesson;
    std::string script = "VIDEO v.avi\n";
    for (int block = 0; block < 32767; ++block) {
        const std::string t = std::to_string(block + 1);
        script += std::string("ACTOR ") + (block % 2 == 0 ? "Anna" : "Ben") + "\nTEXT Line " + t +
                  ".\nAVSTART " + t + "\nAVEND " + t + ".5\n";
    }
    lesson.Write("script.txt", script);
    lesson.Write("settings.ini", "rtfText.Visible=True\n");
    std::filesystem::create_directories(lesson.Path() / "video");
    std::filesystem::copy_file(kSource + "/tests/data/thirty_hours.avi",
                               lesson.Path() / "video/v.avi");
    auto [status, lines] = Check(lesson.Path());
    lines.pop_back();
    EXPECT_EQ(status, 1);
    ASSERT_FALSE(lines.empty());  // first, before the AVI browsers may not play and no Play
    EXPECT_EQ(lines[0],
              "script.txt:0: error: 32767 speaker blocks: the video signals at most 32766 (n "
              "blocks take n + 1 signal numbers, which are 16-bit), so the transcript and the "
              "slider would not follow it [too-many-blocks]");
}

// A lesson made from a video and a dialogue's subtitles plays as it stands:
// the check finds nothing, the speakers are its blocks, the title is its
// own. A folder that holds files, or is a link, is refused and left as it
// was; an empty one is filled.
TEST(NewLesson, PlaysAsItStandsAndTakesNoFolderThatHoldsFiles) {
    TempDir folder;
    const auto lesson = folder.Path() / "lesson";
    NewLessonOptions options{lesson,
                             kSource + "/tests/data/six_seconds.webm",
                             kSource + "/tests/authoring/new/dialogue.vtt",
                             "Good morning",
                             {},
                             {}};
    std::ostringstream out, err;
    ASSERT_EQ(NewLessonCommand(options, out, err), 0) << out.str() << err.str();
    EXPECT_EQ(Check(lesson).second, std::vector{lesson.string() + ": 0 errors, 0 warnings"});
    EXPECT_EQ(CheckLesson(lesson).title, "Good morning");
    cli::PlayOptions play;
    play.lesson = lesson;
    std::ostringstream played;
    EXPECT_EQ(cli::Play(play, played, err), 0);
    for (const char* block : {"block 1 of 3, Anna:", "block 2 of 3, Ben:", "block 3 of 3, Anna:"}) {
        EXPECT_NE(played.str().find(block), std::string::npos) << played.str();
    }

    const std::string settings = ReadFile(lesson / "settings.ini");
    EXPECT_EQ(NewLessonCommand(options, out, err), 2);
    EXPECT_EQ(ReadFile(lesson / "settings.ini"), settings);
    std::filesystem::create_directory(folder.Path() / "empty");
    std::filesystem::create_directory_symlink(folder.Path() / "empty", folder.Path() / "link");
    options.folder = folder.Path() / "link";
    EXPECT_EQ(NewLessonCommand(options, out, err), 2);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path() / "empty"));
    // An empty folder is the user's: the lesson goes into it, nothing else.
    options.folder = folder.Path() / "empty";
    EXPECT_EQ(NewLessonCommand(options, out, err), 0) << err.str();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(options.folder), {}), 4);
}

std::string Export(SubtitleFormat format, std::optional<std::filesystem::path> chapters = {}) {
    std::ostringstream out, err;
    ExportOptions options{kMarket, format, std::nullopt, chapters};
    EXPECT_EQ(ExportCommand(options, out, err), 0) << err.str();
    EXPECT_EQ(err.str(),
              "scenova: warning: 3 resource command(s) (RESOPEN, RESCLOSE, RESUPDATE) are not "
              "carried by subtitles\n");
    return out.str();
}

TEST(SubtitleExport, TheSampleLessonMatchesItsGoldenFiles) {
    TempDir folder;
    const auto chapters = folder.Path() / "chapters.vtt";
    ExpectGolden("market.vtt", Lines(Export(SubtitleFormat::WebVtt, chapters)));
    ExpectGolden("market_chapters.vtt", Lines(ReadFile(chapters)));
}

TEST(SubtitleExport, ALessonThatDoesNotStartIsRefused) {
    TempDir folder;
    const auto output = folder.Path() / "out.vtt";
    std::ostringstream out, err;
    const ExportOptions options{kSource + "/tests/authoring/faulty", SubtitleFormat::WebVtt, output,
                                std::nullopt};
    EXPECT_EQ(ExportCommand(options, out, err), 1);
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(ReplaceAll(err.str(), kSource + "/", ""),
              "scenova: the lesson does not start (run-time error 9: Subscript out of range): "
              "scenova check tests/authoring/faulty tells why\n");
}

// A line break inside a TEXT line (a CR) is a space, as in the transcript:
// it starts no cue of the lesson's choosing, and the WebVTT reads back.
TEST(SubtitleExport, ALineBreakInsideALineIsASpace) {
    TempDir lesson;
    lesson.Write("script.txt",
                 "VIDEO v.avi\nACTOR A\nTEXT one\r\r2\r00:00:09,000 --> 00:00:10,000\rtwo\n"
                 "AVSTART 1\nAVEND 2\n");
    for (const SubtitleFormat format : {SubtitleFormat::Srt, SubtitleFormat::WebVtt}) {
        std::ostringstream out, err;
        ASSERT_EQ(ExportCommand({lesson.Path(), format, std::nullopt, std::nullopt}, out, err), 0);
        EXPECT_EQ(out.str().find('\r'), std::string::npos);
        if (format == SubtitleFormat::WebVtt) {
            EXPECT_EQ(ReadSubtitles(out.str(), "x", format).cues.size(), 1u) << out.str();
        }
    }
}

// A write that fails half way (a file size limit standing in for a full
// disk) leaves the old file as it was; two outputs to one file are refused.
TEST(SubtitleExport, AFailedWriteLeavesTheOldFile) {
    TempDir folder;
    const std::string old(954, '#');
    const std::string script = folder.Write("script.txt", old);
    std::string srt;
    for (int i = 1; i <= 200; ++i) {
        srt += std::to_string(i) + "\n00:00:01,000 --> 00:00:02,000\nA line of some words.\n\n";
    }
    const std::string input = folder.Write("big.srt", srt);
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::ostringstream ignored;
        _exit(ImportCommand({input, "v.avi", "Anna", script}, ignored, ignored));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(ReadFile(script), old);

    std::ostringstream out, err;
    const ExportOptions both{kMarket, SubtitleFormat::WebVtt, folder.Path() / "a.vtt",
                             folder.Path() / "./a.vtt"};
    EXPECT_EQ(ExportCommand(both, out, err), 2);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "a.vtt"));
}

// What a learner gets from a lesson: the signal times, the transcript and
// its links.
std::vector<std::string> WhatPlays(const std::filesystem::path& lesson) {
    cli::PlayOptions options;
    options.lesson = lesson;
    options.trace = true;
    options.actions.emplace();
    std::ostringstream out, err;
    EXPECT_EQ(cli::Play(options, out, err), 0) << err.str();
    std::vector<std::string> lines;
    for (const std::string& line : Lines(out.str())) {
        if (line.find(".SetSignalTimes(") != std::string::npos ||
            line.find(".RTFContent") != std::string::npos ||
            line.find(".AddLink(") != std::string::npos) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(SubtitleExport, ExportThenImportPlaysTheSame) {
    TempDir folder;
    const auto lesson = folder.Path() / "lesson";
    std::filesystem::create_directories(lesson);
    for (const char* part : {"settings.ini", "media", "resources", "video"}) {
        std::filesystem::copy(kMarket + "/" + part, lesson / part,
                              std::filesystem::copy_options::recursive);
    }
    const std::string vtt = folder.Write("market.vtt", Export(SubtitleFormat::WebVtt));
    std::ostringstream out, err;
    EXPECT_EQ(ImportCommand({vtt, "market.avi", std::nullopt, lesson / "script.txt"}, out, err), 0)
        << err.str();
    EXPECT_EQ(err.str(), "");

    const auto original = WhatPlays(kMarket);
    EXPECT_EQ(original.size(), 10u);  // the signal times, the transcript, eight links
    EXPECT_EQ(WhatPlays(lesson), original);
}

// Subtitle files, a case each under tests/authoring/import/ (from elsewhere,
// malformed, encodings, markup, references, speakers): what the import prints
// and writes (nothing after errors), then that script exported in the file's
// format, against tests/golden/import/FILE.txt; "without-speaker*" lack --speaker.
TEST(SubtitleImport, FilesGiveTheirGoldenLines) {
    for (const auto& entry :
         std::filesystem::directory_iterator(kSource + "/tests/authoring/import")) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        TempDir lesson;
        const auto script = lesson.Path() / "script.txt";
        std::ostringstream out, err;
        const int status = ImportCommand(
            {entry.path(), "hall.mp4",
             name.starts_with("without-speaker") ? std::nullopt : std::optional("Guide"), script},
            out, err);
        std::string text = "exit " + std::to_string(status) + "\n" +
                           ReplaceAll(err.str(), entry.path().parent_path().string() + "/", "");
        EXPECT_EQ(std::filesystem::exists(script), status == 0);
        if (status == 0) {
            const auto format =
                name.ends_with(".srt") ? SubtitleFormat::Srt : SubtitleFormat::WebVtt;
            const ExportOptions options{lesson.Path(), format, std::nullopt, std::nullopt};
            EXPECT_EQ(ExportCommand(options, out, out), 0);  // its warnings before its file
            text += ReadFile(script) + "--- exported\n" + out.str();
        }
        ExpectGolden("import/" + name + ".txt", Lines(text));
    }
    TempDir folder;
    std::ostringstream ignored, err;
    // Its name reaches the terminal escaped.
    const std::string odd = folder.Write("\x1b]0;x\a.srt", "1\n");
    EXPECT_EQ(ImportCommand({odd, "v.avi", "Anna", std::nullopt}, ignored, err), 1);
    EXPECT_EQ(err.str().find('\x1b'), std::string::npos) << err.str();
}

// Markup costs its length: closing tags that match no open one, and text
// inside many open ones (80,000 closing tags once took 29 s).
TEST(SubtitleImport, CostsLinearInItsMarkup) {
    std::string opens, closes;
    for (int i = 0; i < 100000; ++i) {
        opens += "<c>";
        closes += "</b>";
    }
    const std::string vtt = "WEBVTT\n\n00:01.000 --> 00:02.000\nx" + opens + closes +
                            "\n\n00:03.000 --> 00:04.000\n" + opens + std::string(100000, 'x') +
                            "\n";
    EXPECT_TRUE(scenova::testing::TrueWithin(
        10, [&] { return ReadSubtitles(vtt, "t.vtt", SubtitleFormat::WebVtt).cues.size() == 2; }));
}

// A site holds the lesson's files it uses, never hidden or unused ones
// (each named as left out), written afresh to replace the old site whole (a
// link in it leads nowhere), with names escaped on the terminal; a name in
// use that is not UTF-8 is refused. Its page is titled as the lesson, holds
// its style sheet and shows the window's first look, the video at its place loading the movie
// the lesson opens with, which lesson.json lists first.
TEST(Publish, ShipsWhatTheLessonUsesIntoAFreshSite) {
    namespace fs = std::filesystem;
    TempDir folder;
    const std::string lesson = "market\x1b]0;x\a";
    fs::copy(kMarket, folder.Path() / lesson, fs::copy_options::recursive);
    for (const char* name : {".git/config", ".env", "unused.bin"}) {
        folder.Write(lesson + "/" + name, "token");
    }
    for (const char* name :
         {"index.html", "boot.js", "view.js", "page.css", "scenova-web.js", "scenova-web.wasm"}) {
        folder.Write(std::string("site/") + name, name);
    }
    folder.Write("site/index.html",
                 "<link rel=\"stylesheet\" href=\"page.css\"><title>Scenova</title><h1>Scenova</"
                 "h1><div id=\"stage\">");
    folder.Write("out/lesson.json", "{}");
    fs::create_symlink(folder.Write("victim", "kept"), folder.Path() / "out/index.html");
    std::ostringstream out, err;
    const PublishOptions options{
        {folder.Path() / lesson}, folder.Path() / "out", folder.Path() / "site", {}};
    ASSERT_EQ(PublishCommand(options, out, err), 0) << err.str();
    // Titled as the learner reads the lesson, whatever its folder is called.
    EXPECT_NE(ReadFile(folder.Path() / "out/lesson.json").find("{\"title\":\"At the Market\""),
              std::string::npos);
    EXPECT_EQ(ReadFile(folder.Path() / "victim"), "kept");
    EXPECT_EQ(ReadFile(folder.Path() / "out/index.html"),
              "<style>\npage.css</style><title>At the Market \u2014 Scenova</title><h1>At the "
              "Market</h1><div "
              "id=\"stage\"><div id=\"first-view\" aria-hidden=\"true\" "
              "style=\"width:min(640px,100vw - "
              "2em);aspect-ratio:640/480;background:rgb(248,242,234)\"><video "
              "id=\"lesson-video\" src=\"lesson/25.webm\" preload=\"auto\" playsinline "
              "tabindex=\"-1\" aria-label=\"Lesson video\" "
              "style=\"left:3.125%;top:16.667%;width:50%;height:50%\"></video></div>");
    EXPECT_NE(
        ReadFile(folder.Path() / "out/lesson.json")
            .find("\"movies\":[\n{\"name\":\"video/market.webm\",\"address\":\"lesson/25.webm\""),
        std::string::npos);
    EXPECT_EQ((out.str() + err.str()).find('\x1b'), std::string::npos);
    std::size_t shipped = 0;
    std::uintmax_t read = 0;  // of the files the page reads, which it reads as one too
    for (const auto& entry : fs::recursive_directory_iterator(folder.Path() / "out/lesson")) {
        shipped += entry.is_regular_file() ? 1 : 0;
        read += entry.path().extension() == ".bin" && entry.path().stem() != "files"
                    ? entry.file_size()
                    : 0;
    }
    EXPECT_EQ(shipped, 26u);  // the sample's files, but the AVI its WebM stands in for
    EXPECT_EQ(fs::file_size(folder.Path() / "out/lesson/files.bin"), read);
    for (const char* left : {".git: hidden", ".env: hidden", "unused.bin: not used"}) {
        EXPECT_NE(err.str().find(std::string("left out ") + left), std::string::npos) << left;
    }

    folder.Write(lesson + "/h\xff.htm", "<p>Help</p>");
    std::ofstream(folder.Path() / lesson / "settings.ini", std::ios::app) << "Help=h\xff.htm\n";
    const PublishOptions refused{
        {folder.Path() / lesson}, folder.Path() / "new", folder.Path() / "site", {}};
    EXPECT_EQ(PublishCommand(refused, out, err), 1);
    EXPECT_FALSE(fs::exists(folder.Path() / "new"));
}

// Where a packed lesson is unpacked while a test lasts (TMPDIR).
class UnpackedIn {
public:
    UnpackedIn() : m_old(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "") {
        ::setenv("TMPDIR", m_folder.Path().c_str(), 1);
    }
    ~UnpackedIn() { m_old.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", m_old.c_str(), 1); }
    bool Empty() const { return std::filesystem::is_empty(m_folder.Path()); }

private:
    TempDir m_folder;
    std::string m_old;
};

// The sample lesson packed (but hidden files and links, each named) plays
// as its folder does and checks clean, unpacked only while a command runs;
// packed into itself, it is refused.
TEST(PackedLesson, TheSampleLessonPlaysAndChecksAsItsFolder) {
    namespace fs = std::filesystem;
    TempDir folder;
    const fs::path market = folder.Path() / "market";
    const fs::path packed = folder.Path() / "market.scenova";
    fs::copy(kMarket, market, fs::copy_options::recursive);
    folder.Write("market/.env", "token");
    fs::create_symlink("/etc/passwd", market / "media/link.bmp");
    std::ostringstream out, err, trace;
    ASSERT_EQ(PackCommand({market, packed}, out, err), 0) << err.str();
    EXPECT_EQ(err.str(),
              "scenova pack: left out .env: hidden\nscenova pack: left out "
              "media/link.bmp: a link\n");
    EXPECT_EQ(PackCommand({market, market / "media/x.scenova"}, out, err), 2);

    const UnpackedIn unpacked;
    EXPECT_EQ(cli::Play({packed, std::nullopt, true, std::nullopt}, trace, err), 0);
    ExpectGolden(
        "market_play.trace",
        Lines(std::regex_replace(trace.str(), std::regex(R"([^\s"]*/market/)"), "<lesson>/")));
    EXPECT_EQ(Check(packed), std::pair(0, Lines(packed.string() + ": 0 errors, 0 warnings")));
    EXPECT_TRUE(unpacked.Empty());
}

// Packed lessons the reader refuses, one a file in tests/authoring/packed/
// (made by fuzz/make-seeds.py), each with the line of expected.txt naming
// its entry, exit status 2, and nothing of it left behind.
TEST(PackedLesson, HostileArchivesAreRefusedNamingTheEntry) {
    namespace fs = std::filesystem;
    const fs::path folder = kSource + "/tests/authoring/packed";
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".scenova") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    const UnpackedIn unpacked;
    std::string refusals;
    for (const fs::path& file : files) {
        std::ostringstream out, err;
        EXPECT_EQ(CheckCommand(file, false, out, err), 2) << file;
        refusals += ReplaceAll(err.str(), folder.string() + "/", "");
    }
    EXPECT_EQ(Lines(refusals), Lines(ReadFile(folder / "expected.txt")));
    EXPECT_TRUE(unpacked.Empty());
}

}  // namespace
}  // namespace scenova::authoring
