#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Picture.h"
#include "platform/Toolkit.h"
#include "runtime/Collection.h"
#include "script/CueTables.h"

namespace scenova {

// The process-wide values of the component: one copy per loaded component,
// shared by every tool object (the component serves one lesson at a time).
class Module1 {
public:
    static Module1& Get();

    // Back to the state of a freshly loaded component (used by tests).
    void Reset();
    // What a lesson offers only if its own settings name it (its host
    // resources, its button cursor): a lesson that names none offers none,
    // whatever the lesson before it in the process offered.
    void ForgetLessonResources();

    // Folders from the host; file names are appended directly.
    std::string g_strMediaPath;
    std::string g_strResourcePath;
    std::string g_strVideoPath;

    // Host resources offered by the lesson; empty when not offered.
    std::string g_strHelp;
    std::string g_strCultureTip;
    std::string g_strLearningStrategy;

    // Transport buttons defined on the main bar (key and item: the name).
    std::shared_ptr<Collection> g_colButtonInfo;

    // Cue tables filled by the script parser.
    std::vector<CueInfo> g_Cues;
    std::vector<BlockInfo> g_Blocks;
    std::vector<TranscriptBlock> g_Transcript;
    TranscriptFontInfo g_TranscriptFonts;

    std::string g_strCultureTipChar;

    // Cursors: loaded ones are never destroyed, so a file's is loaded once
    // and shared by every lesson that names it (by full path).
    int32_t g_hLinkCursor = 0;
    std::map<std::string, int32_t> g_hFileCursors;
    int32_t g_hPrevCursor = 0;
    std::string g_strButtonCursor;
    Picture g_picButtonCursor;
};

// True when path names an existing ordinary file (wildcards allowed in the
// last component). Never raises.
bool FileExists(IToolkit& toolkit, const std::string& path);

}  // namespace scenova
