#include "authoring/Commands.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

#include "authoring/Check.h"
#include "authoring/LessonRun.h"
#include "lesson/LessonFolder.h"
#include "runtime/Convert.h"
#include "script/ScriptText.h"

namespace scenova::authoring {

namespace {

// Writes the text to the file, or to out without one; false (with a
// message) when the file cannot be written.
bool Deliver(const std::optional<std::filesystem::path>& file, const std::string& text,
             std::ostream& out, std::ostream& err) {
    if (!file) {
        out << text;
        return true;
    }
    std::ofstream stream(*file, std::ios::binary);
    stream << text;
    stream.close();
    if (!stream) {
        err << "scenova: cannot write " << file->string() << '\n';
        return false;
    }
    return true;
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
    if (format == SubtitleFormat::Srt) {
        MarkCultureTips(shown, tipChar);
    } else if (const auto tip = FindCultureTip(shown); tip && tip->close != std::string::npos) {
        shown.resize(tip->close + 1);
    }
    return std::string(TrimSpaces(shown));
}

}  // namespace

int CheckCommand(const std::filesystem::path& lesson, bool json, std::ostream& out,
                 std::ostream& err) {
    CheckResult result;
    try {
        result = CheckLesson(lesson);
    } catch (const lesson::LessonError& error) {
        err << "scenova: " << error.what() << '\n';
        return 2;
    }
    for (const Finding& finding : result.findings) {
        out << (json ? FormatFindingJson(finding) : FormatFinding(finding)) << '\n';
    }
    out << FormatSummary(lesson.string(), result, json) << '\n';
    return result.errors == 0 ? 0 : 1;
}

int ExportCommand(const ExportOptions& options, std::ostream& out, std::ostream& err) {
    lesson::Lesson lesson;
    try {
        lesson = lesson::LoadLesson(options.lesson);
    } catch (const lesson::LessonError& error) {
        err << "scenova: " << error.what() << '\n';
        return 2;
    }
    const ScriptReading reading = ReadLessonScript(*lesson.script);
    const LessonRun run = RunLesson(lesson);
    if (run.startupError) {
        err << "scenova: the lesson does not start (" << run.startupError->what()
            << "): scenova check " << options.lesson.string() << " tells why\n";
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
            err << "scenova: " << (lesson.folder / "script.txt").string() << ":" << cue.actorLine
                << ": this cue's times (" << ShortestText(cue.start) << " to "
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

int ImportCommand(const ImportOptions& options, std::ostream& out, std::ostream& err) {
    const std::string name = options.input.string();
    const std::string extension = UCase(options.input.extension().string());
    if (extension != ".VTT" && extension != ".SRT") {
        err << "scenova: " << name << ": not a .vtt or .srt file\n";
        return 2;
    }
    std::ifstream in(options.input, std::ios::binary);
    if (!in) {
        err << "scenova: cannot read " << name << '\n';
        return 2;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    SubtitleFile file = ReadSubtitles(
        text, name, extension == ".VTT" ? SubtitleFormat::WebVtt : SubtitleFormat::Srt);
    const std::string speaker(options.speaker ? TrimSpaces(*options.speaker) : "");
    for (SubtitleCue& cue : file.cues) {
        if (cue.speaker.empty()) {
            if (speaker.empty()) {
                file.errors.push_back(name + ":" + std::to_string(cue.line) +
                                      ": error: the cue has no voice (<v Name>): give --speaker "
                                      "NAME for such cues");
            }
            cue.speaker = speaker;
        }
    }
    for (const std::string& warning : file.warnings) {
        err << warning << '\n';
    }
    for (const std::string& error : file.errors) {
        err << error << '\n';
    }
    if (!file.errors.empty()) {
        err << "scenova: " << name << " has errors; nothing written\n";
        return 1;
    }
    if (file.cues.empty()) {
        err << "scenova: " << name << " has no cue; nothing written\n";
        return 1;
    }
    return Deliver(options.output, ScriptOfCues(file.cues, options.video), out, err) ? 0 : 2;
}

}  // namespace scenova::authoring
