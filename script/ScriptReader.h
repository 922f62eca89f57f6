#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/CueTables.h"
#include "script/ScriptText.h"
#include "tool/Diagnostics.h"

namespace scenova {

// The cue tables a parse fills: the component's own, or those of a tool that
// checks a script with the parser.
struct ScriptTables {
    std::vector<CueInfo>& cues;
    std::vector<BlockInfo>& blocks;
    std::vector<TranscriptBlock>& transcript;
};

// What the parser hands the host while it reads: problems, and resource
// commands.
struct ScriptHost {
    std::function<void(int32_t code, const std::string& text)> reportError;
    std::function<void(std::string& buttonId, int32_t& action, std::string* parameter)>
        resourceAction;
};

// How the transcript is dressed: the colour markers put before speakers and
// before lines (none: plain), and the culture-tip character.
struct TranscriptDress {
    std::optional<std::string> actorColour;
    std::optional<std::string> textColour;
    std::string cultureTipChar;
};

// What a line's statements were doing when they raised: reading the value,
// converting a time, or finding the cue or block that holds the line.
enum class ScriptStep : uint8_t { Value, Time, Holder };

// The script parser's loop, one line at a time, into cue tables that start
// empty. A line whose statements raise ends the parse with that error; the
// caller decides whether anything follows.
class ScriptReader {
public:
    ScriptReader(ScriptTables tables, TranscriptDress dress, ScriptHost host,
                 Diagnostics& diagnostics)
        : m_tables(tables),
          m_dress(std::move(dress)),
          m_host(std::move(host)),
          m_diagnostics(diagnostics) {}

    // Reads line `number` (from 1). False when the parse ends there without
    // an error: a VIDEO line without its name.
    bool Line(int32_t number, std::string_view text);
    // After the last line: false when no line named the video, which the
    // host is told.
    bool Finish();

    const std::string& VideoName() const { return m_videoName; }
    // Where the parser stands after the line read last.
    const ScriptPlace& Place() const { return m_place; }
    // After a line raised, the step that raised.
    ScriptStep Step() const { return m_step; }

private:
    void Apply(TagKind tag, std::string& value);

    ScriptTables m_tables;
    TranscriptDress m_dress;
    ScriptHost m_host;
    Diagnostics& m_diagnostics;
    ScriptPlace m_place;
    std::string m_videoName;
    bool m_videoFound = false;
    ScriptStep m_step = ScriptStep::Value;
};

// Where the transcript's lines lie: each line found in the transcript, in
// order, takes the next cue, and each block the range from its first line to
// the last line found. Raises 9 where the tables have no room: when there is
// no block, for a block without lines, and for a line found beyond the last
// cue.
class TranscriptLinks {
public:
    // A line's character range and the transcript lines it spans.
    struct Range {
        int32_t start = 0;
        int32_t end = 0;
        int32_t firstLine = 0;
        int32_t lastLine = 0;
    };

    explicit TranscriptLinks(ScriptTables tables) : m_tables(tables) {}

    int32_t LastBlock() const;
    int32_t LastLine(int32_t block) const;
    const std::string& Text(int32_t block, int32_t line) const;
    // The cue the next line found takes.
    int32_t NextCue() const { return m_cue; }
    void Found(int32_t block, int32_t line, const Range& range);
    // The block ends where the last line found ends.
    void EndBlock(int32_t block);

private:
    ScriptTables m_tables;
    int32_t m_cue = 0;
    Range m_last;
};

}  // namespace scenova
