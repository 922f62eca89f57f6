#include "authoring/LessonScript.h"

#include <algorithm>
#include <utility>

#include "runtime/Array.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "script/ScriptReader.h"
#include "script/ScriptText.h"

namespace scenova::authoring {

namespace {

constexpr const char* kScript = "script.txt";

std::string Failure(int32_t number) {
    return "the lesson does not start (" + StandardDescription(number) + ", error " +
           std::to_string(number) + "): the learner sees an empty window";
}

std::string AfterMissingValue(const ScriptTag& tag) {
    switch (tag.withoutValue) {
        case WithoutValue::EndParse:
            return "the script is read no further: the learner sees nothing of it";
        case WithoutValue::TakeZero:
            return "the time is taken as 0";
        case WithoutValue::TakeEmpty:
            return tag.kind == TagKind::Actor ? "the learner sees a block without a speaker's name"
                                              : "the learner sees an empty line";
        case WithoutValue::SkipLine:
            break;
    }
    return "the line is passed over";
}

// Reads the script with the parser's own steps: its lines, then the
// transcript's lines in order as if the transcript showed each of them. A
// step that raises stops the start-up; the walk goes on past it, so that it
// finds every fault that would on its own. The parser tells it which lines
// it reads and which it passes over.
class Walk final : public Diagnostics {
public:
    explicit Walk(ScriptReading& out)
        : m_out(out),
          m_reader({m_cues, m_blocks, m_transcript}, {},
                   {[](int32_t, const std::string&) {},
                    [this](std::string&, int32_t&, std::string* page) {
                        if (page != nullptr) {
                            m_out.resources.push_back({m_number, *page});
                        }
                    }},
                   *this) {}

    void Line(int number, const std::string& text);
    void Finish();

    void ScriptLineRead(int32_t number, const ScriptLine& line, const ScriptTag& tag) override;
    void ScriptLineIgnored(int32_t number, const ScriptLine* line) override;

private:
    void Add(int line, Finding::Severity severity, std::string message, std::string code) {
        m_out.findings.push_back({kScript, line, severity, std::move(message), std::move(code)});
    }
    void Error(int line, std::string message, std::string code) {
        Add(line, Finding::Severity::Error, std::move(message), std::move(code));
    }
    void Warning(int line, std::string message, std::string code) {
        Add(line, Finding::Severity::Warning, std::move(message), std::move(code));
    }
    // A step of the parse raised at this line.
    void Fatal(int line, int32_t number, const std::string& what, std::string code) {
        if (m_fatal == 0 && !m_parseEnded) {
            m_fatal = number;
        }
        Error(line, what + ": " + Failure(number), std::move(code));
    }
    // The line's steps went through; blockBefore is the block before it.
    void Read(int line, int32_t blockBefore);
    void Failed(int line, const RuntimeError& error);
    void CultureTip(int line);
    // The first fault of the transcript's lines (0: none).
    int32_t Locate(bool videoFound);
    void CueTexts();
    void Times();

    ScriptReading& m_out;
    std::vector<CueInfo> m_cues;
    std::vector<BlockInfo> m_blocks;
    std::vector<TranscriptBlock> m_transcript;
    ScriptReader m_reader;
    // The line being read, as the parser read it.
    int m_number = 0;
    std::string m_text;
    const ScriptTag* m_tag = nullptr;
    ScriptLine m_line;
    int32_t m_fatal = 0;
    bool m_parseEnded = false;  // a VIDEO line without its name ends the parse
};

void Walk::Line(int number, const std::string& text) {
    m_number = number;
    m_text = text;
    m_tag = nullptr;
    m_line = {};
    const int32_t blockBefore = m_reader.Place().block;
    bool goesOn = true;
    try {
        goesOn = m_reader.Line(number, text);
    } catch (const RuntimeError& error) {
        Failed(number, error);
        CultureTip(number);
        return;
    }
    if (!goesOn) {
        m_parseEnded = true;
    } else if (m_tag != nullptr) {
        Read(number, blockBefore);
        CultureTip(number);
    }
}

void Walk::ScriptLineIgnored(int32_t number, const ScriptLine* line) {
    if (line == nullptr) {
        // No space: a tab does not separate a tag from its value.
        const std::string head = UCase(m_text.substr(0, m_text.find('\t')));
        if (FindScriptTag(head) != nullptr) {
            Warning(number,
                    m_text.find('\t') != std::string::npos
                        ? head +
                              " is followed by a tab, not a space: the line is passed over; put a "
                              "space after " +
                              head
                        : head + " without a space and a value: the line is passed over",
                    "no-space");
        }
    } else if (line->tag.empty()) {
        if (!line->value.empty()) {
            Warning(number, "the line begins with a space: it is passed over; remove the space",
                    "unknown-tag");
        }
    } else if (line->tag.front() != '#') {  // a comment: ignored as an unknown tag
        std::string hint;
        for (const ScriptTag& known : ScriptTags()) {
            if (NameDistance(line->tag, std::string(known.name)) <= 2) {
                hint = "; did you mean " + std::string(known.name) + "?";
                break;
            }
        }
        Warning(number,
                "unknown tag " + line->tag +
                    ": the line is passed over, the learner sees nothing "
                    "of it" +
                    hint,
                "unknown-tag");
    }
}

void Walk::ScriptLineRead(int32_t number, const ScriptLine& line, const ScriptTag& tag) {
    m_tag = &tag;
    m_line = line;
    if (!line.hasValue) {
        Error(number,
              line.tag + " without a value: " + AfterMissingValue(tag) + " (the player is told \"" +
                  std::string(tag.missingText) + "\"); write the value after " + line.tag,
              "missing-value");
    } else if (line.value.empty() && tag.withoutValue != WithoutValue::TakeZero) {
        // An empty time is no time: the parse fails on it (bad-time).
        Warning(number,
                line.tag +
                    " with only spaces after it: the value is taken as empty and nothing "
                    "says so",
                "empty-value");
    }
}

void Walk::Read(int line, int32_t blockBefore) {
    const TagKind tag = m_tag->kind;
    const ScriptPlace& place = m_reader.Place();
    if (tag == TagKind::Video) {
        if (m_out.videoLine != 0) {
            Warning(line,
                    "a second VIDEO line: it replaces " + m_out.videoName + " of line " +
                        std::to_string(m_out.videoLine) + "; only the last is played",
                    "second-video");
        }
        m_out.videoName = m_line.value;
        m_out.videoLine = line;
    } else if (tag == TagKind::Actor) {
        if (place.block != blockBefore) {
            m_out.blocks.push_back({line, m_line.value, {}});
        }
        m_out.cues.push_back({line, m_line.value, place.block, {}, {}, 0, 0, 0, 0});
    } else if (tag == TagKind::Text) {
        m_out.blocks.back().textLines.push_back(line);
        m_out.cues.back().textLines.push_back(line);
        m_out.cues.back().texts.push_back(m_line.value);
    } else if (tag == TagKind::AvStart) {
        m_out.cues.back().start = Element(m_cues, place.cue).StartTime;
        m_out.cues.back().startLine = line;
    } else if (tag == TagKind::AvEnd) {
        m_out.cues.back().end = Element(m_cues, place.cue).EndTime;
        m_out.cues.back().endLine = line;
    } else if (m_line.hasValue) {
        ++m_out.resourceCommands;
    }
}

void Walk::Failed(int line, const RuntimeError& error) {
    const std::string& tag = m_line.tag;
    switch (m_reader.Step()) {
        case ScriptStep::Time:
            Fatal(line, error.number(), tag + " \"" + m_line.value + "\" is not a time",
                  "bad-time");
            if (!m_out.cues.empty()) {
                m_out.cues.back().badTime = true;
            }
            break;
        case ScriptStep::Holder:
            // No cue or block to hold it.
            Fatal(line, error.number(),
                  tag + (m_reader.Place().cue < 0
                             ? " before the first ACTOR"
                             : " before the first speaker's block (an ACTOR with an empty name "
                               "starts none)"),
                  "before-actor");
            break;
        case ScriptStep::Value:
            Fatal(line, error.number(), "this " + tag + " line", "startup-fails");
            break;
    }
}

void Walk::CultureTip(int line) {
    if (m_tag == nullptr || m_tag->kind != TagKind::Text) {
        return;
    }
    const std::string_view value = m_line.value;
    const auto tip = FindCultureTip(value);
    if (!tip) {
        return;
    }
    if (tip->close == std::string::npos) {
        Warning(line,
                "the culture-tip marker [CT is not closed with ]: the transcript shows it as "
                "written",
                "tip-not-closed");
    } else if (const auto after = TrimSpaces(value.substr(tip->close + 1)); !after.empty()) {
        Warning(line,
                "the text after the culture tip's ] (\"" + std::string(after) +
                    "\") is dropped from the transcript",
                "tip-drops-text");
    }
}

int32_t Walk::Locate(bool videoFound) {
    int32_t first = 0;
    // `what` ends with its separator from the failure.
    const auto fault = [&](int line, const RuntimeError& error, const std::string& what,
                           const char* code) {
        Error(line, what + Failure(error.number()), code);
        first = first != 0 ? first : error.number();
    };
    TranscriptLinks links({m_cues, m_blocks, m_transcript});
    int32_t lastBlock = -1;
    try {
        lastBlock = links.LastBlock();
    } catch (const RuntimeError& error) {
        if (videoFound) {
            fault(0, error, "a VIDEO line and no speaker's block: ", "no-actor");
        }
    }
    bool surplus = false;
    for (int32_t b = 0; b <= lastBlock; ++b) {
        const ScriptBlock& block = m_out.blocks.at(static_cast<std::size_t>(b));
        int32_t lastLine = -1;
        try {
            lastLine = links.LastLine(b);
        } catch (const RuntimeError& error) {
            fault(block.firstLine, error,
                  "the block of " + block.speaker + " that starts here has no TEXT line: ",
                  "no-text");
        }
        for (int32_t t = 0; t <= lastLine; ++t) {
            try {
                links.Found(b, t, {});
            } catch (const RuntimeError& error) {
                if (!std::exchange(surplus, true)) {
                    fault(block.textLines.at(static_cast<std::size_t>(t)), error,
                          "more TEXT lines than ACTOR lines: this line has no cue of its own; ",
                          "extra-text");
                }
            }
        }
    }
    return first;
}

void Walk::CueTexts() {
    for (const ScriptCue& cue : m_out.cues) {
        const bool blockHasText =
            cue.block >= 0 && !m_out.blocks[static_cast<std::size_t>(cue.block)].textLines.empty();
        if (blockHasText && cue.textLines.size() != 1) {
            Warning(cue.actorLine,
                    "this ACTOR line has " + std::to_string(cue.textLines.size()) +
                        " TEXT lines, not one: lines are linked to cues in order, so the "
                        "transcript's later lines play other lines' times",
                    "cue-text");
        }
    }
}

// Times, in the order the cues are written.
void Walk::Times() {
    const ScriptCue* previous = nullptr;
    for (const ScriptCue& cue : m_out.cues) {
        if (cue.badTime) {
            continue;
        }
        const int startLine = cue.startLine != 0 ? cue.startLine : cue.actorLine;
        const int endLine = cue.endLine != 0 ? cue.endLine : cue.actorLine;
        std::string silent;
        if (cue.startLine == 0 && cue.endLine == 0) {
            silent = "this cue has neither AVSTART nor AVEND";
        } else if (cue.end < cue.start && cue.endLine == 0) {
            silent =
                "this cue has no AVEND: it ends at 0, before its start " + ShortestText(cue.start);
        } else if (cue.end <= cue.start) {
            silent = "AVEND " + ShortestText(cue.end) +
                     (cue.end < cue.start ? " is before AVSTART " : " is AVSTART ") +
                     ShortestText(cue.start);
        }
        if (!silent.empty()) {
            Error(endLine, silent + ": a click on its line plays nothing", "end-before-start");
        } else if (previous != nullptr && cue.start < previous->start) {
            Warning(startLine,
                    "this cue starts at " + ShortestText(cue.start) +
                        ", before the cue before it (line " + std::to_string(previous->actorLine) +
                        ", at " + ShortestText(previous->start) +
                        "): the transcript does not follow the video in order",
                    "cue-order");
        } else if (previous != nullptr && cue.start < previous->end) {
            Warning(startLine,
                    "this cue starts at " + ShortestText(cue.start) +
                        " while the cue before it (line " + std::to_string(previous->actorLine) +
                        ") runs to " + ShortestText(previous->end),
                    "cue-overlap");
        }
        previous = &cue;
    }
}

void Walk::Finish() {
    if (m_out.lines == 0) {
        Warning(0,
                "the script is empty: the learner sees no video and no transcript; write "
                "script.txt (scenova import makes one from subtitles)",
                "empty-script");
        return;
    }
    const bool videoFound = m_reader.Finish();
    if (!videoFound && !m_parseEnded) {
        Error(0,
              "no VIDEO line: the learner sees no video and no transcript (the player is told "
              "\"No VIDEO script tag was found.\"); add VIDEO FILE, naming the video in video/",
              "no-video");
    }
    const int32_t locateError = Locate(videoFound);
    CueTexts();
    Times();
    if (m_fatal != 0) {
        m_out.startupError = m_fatal;
    } else if (videoFound && !m_parseEnded) {
        m_out.startupError = locateError;
    }
}

}  // namespace

ScriptReading ReadLessonScript(const ICollection& script) {
    ScriptReading reading;
    reading.lines = script.Count();
    Walk walk(reading);
    for (int32_t i = 1; i <= reading.lines; ++i) {
        walk.Line(i, ToText(script.Item(i)));
    }
    walk.Finish();
    return reading;
}

std::size_t NameDistance(const std::string& a, const std::string& b) {
    const std::string x = UCase(a);
    const std::string y = UCase(b);
    std::vector<std::vector<std::size_t>> d(x.size() + 1, std::vector<std::size_t>(y.size() + 1));
    for (std::size_t i = 0; i <= x.size(); ++i) {
        d[i][0] = i;
    }
    for (std::size_t j = 0; j <= y.size(); ++j) {
        d[0][j] = j;
    }
    for (std::size_t i = 1; i <= x.size(); ++i) {
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const std::size_t cost = x[i - 1] == y[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[x.size()][y.size()];
}

}  // namespace scenova::authoring
