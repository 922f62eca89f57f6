#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Collection.h"

namespace scenova::authoring {

// A problem found in a lesson, at a line of one of its files (line 0: the
// file as a whole); a note tells what the reader made of something that is
// no problem here but may be elsewhere.
struct Finding {
    enum class Severity { Error, Warning, Note };
    std::string file;
    int line = 0;
    Severity severity = Severity::Error;
    std::string message;
    std::string code;
};

// One spoken line of a script: an ACTOR line and what follows it up to the
// next ACTOR line, as the parser places it.
struct ScriptCue {
    int actorLine = 0;
    std::string speaker;
    int32_t block = -1;  // -1: an ACTOR line that starts no block
    std::vector<int> textLines;
    std::vector<std::string> texts;  // TEXT values as written
    int startLine = 0;               // the AVSTART line that set the start (0: none)
    int endLine = 0;
    double start = 0;  // in the video's unit; 0 without AVSTART, as the parser keeps it
    double end = 0;
    bool badTime = false;  // a time that does not convert: its times say nothing
};

struct ScriptBlock {
    int firstLine = 0;  // the ACTOR line that starts it
    std::string speaker;
    std::vector<int> textLines;
};

// A script read with the parser's own steps, every problem of a single line
// or of the script's structure noted as the file "script.txt".
// A page a resource command of the script names, as the parser hands it to
// the host.
struct ScriptResource {
    int line = 0;
    std::string name;
};

struct ScriptReading {
    std::vector<ScriptCue> cues;
    std::vector<ScriptBlock> blocks;
    std::string videoName;  // of the last VIDEO line
    int videoLine = 0;
    int lines = 0;
    int resourceCommands = 0;  // RESOPEN, RESCLOSE and RESUPDATE lines
    std::vector<ScriptResource> resources;
    // The run-time error with which the parser's steps fail the start-up,
    // as far as the script alone tells (0: none).
    int32_t startupError = 0;
    std::vector<Finding> findings;
};

ScriptReading ReadLessonScript(const ICollection& script);

// The Damerau distance of two names without regard to letter case, for
// "did you mean" hints.
std::size_t NameDistance(const std::string& a, const std::string& b);

}  // namespace scenova::authoring
