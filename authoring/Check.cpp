#include "authoring/Check.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "authoring/LessonRun.h"
#include "formats/BrowserVideo.h"
#include "formats/MovieFile.h"
#include "formats/PictureFile.h"
#include "formats/PictureStore.h"
#include "lesson/LessonFolder.h"
#include "runtime/Convert.h"
#include "runtime/Utf8.h"
#include "script/ScriptText.h"
#include "tool/Manager.h"
#include "viewer/Translation.h"

namespace scenova::authoring {

namespace {

using Severity = Finding::Severity;
constexpr const char* kSettings = "settings.ini";
constexpr const char* kScript = "script.txt";

std::string ErrorText(const RuntimeError& error) {
    return error.description() + ", error " + std::to_string(error.number());
}

class Checker {
public:
    explicit Checker(const std::filesystem::path& folder)
        : m_lesson(lesson::LoadLesson(folder)), m_folder(m_lesson.Folder()) {}

    CheckResult Run();

private:
    void Add(const char* file, int line, Severity severity, std::string message, std::string code) {
        // One finding of a kind per line: a file two keys share is named at
        // each, a key naming a file used twice only once.
        if (m_seen.insert({file, line, code, message}).second) {
            m_result.findings.push_back(
                {file, line, severity, std::move(message), std::move(code)});
        }
    }
    // A path inside the lesson as the lesson names it.
    std::string Relative(const std::string& path) const {
        return path.starts_with(m_folder) ? path.substr(m_folder.size()) : path;
    }

    void ReadSettingsFile();
    void CheckSettingsLines();
    void CheckFiles();
    void CheckScript();
    void CheckNamesStayInside();
    void CollectUsedFiles();
    void CheckSpeakers(const ScriptReading& reading);
    void CheckTranslation(const ScriptReading& reading);
    void CheckTimes(const ScriptReading& reading, const formats::Movie& movie);
    void CheckWhatShows();
    // Why a video the script names is not there, if the lesson tells.
    std::string MissingVideoHint(const std::string& name) const;
    void MissingPage(const char* file, int line, const std::string& what, const std::string& name);
    // How a name (the part of path after the lesson's folder and the
    // subfolder it names a file in) leaves the lesson folder; empty when it
    // does not.
    std::string Leaves(const std::string& path, bool inSubfolder) const;
    void OutsideFolder(const char* file, int line, const std::string& what,
                       const std::string& how) {
        Add(file, line, Severity::Warning, what + " " + how, "outside-folder");
    }
    void CheckBrowserVideo(int line, const std::string& path, const formats::Movie& movie);
    // The settings lines whose value names this path (the folders of the
    // settings prefixed, as the component does).
    std::vector<const lesson::SettingsLine*> Naming(const std::string& path) const;
    void FileProblem(const std::string& path, const std::string& problem);
    // The keys naming the path name a file: its failures are the file's.
    void MarkFileKeys(const std::string& path) {
        for (const lesson::SettingsLine* line : Naming(path)) {
            m_fileKeys.insert(UCase(line->key));
        }
    }

    lesson::Lesson m_lesson;
    std::string m_folder;
    std::vector<lesson::SettingsLine> m_lines;
    LessonRun m_run;
    CheckResult m_result;
    std::set<std::tuple<std::string, int, std::string, std::string>> m_seen;
    std::set<std::string> m_fileKeys;  // upper-cased keys that name a file the component used
    formats::PictureStore m_pictures;  // the lesson's, as a platform holds them
};

void Checker::ReadSettingsFile() {
    m_lines = lesson::ReadSettingsLines(lesson::ReadLessonFile(m_lesson.folder, kSettings));
    for (const auto& [file, marked] :
         {std::pair{kSettings, m_lesson.settingsMarked}, {kScript, m_lesson.scriptMarked}}) {
        if (marked) {
            Add(file, 1, Severity::Note,
                "the file starts with a UTF-8 byte order mark (as Notepad saves it), which is "
                "read as nothing; a host that kept it would take it for part of the first line",
                "byte-order-mark");
        }
    }
}

std::vector<const lesson::SettingsLine*> Checker::Naming(const std::string& path) const {
    std::vector<const lesson::SettingsLine*> naming;
    for (const lesson::SettingsLine& line : m_lines) {
        if (line.skipped || line.replaced || line.value.empty()) {
            continue;
        }
        if (path == m_lesson.MediaFolder() + line.value ||
            path == m_lesson.ResourceFolder() + line.value) {
            naming.push_back(&line);
        }
    }
    return naming;
}

void Checker::FileProblem(const std::string& path, const std::string& problem) {
    MarkFileKeys(path);
    for (const lesson::SettingsLine* line : Naming(path)) {
        Add(kSettings, line->number, Severity::Error,
            line->key + ": " + Relative(path) + " " + problem,
            problem.starts_with("does not exist") ? "missing-file" : "bad-file");
    }
}

void Checker::CheckSettingsLines() {
    if (m_lesson.settings->Count() == 0) {
        Add(kSettings, 0, Severity::Error,
            "no settings: the learner sees an empty grey window; write settings.ini (scenova "
            "new writes one, docs/lesson-format.md lists its keys)",
            "no-settings");
        return;
    }
    std::map<std::string, int> lastLine;
    for (const lesson::SettingsLine& line : m_lines) {
        if (!line.skipped) {
            lastLine[UCase(line.key)] = line.number;
        }
    }
    for (const lesson::SettingsLine& line : m_lines) {
        if (line.skipped) {
            continue;
        }
        const std::string folded = UCase(line.key);
        if (line.replaced) {
            Add(kSettings, line.number, Severity::Warning,
                line.key + " is set again on line " + std::to_string(lastLine[folded]) +
                    ", which wins",
                "duplicate-key");
            continue;
        }
        if (!m_run.keysRead.contains(folded)) {
            std::string hint;
            std::size_t best = std::max<std::size_t>(2, line.key.size() / 5) + 1;
            for (const auto& [key, spelling] : m_run.keysRead) {
                const std::size_t distance = NameDistance(line.key, spelling);
                if (distance < best) {
                    best = distance;
                    hint = "; did you mean " + spelling + "?";
                }
            }
            Add(kSettings, line.number, Severity::Warning,
                "no lesson reads " + line.key + ", so it changes nothing" + hint, "unknown-key");
            continue;
        }
        const auto outcome = m_run.outcomes.find(folded);
        if (outcome == m_run.outcomes.end() || m_fileKeys.contains(folded)) {
            continue;
        }
        const SettingOutcome& fate = outcome->second;
        const std::string setting = line.key + "=" + line.value;
        if (fate.notAColour) {
            Add(kSettings, line.number, Severity::Error,
                setting + " is not a colour (write RGB(r,g,b), each 0 to 255)" +
                    (fate.failures.empty() ? "" : ": " + ErrorText(fate.failures.front())) +
                    "; the learner sees the colour before it",
                "bad-colour");
        } else if (!fate.failures.empty()) {
            const std::string fallback = fate.defaultValue && !fate.defaultValue->empty()
                                             ? ", not the default " + *fate.defaultValue
                                             : std::string();
            Add(kSettings, line.number, Severity::Error,
                setting + " is not a value " + line.key + " takes (" +
                    ErrorText(fate.failures.front()) +
                    "): it is passed over and the learner sees the earlier value" + fallback,
                "bad-value");
        }
    }
    for (const lesson::SettingsLine& line : m_lines) {
        if (line.skipped) {
            Add(kSettings, line.number, Severity::Warning,
                "no \"=\" on this line: it is not a setting and is skipped", "not-a-setting");
        }
    }
}

void Checker::CheckFiles() {
    for (const std::string& path : m_run.missingFiles) {
        FileProblem(path,
                    "does not exist: the learner sees nothing in its place (the player is told "
                    "\"Unable to open\" and the path); put the file there or correct the name");
    }
    for (const FileUse& use : m_run.files) {
        switch (use.kind) {
            case FileKind::Picture: {
                std::string problem;
                try {
                    m_pictures.Read(use.path);
                } catch (const RuntimeError& error) {
                    problem = error.number() == err::FileNotFound
                                  ? "does not exist"
                                  : "cannot be read as a picture: " + ErrorText(error);
                    if (error.number() == err::OutOfMemory) {
                        problem += ": a picture may hold " +
                                   std::to_string(formats::kMaxPicturePixels >> 20) +
                                   " megapixels, and so may all the lesson's pictures together";
                    }
                }
                if (problem.empty()) {
                    MarkFileKeys(use.barScript.empty() ? use.path : use.barScript);
                } else if (use.barScript.empty()) {
                    FileProblem(use.path, problem);
                } else {
                    FileProblem(use.barScript, "names " + Relative(use.path) + " for its button " +
                                                   use.button + ", which " + problem);
                }
                break;
            }
            case FileKind::Cursor:
                if (!formats::LooksLikeCursorFile(use.path)) {
                    FileProblem(use.path, "is not a cursor file: no cursor is used");
                } else {
                    MarkFileKeys(use.path);
                }
                break;
            case FileKind::BarScript: {
                MarkFileKeys(use.path);
                for (const auto* line : Naming(use.path)) {
                    const auto outcome = m_run.outcomes.find(UCase(line->key));
                    if (outcome != m_run.outcomes.end() && !outcome->second.failures.empty()) {
                        const RuntimeError& error = outcome->second.failures.front();
                        FileProblem(use.path,
                                    error.number() == err::FileNotFound
                                        ? "does not exist"
                                        : "is refused by the bar: " + error.description());
                    }
                }
                break;
            }
            case FileKind::Movie:
                break;  // with the script's VIDEO line
        }
    }
}

// A browser is given the WebM beside a video it may not play.
void Checker::CheckBrowserVideo(int line, const std::string& path, const formats::Movie& movie) {
    const std::optional<std::string> refusal = formats::BrowserRefusal(movie);
    if (!refusal) {
        return;
    }
    const std::string webm = formats::BrowserWebm(path);
    std::error_code error;
    std::string besideIt;
    if (std::filesystem::exists(webm, error)) {
        const std::optional<formats::Movie> beside = formats::ProbeMovie(webm);
        const std::optional<std::string> why =
            beside ? formats::BrowserRefusal(*beside) : "not a movie";
        if (!why) {
            return;
        }
        besideIt = ", nor " + Relative(webm) + " beside it (" + *why + ")";
    }
    Add(kScript, line, Severity::Warning,
        "not every browser plays " + Relative(path) + " (" + *refusal + ")" + besideIt +
            ": a WebM of it beside it plays in all of them; in the lesson folder, " +
            formats::WebmCommand(Relative(path), Relative(webm)) + " makes one",
        "browser-video");
}

void Checker::CheckScript() {
    ScriptReading reading = ReadLessonScript(*m_lesson.script);
    for (Finding& finding : reading.findings) {
        m_result.findings.push_back(std::move(finding));
    }
    for (const ScriptResource& resource : reading.resources) {
        if (const std::string how = Leaves(m_folder + resource.name, false); !how.empty()) {
            OutsideFolder(kScript, resource.line, "the resource " + resource.name, how);
        } else {
            MissingPage(kScript, resource.line, "the resource", resource.name);
        }
    }
    if (reading.videoLine != 0) {
        const std::string path = m_lesson.VideoFolder() + reading.videoName;
        if (const std::string how = Leaves(path, true); !how.empty()) {
            OutsideFolder(kScript, reading.videoLine, "the video " + reading.videoName, how);
        }
        const std::optional<formats::Movie> movie = formats::ProbeMovie(path);
        std::error_code error;
        if (!movie) {
            const bool exists = std::filesystem::is_regular_file(path, error);
            Add(kScript, reading.videoLine, Severity::Error,
                Relative(path) +
                    (exists ? " is not a movie with a video stream and a known length"
                            : " does not exist" + MissingVideoHint(reading.videoName)) +
                    ": the learner sees no video and the transcript does not follow one (the "
                    "player is told \"Unable to open movie:\" and the path); " +
                    (exists ? "convert it to WebM or MP4"
                            : "put the video there or correct the "
                              "VIDEO line"),
                exists ? "bad-file" : "missing-file");
        } else {
            CheckBrowserVideo(reading.videoLine, path, *movie);
            CheckTimes(reading, *movie);
        }
    }
    CheckSpeakers(reading);
    CheckTranslation(reading);
    const std::size_t mostBlocks = m_run.mostSignals - 1;
    if (reading.blocks.size() > mostBlocks) {
        Add(kScript, 0, Severity::Error,
            std::to_string(reading.blocks.size()) + " speaker blocks: the video signals at most " +
                std::to_string(mostBlocks) +
                " (n blocks take n + 1 signal numbers, which are 16-bit), so the transcript and "
                "the slider would not follow it",
            "too-many-blocks");
    }
    // The component itself has the last word on whether the lesson starts.
    const int32_t actual = m_run.startupError ? m_run.startupError->number() : 0;
    if (actual != 0 && actual != reading.startupError) {
        Add(kScript, 0, Severity::Error,
            "the lesson does not start (" + ErrorText(*m_run.startupError) +
                "): the learner sees an empty window",
            "startup-fails");
    }
}

std::string Checker::Leaves(const std::string& path, bool inSubfolder) const {
    const std::string name = path.starts_with(m_folder) ? path.substr(m_folder.size()) : path;
    // "media/", "video/": the place the component appends the name to.
    const std::size_t place = inSubfolder ? std::min(name.find('/') + 1, name.size()) : 0;
    return lesson::HowNameLeaves(m_lesson.folder, name.substr(0, place), name.substr(place));
}

void Checker::CheckNamesStayInside() {
    std::set<std::string> paths;
    std::vector<FileUse> uses = m_run.files;
    for (const std::string& path : m_run.missingFiles) {
        uses.push_back({FileKind::Picture, path, {}, {}});
    }
    for (const FileUse& use : uses) {
        if (use.kind != FileKind::Movie && paths.insert(use.path + "|" + use.barScript).second) {
            const std::string how = Leaves(use.path, true);
            if (how.empty()) {
                continue;
            }
            if (use.barScript.empty()) {
                for (const lesson::SettingsLine* line : Naming(use.path)) {
                    OutsideFolder(kSettings, line->number, line->key + ": " + Relative(use.path),
                                  how);
                }
            } else {
                for (const lesson::SettingsLine* line : Naming(use.barScript)) {
                    OutsideFolder(kSettings, line->number,
                                  line->key + ": " + Relative(use.barScript) + " names " +
                                      Relative(use.path) + " for its button " + use.button +
                                      ", which",
                                  how);
                }
            }
        }
    }
    // Resources are the host's to show, by their names in the lesson folder.
    for (const lesson::SettingsLine& line : m_lines) {
        const std::string key = UCase(line.key);
        if (!line.skipped && !line.replaced && !line.value.empty() &&
            (key == "HELP" || key == "CULTURETIP" || key == "LEARNINGSTRATEGY")) {
            if (const std::string how = Leaves(m_folder + line.value, false); !how.empty()) {
                OutsideFolder(kSettings, line.number, line.key + ": the resource " + line.value,
                              how);
            } else {
                MissingPage(kSettings, line.number, line.key + ": the resource", line.value);
            }
        }
    }
}

// A page the host is to show that is not in the lesson folder.
void Checker::MissingPage(const char* file, int line, const std::string& what,
                          const std::string& name) {
    std::string extension = std::filesystem::path(name).extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    std::error_code error;
    if ((extension == ".htm" || extension == ".html") &&
        !std::filesystem::is_regular_file(m_folder + name, error)) {
        Add(file, line, Severity::Warning,
            what + " " + name + " is not in the lesson folder: the learner who asks for it is " +
                "shown nothing",
            "missing-file");
    }
}

// Speakers written almost alike are two speakers to the learner: a block
// breaks where the spelling changes.
void Checker::CheckSpeakers(const ScriptReading& reading) {
    constexpr std::size_t kMostSpellings = 200;  // beyond, a lesson of names, not a dialogue
    constexpr std::size_t kLongestName = 64;
    std::vector<std::pair<std::string, int>> spellings;  // each first written, with its line
    for (const ScriptCue& cue : reading.cues) {
        if (cue.speaker.empty() || cue.speaker.size() > kLongestName ||
            spellings.size() >= kMostSpellings ||
            std::any_of(spellings.begin(), spellings.end(),
                        [&](const auto& known) { return known.first == cue.speaker; })) {
            continue;
        }
        for (const auto& [known, line] : spellings) {
            const std::size_t longer = std::max(known.size(), cue.speaker.size());
            if (NameDistance(known, cue.speaker) <= (longer >= 4 ? 1u : 0u)) {
                Add(kScript, cue.actorLine, Severity::Warning,
                    "the speaker \"" + cue.speaker + "\" is written almost as \"" + known +
                        "\" (line " + std::to_string(line) +
                        "): the learner sees two speakers; if they are one, write the name "
                        "the same way each time",
                    "speaker-spelling");
                break;
            }
        }
        spellings.emplace_back(cue.speaker, cue.actorLine);
    }
}

void Checker::CheckTimes(const ScriptReading& reading, const formats::Movie& movie) {
    const double end = movie.seconds * m_run.unitsPerSecond;
    double latest = 0;
    for (const ScriptCue& cue : reading.cues) {
        if (cue.badTime) {
            continue;
        }
        if (cue.startLine != 0 && cue.start > end) {
            Add(kScript, cue.startLine, Severity::Error,
                "this cue starts at " + ShortestText(cue.start) + ", past the end of the video (" +
                    ShortestText(end) + "): it never plays",
                "past-end");
        } else if (cue.endLine != 0 && cue.end > end) {
            Add(kScript, cue.endLine, Severity::Warning,
                "this cue ends at " + ShortestText(cue.end) + ", past the end of the video (" +
                    ShortestText(end) + "): its line plays to the video's end",
                "past-end");
        }
        latest = std::max(
            {latest, cue.startLine != 0 ? cue.start : 0.0, cue.endLine != 0 ? cue.end : 0.0});
    }
    // Times written in seconds under the millisecond format all fall in the
    // video's first moments.
    if (m_run.unitsPerSecond == 1000 && latest > 0 && latest <= movie.seconds &&
        latest * 10 < end) {
        int line = 0;
        for (const lesson::SettingsLine& setting : m_lines) {
            line = UCase(setting.key) == "MOVORVMOVIE.TIMEFORMAT" ? setting.number : line;
        }
        Add(kSettings, line, Severity::Warning,
            "every time in the script is within the first " + ShortestText(latest) +
                " ms of the video, though they fit its " + ShortestText(movie.seconds) +
                " s as seconds: movOrvMovie.TimeFormat=1 reads them as milliseconds, so all "
                "the lines go by at once; write the times in milliseconds, or leave "
                "TimeFormat at 0",
            "time-unit");
    }
}

void Checker::CheckTranslation(const ScriptReading& reading) {
    if (m_lesson.translation.empty()) {
        return;
    }
    const char* file = lesson::kTranslation;
    const viewer::Translation translation = viewer::ReadTranslation(m_lesson.translation);
    for (const formats::SubtitleProblem& problem : translation.errorsAt) {
        Add(file, problem.line, Severity::Error,
            problem.message + ": the players show no translation until this is mended",
            "translation-file");
    }
    if (!translation.errorsAt.empty()) {
        return;  // nothing of it is shown: its lines say nothing yet
    }
    // The spoken lines with times, as the players match them.
    std::vector<viewer::LineTime> times;
    std::vector<const ScriptCue*> lines;
    const double units = m_run.unitsPerSecond;
    for (const ScriptCue& cue : reading.cues) {
        if (!cue.textLines.empty() && !cue.badTime && cue.startLine != 0 && cue.endLine != 0) {
            times.push_back(viewer::LineTimeOf(cue.start, cue.end, units));
            lines.push_back(&cue);
        }
    }
    const viewer::TranslationMatch match = viewer::MatchTranslation(times, translation.cues);
    const auto span = [](int64_t from, int64_t to) {
        using formats::FormatTime;
        return FormatTime(from, formats::SubtitleFormat::WebVtt) + " to " +
               FormatTime(to, formats::SubtitleFormat::WebVtt);
    };
    for (const int32_t index : match.unmatchedCues) {
        const formats::SubtitleCue& cue = translation.cues[static_cast<std::size_t>(index)];
        Add(file, cue.line, Severity::Warning,
            "this cue (" + span(cue.start, cue.end) +
                ") goes with no line of the script, so the learner never sees it: a cue "
                "translates the line it shares at least half its time with; time it as that "
                "line's AVSTART and AVEND",
            "translation-unmatched");
    }
    for (std::size_t line = 0; line < lines.size(); ++line) {
        if (match.cueOfLine[line] < 0) {
            Add(kScript, lines[line]->textLines.front(), Severity::Warning,
                "this line (" + span(times[line].start, times[line].end) +
                    ") has no translation: no cue of " + file +
                    " shares half its time, so the learner sees none under it",
                "translation-missing");
        }
    }
}

std::string Checker::MissingVideoHint(const std::string& name) const {
    namespace fs = std::filesystem;
    constexpr int kMostLooked = 1000;
    std::error_code error;
    std::string near;
    std::size_t best = 3;
    int looked = 0;
    for (fs::directory_iterator it(m_lesson.VideoFolder(), error), end; !error && it != end;
         it.increment(error)) {
        if (++looked > kMostLooked) {
            break;
        }
        const std::string other = it->path().filename().string();
        if (UCase(other) == UCase(name)) {
            return "; the video folder has " + other +
                   ", which differs in letter case (the name must match exactly)";
        }
        if (const std::size_t distance = NameDistance(other, name); distance < best) {
            best = distance;
            near = other;
        }
    }
    if (!near.empty()) {
        return "; did you mean " + near + "?";
    }
    if (fs::is_regular_file(fs::path(m_folder) / name, error)) {
        return "; there is one in the lesson folder itself: videos go in video/";
    }
    return std::string();
}

// A window the learner can do nothing with passes every other check.
void Checker::CheckWhatShows() {
    if (!m_run.initResult || m_run.startupError || m_lesson.settings->Count() == 0) {
        return;  // the start-up's failure, or the settings' absence, says it all
    }
    if (!m_run.playButton) {
        Add(kSettings, 0, Severity::Warning,
            "the main bar shows no Play button (btnVideoPlay): the learner cannot start the "
            "video",
            "no-play-button");
    }
    if (!m_run.videoShown) {
        Add(kSettings, 0, Severity::Warning,
            "the video is hidden or has no size (movOrvMovie.Visible, Width, Height): the "
            "learner sees no picture",
            "video-not-shown");
    }
    if (!m_run.transcriptShown && !m_run.transcriptButton) {
        Add(kSettings, 0, Severity::Warning,
            "the transcript is hidden or has no size (rtfText.Visible, Width, Height) and no "
            "button shows it (btnTextOn): the learner sees no text",
            "transcript-not-shown");
    }
}

void Checker::CollectUsedFiles() {
    const auto use = [this](const std::string& path) {
        m_result.used.insert(std::filesystem::path(path).lexically_normal().string());
    };
    use(m_folder + kSettings);
    use(m_folder + kScript);
    use(m_folder + lesson::kTranslation);  // the players read it, when it is there
    for (const FileUse& file : m_run.files) {
        use(file.path);
        if (file.kind == FileKind::Movie) {
            use(formats::BrowserWebm(file.path));
        }
    }
    for (const std::string& resource : m_run.resources) {
        use(m_folder + resource);
    }
}

CheckResult Checker::Run() {
    ReadSettingsFile();
    m_run = RunLesson(m_lesson);
    CheckFiles();
    CheckNamesStayInside();
    CheckSettingsLines();
    CheckScript();
    CheckWhatShows();
    CollectUsedFiles();
    m_result.title = m_run.title;
    m_result.firstView = m_run.firstView;
    std::stable_sort(m_result.findings.begin(), m_result.findings.end(),
                     [](const Finding& a, const Finding& b) {
                         return std::tie(a.file, a.line) < std::tie(b.file, b.line);
                     });
    for (const Finding& finding : m_result.findings) {
        m_result.errors += finding.severity == Severity::Error ? 1 : 0;
        m_result.warnings += finding.severity == Severity::Warning ? 1 : 0;
    }
    return std::move(m_result);
}

const char* SeverityName(Severity severity) {
    return severity == Severity::Error     ? "error"
           : severity == Severity::Warning ? "warning"
                                           : "note";
}

std::string Count(int n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

std::string JsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = utf8::NextCodePoint(text, pos);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            out += "\\u00";
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
        } else {
            utf8::AppendCodePoint(out, c);
        }
    }
    return out + "\"";
}

CheckResult CheckLesson(const std::filesystem::path& folder) {
    return Checker(folder).Run();
}

std::string FormatFinding(const Finding& finding) {
    return utf8::Printable(finding.file + ":" + std::to_string(finding.line) + ": " +
                           SeverityName(finding.severity) + ": " + finding.message + " [" +
                           finding.code + "]");
}

std::string FormatFindingJson(const Finding& finding, const std::string& doc) {
    std::string json =
        "{\"file\":" + JsonString(finding.file) + ",\"line\":" + std::to_string(finding.line) +
        ",\"severity\":\"" + SeverityName(finding.severity) +
        "\",\"message\":" + JsonString(finding.message) + ",\"code\":\"" + finding.code + "\"";
    if (!doc.empty()) {
        json += ",\"doc\":" + JsonString(doc + "#" + finding.code);
    }
    return json + "}";
}

std::string FormatSummary(const std::string& lesson, const CheckResult& result, bool json) {
    if (json) {
        return "{\"lesson\":" + JsonString(lesson) +
               ",\"errors\":" + std::to_string(result.errors) +
               ",\"warnings\":" + std::to_string(result.warnings) + "}";
    }
    return utf8::Printable(lesson + ": " + Count(result.errors, "error") + ", " +
                           Count(result.warnings, "warning"));
}

}  // namespace scenova::authoring
