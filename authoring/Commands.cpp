#include "authoring/Commands.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>

#include "archive/PackedLesson.h"
#include "authoring/Check.h"
#include "authoring/LessonRun.h"
#include "formats/FileLookup.h"
#include "lesson/LessonFolder.h"
#include "runtime/Convert.h"
#include "runtime/Utf8.h"
#include "script/ScriptText.h"

namespace scenova::authoring {

namespace {

// Writes the text to a new file beside the given one, then puts it in its
// place: a write that fails (a full disk, a size limit) leaves the old file
// as it was. An empty text on success, else what failed.
std::string WriteWhole(const std::filesystem::path& file, const std::string& text) {
    std::string temporary;
    int fd = -1;
    for (int n = 0; fd < 0 && n < 100; ++n) {
        temporary = file.string() + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(n);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        return std::strerror(errno);
    }
    errno = 0;
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    std::string problem;
    if (written < text.size() || ::fsync(fd) != 0) {
        problem = std::strerror(errno != 0 ? errno : EIO);
    }
    if (::close(fd) != 0 && problem.empty()) {
        problem = std::strerror(errno);
    }
    if (problem.empty() && std::rename(temporary.c_str(), file.c_str()) != 0) {
        problem = std::strerror(errno);
    }
    if (!problem.empty()) {
        ::unlink(temporary.c_str());
    }
    return problem;
}

// Writes the text to the file, or to out without one; false (with a
// message) when the file cannot be written.
bool Deliver(const std::optional<std::filesystem::path>& file, const std::string& text,
             std::ostream& out, std::ostream& err) {
    if (!file) {
        out << text;
        return true;
    }
    if (const std::string problem = WriteWhole(*file, text); !problem.empty()) {
        err << "scenova: cannot write " << utf8::Printable(file->string()) << " (" << problem
            << "); it is left as it was\n";
        return false;
    }
    return true;
}

// Whether two paths name the same file, whether or not it exists yet.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    const auto first = std::filesystem::weakly_canonical(a, error);
    const auto second = std::filesystem::weakly_canonical(b, error);
    return !error && first == second;
}

// A time in the lesson's unit as whole milliseconds; false when it is not a
// time a subtitle file can hold.
bool Milliseconds(double time, double unitsPerSecond, int64_t& ms, bool& rounded) {
    const double exact = time / unitsPerSecond * 1000.0;
    if (!std::isfinite(exact) || exact < 0 || exact > 9.0e15) {
        return false;
    }
    ms = std::llround(exact);
    rounded = rounded || std::abs(exact - static_cast<double>(ms)) > 1e-6;
    return true;
}

// A spoken line as a subtitle shows it: what the transcript keeps of it.
// WebVTT keeps the culture tip as a marker (written as a class span);
// SubRip, which has no spans, shows it as the transcript does.
std::string CueText(const std::string& text, SubtitleFormat format, const std::string& tipChar) {
    std::string shown = text;
    // A line break inside a script line (a CR: lines end at LF) is a space
    // in the transcript; in a subtitle it would end the cue's line, and in
    // SubRip start cues of the lesson's choosing.
    for (std::size_t at = shown.find('\r'); at != std::string::npos; at = shown.find('\r', at)) {
        shown.replace(at, shown.compare(at, 2, "\r\n") == 0 ? 2 : 1, " ");
    }
    if (format == SubtitleFormat::Srt) {
        MarkCultureTips(shown, tipChar);
    } else if (const auto tip = FindCultureTip(shown); tip && tip->close != std::string::npos) {
        shown.resize(tip->close + 1);
    }
    return std::string(TrimSpaces(shown));
}

// What the cues' "Name: " prefixes gave: how many cues without a voice
// start so, and whether they were read as speakers.
struct PrefixReading {
    std::size_t named = 0;
    bool taken = false;
};

// Gives cues without a voice the speaker their text starts with ("Name: ",
// taken out of the text) when told to, or when the file has no voices and
// most cues start so; a cue without one goes on with the speaker before it.
PrefixReading TakeSpeakerPrefixes(std::vector<SubtitleCue>& cues, SpeakerPrefixes prefixes) {
    PrefixReading reading;
    std::size_t unvoiced = 0;
    bool voices = false;
    for (const SubtitleCue& cue : cues) {
        voices = voices || !cue.speaker.empty();
        unvoiced += cue.speaker.empty() ? 1 : 0;
        reading.named += cue.speaker.empty() && !cue.prefix.empty() ? 1 : 0;
    }
    reading.taken =
        prefixes == SpeakerPrefixes::Always ||
        (prefixes == SpeakerPrefixes::WhenMost && !voices && reading.named * 2 > unvoiced);
    if (!reading.taken) {
        return reading;
    }
    std::string previous;
    for (SubtitleCue& cue : cues) {
        if (cue.speaker.empty() && !cue.prefix.empty()) {
            cue.text =
                std::string(TrimBlanks(std::string_view(cue.text).substr(cue.prefix.size() + 1)));
            cue.speaker = cue.prefix;
        } else if (cue.speaker.empty()) {
            cue.speaker = previous;
        }
        previous = cue.speaker;
    }
    return reading;
}

// Why cues have no speaker, once for the file ("LINE: error: ..."), empty
// when every cue has one: in SubRip, which has no voices, a message for
// each cue naming <v Name> helped no one.
std::string NoSpeaker(const std::vector<SubtitleCue>& cues, SubtitleFormat format,
                      SpeakerPrefixes prefixes, PrefixReading reading) {
    std::size_t missing = 0;
    int first = 0;
    for (const SubtitleCue& cue : cues) {
        if (cue.speaker.empty() && missing++ == 0) {
            first = cue.line;
        }
    }
    if (missing == 0) {
        return {};
    }
    std::string text = std::to_string(first) + ": error: " +
                       (missing == 1 ? std::string("this cue has")
                                     : std::to_string(missing) + " cues, from this one on, have") +
                       " no speaker: ";
    text += format == SubtitleFormat::Srt
                ? "SubRip names speakers only as \"Name: \" before a cue's text"
                : "a WebVTT cue names its speaker with a voice (<v Name>) or as \"Name: \" "
                  "before its text";
    if (reading.taken) {
        text += std::string(", and ") + (missing == 1 ? "it comes" : "they come") +
                " before the first cue that does";
    } else if (prefixes == SpeakerPrefixes::Never && reading.named > 0) {
        text += ", which --no-speaker-prefix leaves as text";
    } else if (reading.named == 0) {
        text += missing == 1 ? ", and it does not" : ", and none of them does";
    } else {
        text += ", and only " + std::to_string(reading.named) +
                (reading.named == 1 ? " of them does" : " of them do") +
                ", too few to be read as speakers without --speaker-prefix";
    }
    text += "; give --speaker NAME for them";
    if (missing == cues.size() && reading.named == 0) {
        // A chapters file names parts, not speakers.
        text +=
            " (a file of chapters is no lesson's lines: a lesson has no chapters, its "
            "speakers' blocks are what the slider, Back and Forward step through)";
    }
    return text;
}

}  // namespace

int CheckCommand(const std::filesystem::path& lesson, bool json, std::ostream& out,
                 std::ostream& err, const std::string& doc) {
    CheckResult result;
    try {
        const archive::LessonPlace place(lesson);
        result = CheckLesson(place.Folder());
    } catch (const lesson::LessonError& error) {
        err << "scenova: " << utf8::Printable(error.what()) << '\n';
        return 2;
    }
    for (const Finding& finding : result.findings) {
        out << (json ? FormatFindingJson(finding, doc) : FormatFinding(finding)) << '\n';
    }
    if (!json && !doc.empty() && !result.findings.empty()) {
        out << "What each [code] means: " << utf8::Printable(doc) << "#what-the-check-finds\n";
    }
    out << FormatSummary(lesson.string(), result, json) << '\n';
    return result.errors == 0 ? 0 : 1;
}

int ExportCommand(const ExportOptions& options, std::ostream& out, std::ostream& err) {
    if (options.output && options.chapters && SameFile(*options.output, *options.chapters)) {
        err << "scenova: the subtitles and the chapters would be written to the same file, "
            << utf8::Printable(options.output->string()) << '\n';
        return 2;
    }
    lesson::Lesson lesson;
    std::unique_ptr<archive::LessonPlace> place;
    try {
        place = std::make_unique<archive::LessonPlace>(options.lesson);
        lesson = lesson::LoadLesson(place->Folder());
    } catch (const lesson::LessonError& error) {
        err << "scenova: " << utf8::Printable(error.what()) << '\n';
        return 2;
    }
    const ScriptReading reading = ReadLessonScript(*lesson.script);
    const LessonRun run = RunLesson(lesson);
    if (run.startupError) {
        err << "scenova: the lesson does not start (" << run.startupError->what()
            << "): scenova check " << utf8::Printable(options.lesson.string()) << " tells why\n";
        return 1;
    }
    std::vector<SubtitleCue> cues;
    bool rounded = false;
    for (const ScriptCue& cue : reading.cues) {
        if (cue.block < 0) {
            continue;
        }
        SubtitleCue subtitle;
        subtitle.line = cue.actorLine;
        subtitle.speaker = cue.speaker;
        if (!Milliseconds(cue.start, run.unitsPerSecond, subtitle.start, rounded) ||
            !Milliseconds(cue.end, run.unitsPerSecond, subtitle.end, rounded) ||
            subtitle.end <= subtitle.start) {
            err << "scenova: " << utf8::Printable((lesson.folder / "script.txt").string()) << ":"
                << cue.actorLine << ": this cue's times (" << ShortestText(cue.start) << " to "
                << ShortestText(cue.end) << ") are no subtitle's; nothing written\n";
            return 1;
        }
        for (const std::string& text : cue.texts) {
            subtitle.text = CueText(text, options.format, run.cultureTipChar);
            cues.push_back(subtitle);
        }
    }
    if (cues.empty()) {
        err << "scenova: the lesson has no spoken line to export\n";
        return 1;
    }
    if (rounded) {
        err << "scenova: warning: times are rounded to whole milliseconds\n";
    }
    if (options.format == SubtitleFormat::Srt) {
        std::set<std::string> unwritten;
        for (const SubtitleCue& cue : cues) {
            if (!cue.speaker.empty() && !IsSpeakerPrefix(cue.speaker, SubtitleFormat::Srt)) {
                unwritten.insert(cue.speaker);
            }
        }
        if (!unwritten.empty()) {
            err << "scenova: warning: " << unwritten.size()
                << " speaker name(s) cannot stand before a SubRip cue's text as \"Name: \" "
                   "(such as "
                << utf8::Printable(*unwritten.begin())
                << "): more than 40 characters, a blank at an end, or a ':', '<', '>' or control "
                   "character; their cues go without it, and import gives them to the speaker "
                   "before\n";
        }
    }
    if (reading.resourceCommands > 0) {
        err << "scenova: warning: " << reading.resourceCommands
            << " resource command(s) (RESOPEN, RESCLOSE, RESUPDATE) are not carried by "
               "subtitles\n";
    }
    const std::string text =
        options.format == SubtitleFormat::WebVtt ? WriteWebVtt(cues) : WriteSrt(cues);
    if (options.chapters) {
        // A chapter a speaker's block, from its start to the next one's.
        std::vector<SubtitleCue> chapters;
        bool ignored = false;
        for (std::size_t b = 0; b < run.blocks.size() && b < reading.blocks.size(); ++b) {
            SubtitleCue chapter;
            chapter.text = reading.blocks[b].speaker;
            const double end =
                b + 1 < run.blocks.size() ? run.blocks[b + 1].StartTime : run.blocks[b].EndTime;
            if (!Milliseconds(run.blocks[b].StartTime, run.unitsPerSecond, chapter.start,
                              ignored) ||
                !Milliseconds(end, run.unitsPerSecond, chapter.end, ignored) ||
                chapter.end <= chapter.start) {
                continue;
            }
            chapters.push_back(chapter);
        }
        if (!Deliver(options.chapters, WriteWebVtt(chapters), out, err)) {
            return 2;
        }
    }
    return Deliver(options.output, text, out, err) ? 0 : 2;
}

std::string ScriptOfCues(const std::vector<SubtitleCue>& cues, const std::string& video) {
    std::string script = "VIDEO " + video + "\n";
    for (const SubtitleCue& cue : cues) {
        script += "ACTOR " + cue.speaker + "\n";
        script += "TEXT " + cue.text + "\n";
        script += "AVSTART " + ShortestText(static_cast<double>(cue.start) / 1000.0) + "\n";
        script += "AVEND " + ShortestText(static_cast<double>(cue.end) / 1000.0) + "\n";
    }
    return script;
}

std::optional<std::string> ImportScript(const ImportOptions& options, std::ostream& err,
                                        int& status) {
    const std::string name = options.input.string();
    // File names may hold anything; what reaches the terminal is escaped.
    const std::string shown = utf8::Printable(name);
    const std::string extension = UCase(options.input.extension().string());
    if (extension != ".VTT" && extension != ".SRT") {
        err << "scenova: " << shown << ": not a .vtt or .srt file\n";
        status = 2;
        return std::nullopt;
    }
    // As long as a lesson's script may be: a cue a line of it and more.
    constexpr std::size_t kMaxSubtitleBytes = lesson::kMaxScriptBytes;
    const formats::FileContent input = formats::ReadOrdinaryFile(name, kMaxSubtitleBytes);
    if (input.outcome != formats::FileContent::Outcome::Read) {
        err << "scenova: cannot read " << shown
            << (input.outcome == formats::FileContent::Outcome::TooLarge
                    ? ": it holds more than 16 MiB, more than a lesson's subtitles need"
                : input.outcome == formats::FileContent::Outcome::NotAFile
                    ? ": it is not an ordinary file"
                    : "")
            << '\n';
        status = 2;
        return std::nullopt;
    }
    const SubtitleFormat format =
        extension == ".VTT" ? SubtitleFormat::WebVtt : SubtitleFormat::Srt;
    SubtitleFile file = ReadSubtitles(input.bytes, name, format);
    const PrefixReading reading = TakeSpeakerPrefixes(file.cues, options.prefixes);
    const std::string speaker(options.speaker ? TrimSpaces(*options.speaker) : "");
    if (speaker.empty() && !options.translationOf) {
        if (std::string problem = NoSpeaker(file.cues, format, options.prefixes, reading);
            !problem.empty()) {
            file.errors.push_back(name + ":" + problem);
        }
    }
    for (SubtitleCue& cue : file.cues) {
        if (cue.speaker.empty()) {
            cue.speaker = speaker;
        }
    }
    for (const std::string& warning : file.warnings) {
        err << utf8::Printable(warning) << '\n';
    }
    for (const std::string& error : file.errors) {
        err << utf8::Printable(error) << '\n';
    }
    if (!file.errors.empty()) {
        err << "scenova: " << shown << " has errors; nothing written\n";
        status = 1;
        return std::nullopt;
    }
    if (file.cues.empty()) {
        err << "scenova: " << shown << " has no cue; nothing written\n";
        status = 1;
        return std::nullopt;
    }
    // A translation keeps its cues as WebVTT, times and all.
    return options.translationOf ? WriteWebVtt(file.cues) : ScriptOfCues(file.cues, options.video);
}

int ImportCommand(const ImportOptions& options, std::ostream& out, std::ostream& err) {
    std::error_code error;
    if (options.translationOf && !std::filesystem::is_directory(*options.translationOf, error)) {
        err << "scenova: no lesson folder at " << utf8::Printable(options.translationOf->string())
            << "; nothing written\n";
        return 2;
    }
    int status = 0;
    const std::optional<std::string> text = ImportScript(options, err, status);
    if (!text) {
        return status;
    }
    if (options.translationOf) {
        const std::filesystem::path written = *options.translationOf / lesson::kTranslation;
        if (!Deliver(written, *text, out, err)) {
            return 2;
        }
        out << "Wrote " << utf8::Printable(written.string())
            << "; scenova check names the lines and cues that do not match\n";
        return 0;
    }
    return Deliver(options.output, *text, out, err) ? 0 : 2;
}

int PackCommand(const PackOptions& options, std::ostream& out, std::ostream& err) {
    std::filesystem::path file = options.output;
    if (file.empty()) {
        // "market/", as tab completion writes it, is the folder market.
        const auto folder = std::filesystem::absolute(options.lesson).lexically_normal();
        file = (folder.has_filename() ? folder : folder.parent_path()).filename().string() +
               std::string(archive::kPackedExtension);
    }
    try {
        const archive::PackResult result = archive::Pack(options.lesson, file);
        for (const std::string& left : result.leftOut) {
            err << "scenova pack: left out " << utf8::Printable(left) << '\n';
        }
        out << utf8::Printable(file.string()) << ": " << result.files << " files in "
            << result.folders << " folders, " << result.bytes << " bytes packed into "
            << result.packedBytes << '\n';
    } catch (const lesson::LessonError& error) {
        err << "scenova pack: " << utf8::Printable(error.what()) << '\n';
        return dynamic_cast<const archive::PackRefused*>(&error) != nullptr ? 1 : 2;
    }
    return 0;
}

}  // namespace scenova::authoring
