#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "lesson/LessonFolder.h"
#include "runtime/RuntimeError.h"
#include "script/CueTables.h"

namespace scenova::authoring {

// What the component made of one setting while its settings procedures
// applied it.
struct SettingOutcome {
    std::vector<RuntimeError> failures;       // statements of its row that raised
    bool notAColour = false;                  // read as a colour and not one
    std::optional<std::string> defaultValue;  // for a missing or empty value ("" worked out)
};

// A ReportError call, with the settings key read last when it came.
struct HostReport {
    int32_t code = 0;
    std::string text;
    std::string key;
};

// A file the component handed to the platform or a control, and as what.
enum class FileKind { Picture, Cursor, BarScript, Movie };
struct FileUse {
    FileKind kind;
    std::string path;
    std::string barScript;  // for a picture named by a bar script: that script's path
    std::string button;     // and the button it belongs to
};

// The window as the learner first sees it, in CSS pixels, when it opens
// with the video shown at a movie's start: the page shows that first frame
// in its place while the component is still starting.
struct FirstView {
    double width = 0;
    double height = 0;
    std::optional<int32_t> backColour;  // 0x00BBGGRR, none for a system colour
    double videoLeft = 0;
    double videoTop = 0;
    double videoWidth = 0;
    double videoHeight = 0;
    std::string movie;  // as the component opened it
};

// The lesson tool run on the headless platform: initialised (the settings
// applied) and started (the script parsed, the transcript and video
// loaded), with everything a check needs recorded on the way.
struct LessonRun {
    // Every key the settings procedures asked for, upper-cased, with the
    // spelling they used; also those they ask for when every file the
    // settings name is there (the keys of a button whose bitmap is missing).
    std::map<std::string, std::string> keysRead;
    std::map<std::string, SettingOutcome> outcomes;  // by upper-cased key
    bool initResult = false;
    std::vector<HostReport> reports;        // from initialisation and start-up
    std::vector<std::string> missingFiles;  // named by settings and not there
    std::optional<RuntimeError> startupError;
    std::vector<FileUse> files;
    // The resources the host was told of (RESOPEN and RESUPDATE values) and
    // the three of the settings, as given: names in the lesson folder.
    std::vector<std::string> resources;
    // The video's position units per second after the settings, and the
    // culture-tip character the transcript uses.
    double unitsPerSecond = 1;
    std::string cultureTipChar;
    // The cue tables after the start-up.
    std::vector<CueInfo> cues;
    std::vector<BlockInfo> blocks;
    // The number of signal times the video can hold.
    std::size_t mostSignals = 0;
    // What the learner would see of the window after the start-up: a Play
    // button on the main bar, the video and the transcript shown at a size,
    // and a button to show the transcript when it is hidden.
    bool playButton = false;
    bool videoShown = false;
    bool transcriptShown = false;
    bool transcriptButton = false;
    // The lesson's title as the learner reads it: the main bar's first label.
    std::string title;
    std::optional<FirstView> firstView;
};

// Runs the tool on a lesson: IToolTalk_Init, IToolTalk_Startup, then
// IToolTalk_Shutdown; resets the component's process-wide values first.
LessonRun RunLesson(const lesson::Lesson& lesson);

}  // namespace scenova::authoring
