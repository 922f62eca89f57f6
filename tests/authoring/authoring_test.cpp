// scenova check, export and import: lessons and subtitle files in, the lines
// the commands print and the scripts they write out.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "authoring/Check.h"
#include "authoring/Commands.h"
#include "authoring/Subtitles.h"
#include "cli/Player.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"

namespace scenova::authoring {
namespace {

using scenova::testing::ExpectGolden;
using scenova::testing::Lines;
using scenova::testing::TempDir;

const std::string kSource = SCENOVA_SOURCE_DIR;
const std::string kMarket = kSource + "/examples/market";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The check's lines for a lesson, and its exit status.
std::pair<int, std::vector<std::string>> Check(const std::filesystem::path& lesson,
                                               bool json = false) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = CheckCommand(lesson, json, out, err);
    EXPECT_EQ(err.str(), "");
    return {status, Lines(out.str())};
}

TEST(LessonCheck, TheFaultyLessonGivesExactlyItsGoldenLines) {
    const auto [status, lines] = Check(kSource + "/tests/authoring/faulty");
    EXPECT_EQ(status, 1);
    std::vector<std::string> shown = lines;
    shown.back() = Replace(shown.back(), kSource + "/", "");
    ExpectGolden("check_faulty.txt", shown);

    // The JSON form carries the same fields, one object a line.
    const auto [jsonStatus, json] = Check(kSource + "/tests/authoring/faulty", true);
    EXPECT_EQ(jsonStatus, 1);
    ASSERT_EQ(json.size(), lines.size());
    EXPECT_EQ(json.front(),
              "{\"file\":\"script.txt\",\"line\":2,\"severity\":\"error\",\"message\":\"TEXT "
              "before the first ACTOR: the start-up fails with run-time error 9 (Subscript out "
              "of range)\",\"code\":\"before-actor\"}");
}

TEST(LessonCheck, TheSampleLessonChecksClean) {
    const auto [status, lines] = Check(kMarket);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(lines, std::vector<std::string>{kMarket + ": 0 errors, 0 warnings"});
}

// Lessons with a problem that cannot share a lesson with the others, one
// folder each under tests/authoring/lessons/: the lesson's files, `movie` for
// the test video as video/v.avi, and the lines the check prints.
TEST(LessonCheck, SmallLessonsGiveTheirLines) {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(kSource + "/tests/authoring/lessons")) {
        SCOPED_TRACE(entry.path().filename());
        TempDir lesson;
        for (const char* name : {"settings.ini", "script.txt", "video"}) {
            if (fs::exists(entry.path() / name)) {
                fs::copy(entry.path() / name, lesson.Path() / name, fs::copy_options::recursive);
            }
        }
        if (fs::exists(entry.path() / "movie")) {
            fs::create_directories(lesson.Path() / "video");
            fs::copy_file(kSource + "/tests/data/six_seconds.avi", lesson.Path() / "video/v.avi");
        }
        auto [status, lines] = Check(lesson.Path());
        lines.pop_back();  // the summary
        const auto expected = Lines(ReadText(entry.path() / "expected.txt"));
        EXPECT_EQ(lines, expected);
        const bool errors =
            ReadText(entry.path() / "expected.txt").find(": error: ") != std::string::npos;
        EXPECT_EQ(status, errors ? 1 : 0);
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
    ASSERT_EQ(lines.size(), 2u);  // and the AVI browsers may not play
    EXPECT_EQ(lines[0],
              "script.txt:0: error: 32767 speaker blocks: the video signals at most 32766 (n "
              "blocks take n + 1 signal numbers, which are 16-bit), so the transcript and the "
              "slider would not follow it [too-many-blocks]");
}

std::string Export(SubtitleFormat format, std::optional<std::filesystem::path> chapters = {}) {
    std::ostringstream out;
    std::ostringstream err;
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
    ExpectGolden("market_chapters.vtt", Lines(ReadText(chapters)));
}

TEST(SubtitleExport, ALessonThatDoesNotStartIsRefused) {
    TempDir folder;
    const auto output = folder.Path() / "out.vtt";
    std::ostringstream out;
    std::ostringstream err;
    const ExportOptions options{kSource + "/tests/authoring/faulty", SubtitleFormat::WebVtt, output,
                                std::nullopt};
    EXPECT_EQ(ExportCommand(options, out, err), 1);
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(Replace(err.str(), kSource + "/", ""),
              "scenova: the lesson does not start (run-time error 9: Subscript out of range): "
              "scenova check tests/authoring/faulty tells why\n");
}

// What a learner gets from a lesson: the signal times, the transcript and
// its links.
std::vector<std::string> WhatPlays(const std::filesystem::path& lesson) {
    cli::PlayOptions options;
    options.lesson = lesson;
    options.trace = true;
    options.actions.emplace();
    std::ostringstream out;
    std::ostringstream err;
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
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(ImportCommand({vtt, "market.avi", std::nullopt, lesson / "script.txt"}, out, err), 0)
        << err.str();
    EXPECT_EQ(err.str(), "");

    const auto original = WhatPlays(kMarket);
    EXPECT_EQ(original.size(), 10u);  // the signal times, the transcript, eight links
    EXPECT_EQ(WhatPlays(lesson), original);
}

// Subtitle files from elsewhere: what a script can carry comes in, the rest
// is named in a warning.
class ForeignFiles : public ::testing::TestWithParam<const char*> {};

TEST_P(ForeignFiles, ImportWhatTheyCanCarry) {
    const std::string name = GetParam();
    std::ostringstream out;
    std::ostringstream err;
    ImportOptions options{kSource + "/tests/authoring/" + name, "hall.mp4", "Guide", std::nullopt};
    EXPECT_EQ(ImportCommand(options, out, err), 0);
    std::vector<std::string> lines =
        Lines(Replace(err.str(), kSource + "/tests/authoring/", "") + out.str());
    ExpectGolden("import_" + Replace(name, ".", "_") + ".txt", lines);
}

INSTANTIATE_TEST_SUITE_P(Files, ForeignFiles, ::testing::Values("foreign.vtt", "foreign.srt"));

TEST(SubtitleImport, MalformedInputNamesItsLinesAndWritesNothing) {
    struct Row {
        SubtitleFormat format;
        const char* text;
        std::vector<std::string> errors;
    };
    const auto vtt = SubtitleFormat::WebVtt;
    const auto srt = SubtitleFormat::Srt;
    const Row rows[] = {
        {vtt,
         "00:00.000 --> 00:01.000\nHello\n",
         {"f:1: error: not a WebVTT file: the first line must be WEBVTT"}},
        {vtt,
         "WEBVTT\n\n00:00.5 --> 00:01.000\nHello\n",
         {"f:3: error: the start time \"00:00.5\" is not [hh:]mm:ss.ttt"}},
        {vtt,
         "WEBVTT\n\n00:00.000 --> 0:00:61.000\nHello\n",
         {"f:3: error: the end time \"0:00:61.000\" is not [hh:]mm:ss.ttt"}},
        {vtt,
         "WEBVTT\n\n00:02.000 --> 00:01.000\nHello\n",
         {"f:3: error: the cue ends at 00:01.000, not after its start 00:02.000"}},
        {vtt,
         "WEBVTT\n\nintro\nHello\n",
         {"f:3: error: a block without a timing line (start --> end)"}},
        {vtt,
         "WEBVTT\n\n00:00.000 --> 00:01.000\nHello\n00:01.000 --> 00:02.000\nThere\n",
         {"f:5: error: a cue line holds \"-->\": is the blank line before this cue missing?"}},
        {vtt,
         "WEBVTT\r\n\r\n00:00.000 --> 00:01.000\r\n<v Anna Hello\r\n",
         {"f:4: error: a tag is not closed with \">\""}},
        {srt,
         "one\n00:00:00,000 --> 00:00:01,000\nHello\n",
         {"f:1: error: expected the cue's number, found \"one\""}},
        {srt, "1\nHello\n", {"f:2: error: expected the cue's times (start --> end)"}},
        {srt,
         "1\n00:00:00.000 --> 00:00:01\nHello\n",
         {"f:2: error: the end time \"00:00:01\" is not hh:mm:ss,ttt"}},
    };
    for (const Row& row : rows) {
        const SubtitleFile file = ReadSubtitles(row.text, "f", row.format);
        EXPECT_EQ(file.errors, row.errors) << row.text;
        EXPECT_TRUE(file.cues.empty()) << row.text;
    }

    TempDir folder;
    const std::string input = folder.Write("bad.vtt", rows[3].text);
    const auto script = folder.Path() / "script.txt";
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(ImportCommand({input, "v.avi", "Anna", script}, out, err), 1);
    EXPECT_FALSE(std::filesystem::exists(script));
    EXPECT_EQ(err.str(), input +
                             ":3: error: the cue ends at 00:01.000, not after its start "
                             "00:02.000\nscenova: " +
                             input + " has errors; nothing written\n");
}

// What a script line cannot hold as a cue writes it: a "[CT" would start a
// culture tip and lose the words after it, so its "[" is dropped with a
// warning; a line break written as a character reference joins the lines as
// a line end does, with a space.
TEST(SubtitleImport, CueTextKeepsItsWordsOnOneScriptLine) {
    const std::string vtt = "WEBVTT\n\n00:00.000 --> 00:01.000\n";
    struct Row {
        SubtitleFormat format;
        std::string text, cue;
        int warnedLine;
    };
    const Row rows[] = {
        {SubtitleFormat::WebVtt, vtt + "lo[CT g <c.tip>Hi</c>\n", "loCT g [CT Hi]", 3},
        {SubtitleFormat::WebVtt, vtt + "a [[CT b\n", "a CT b", 3},
        {SubtitleFormat::Srt, "1\n00:00:00,000 --> 00:00:01,000\n[CT Prices] two euros\n",
         "CT Prices] two euros", 2},
        {SubtitleFormat::WebVtt, vtt + "&#10;one&#13;two\n", "one two", 0},
        {SubtitleFormat::WebVtt, vtt + "&#x0a;one&#X0D;two\n", "one two", 0},
    };
    for (const auto& row : rows) {
        const SubtitleFile file = ReadSubtitles(row.text, "f", row.format);
        ASSERT_EQ(file.cues.size(), 1u) << row.text;
        EXPECT_EQ(file.cues[0].text, row.cue);
        std::vector<std::string> warnings;
        if (row.warnedLine > 0) {
            warnings.push_back("f:" + std::to_string(row.warnedLine) +
                               ": warning: \"[\" of \"[CT\" in the text is dropped: it would "
                               "start a culture tip");
        }
        EXPECT_EQ(file.warnings, warnings) << row.text;
    }
}

// What the export writes reads back as the same cues, whatever the names
// hold: a name ending in a blank (kept, the export would lose it) and a
// voice name ending in "--" (its span closed as "-->", which no cue line may
// hold) each failed once.
TEST(SubtitleExport, OddNamesReadBackTheSame) {
    const std::pair<std::string, std::string> rows[] = {
        // a cue's text, its "speaker|text"
        {"<v Anna&#32;>x", "Anna|x"},
        {"x <c.tip>Hi ]</c>", "|x [CT Hi]"},
        {"<v Anna-- >x <c.tip>a--</c>", "Anna--|x [CT a--]"},
    };
    auto cue = [](const SubtitleFile& file) {
        return file.cues.size() == 1 ? file.cues[0].speaker + "|" + file.cues[0].text
                                     : std::to_string(file.cues.size()) + " cues";
    };
    for (const auto& [text, expected] : rows) {
        const SubtitleFile file = ReadSubtitles("WEBVTT\n\n00:00.000 --> 00:01.000\n" + text + "\n",
                                                "f", SubtitleFormat::WebVtt);
        EXPECT_EQ(cue(file), expected);
        EXPECT_EQ(cue(ReadSubtitles(WriteWebVtt(file.cues), "f", SubtitleFormat::WebVtt)),
                  expected);
    }
}

}  // namespace
}  // namespace scenova::authoring
