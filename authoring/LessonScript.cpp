#include "authoring/LessonScript.h"

#include <algorithm>
#include <map>

#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "script/ScriptText.h"

namespace scenova::authoring {

namespace {

constexpr const char* kScript = "script.txt";

std::string Failure(int32_t number) {
    return "the start-up fails with run-time error " + std::to_string(number) + " (" +
           StandardDescription(number) + ")";
}

// What the parser does after reporting a tag without its value.
std::string AfterMissingValue(std::string_view tag) {
    if (tag == "VIDEO") {
        return "reads no further: nothing is shown";
    }
    if (tag == "ACTOR") {
        return "goes on with an empty speaker";
    }
    if (tag == "TEXT") {
        return "goes on with an empty line";
    }
    if (tag == "AVSTART" || tag == "AVEND") {
        return "takes 0";
    }
    return "skips the line";
}

class Walk {
public:
    explicit Walk(ScriptReading& out) : m_out(out) {}

    void Line(int number, const std::string& text);
    void Finish();

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
    // The parse fails at this line with this error.
    void Fatal(int line, int32_t number, const std::string& what, std::string code) {
        if (m_fatal == 0 && !m_parseEnded) {
            m_fatal = number;
        }
        Error(line, what + ": " + Failure(number), std::move(code));
    }
    void Time(int line, const std::string& tag, const std::string& value);
    void Text(int line, const std::string& value);

    ScriptReading& m_out;
    ScriptPlace m_place;
    int32_t m_fatal = 0;
    bool m_parseEnded = false;  // a VIDEO line without its name ends the parse
    bool m_videoFound = false;
};

void Walk::Line(int number, const std::string& text) {
    const auto split = SplitScriptLine(text);
    if (!split) {
        // No space: the parser skips the line whatever it says.
        const std::string head = UCase(text.substr(0, text.find('\t')));
        if (FindScriptTag(head) != nullptr) {
            Warning(
                number,
                text.find('\t') != std::string::npos
                    ? head + " is followed by a tab, not a space: the component ignores the line"
                    : head + " without a space and a value: the component ignores the line",
                "no-space");
        }
        return;
    }
    const std::string& tag = split->tag;
    if (tag.empty()) {
        if (!TrimSpaces(text).empty()) {
            Warning(number, "the line begins with a space: the component ignores it",
                    "unknown-tag");
        }
        return;
    }
    if (tag.front() == '#') {
        return;  // a comment: the component ignores it as an unknown tag
    }
    const ScriptTag* entry = FindScriptTag(tag);
    if (entry == nullptr) {
        std::string hint;
        for (const ScriptTag& known : ScriptTags()) {
            if (NameDistance(tag, std::string(known.name)) <= 2) {
                hint = "; did you mean " + std::string(known.name) + "?";
                break;
            }
        }
        Warning(number, "unknown tag " + tag + ": the component ignores the line" + hint,
                "unknown-tag");
        return;
    }
    std::string value = split->value;
    if (!split->hasValue) {
        Error(number,
              tag + " without a value: the component reports \"" + std::string(entry->missingText) +
                  "\" (code " + std::to_string(entry->missingCode) + ") and " +
                  AfterMissingValue(tag),
              "missing-value");
        if (tag == "VIDEO") {
            m_parseEnded = true;
            return;
        }
        if (tag.starts_with("RES")) {
            return;
        }
        if (tag == "AVSTART" || tag == "AVEND") {
            value = "0";
        }
    } else if (value.empty() && tag != "AVSTART" && tag != "AVEND") {
        Warning(number,
                tag +
                    " with only spaces after it: the component takes an empty value "
                    "without a report",
                "empty-value");
    }

    if (tag == "VIDEO") {
        if (m_videoFound) {
            Warning(number,
                    "a second VIDEO line: it replaces " + m_out.videoName + " of line " +
                        std::to_string(m_out.videoLine) + "; the component opens only the last",
                    "second-video");
        }
        m_videoFound = true;
        m_out.videoName = value;
        m_out.videoLine = number;
    } else if (tag == "ACTOR") {
        const bool newBlock = m_place.Actor(value);
        if (newBlock) {
            m_out.blocks.push_back({number, value, 0});
        }
        m_out.cues.push_back({number, value, m_place.block, {}, {}, 0, 0, 0, 0});
    } else if (tag == "TEXT") {
        Text(number, value);
    } else if (tag == "AVSTART" || tag == "AVEND") {
        Time(number, tag, value);
    } else {
        ++m_out.resourceCommands;
    }
}

void Walk::Text(int line, const std::string& value) {
    if (m_place.block < 0) {
        Fatal(line, err::SubscriptOutOfRange,
              m_place.cue < 0 ? "TEXT before the first ACTOR"
                              : "TEXT before the first speaker's block (an ACTOR with an empty "
                                "name starts none)",
              "before-actor");
    } else {
        m_place.Text();
        ++m_out.blocks.back().textLines;
        m_out.cues.back().textLines.push_back(line);
        m_out.cues.back().texts.push_back(value);
    }
    if (const auto tip = FindCultureTip(value)) {
        if (tip->close == std::string::npos) {
            Warning(line,
                    "the culture-tip marker [CT is not closed with ]: the transcript shows it "
                    "as written",
                    "tip-not-closed");
        } else if (!TrimSpaces(std::string_view(value).substr(tip->close + 1)).empty()) {
            Warning(line,
                    "the text after the culture tip's ] (\"" +
                        std::string(TrimSpaces(std::string_view(value).substr(tip->close + 1))) +
                        "\") is dropped from the transcript",
                    "tip-drops-text");
        }
    }
}

void Walk::Time(int line, const std::string& tag, const std::string& value) {
    double time = 0;
    try {
        time = ScriptTime(value);
    } catch (const RuntimeError& error) {
        Fatal(line, error.number(), tag + " \"" + value + "\" is not a time", "bad-time");
        if (!m_out.cues.empty()) {
            m_out.cues.back().badTime = true;
        }
        return;
    }
    if (m_place.cue < 0 || m_place.block < 0) {
        Fatal(line, err::SubscriptOutOfRange,
              m_place.cue < 0 ? tag + " before the first ACTOR"
                              : tag +
                                    " before the first speaker's block (an ACTOR with an "
                                    "empty name starts none)",
              "before-actor");
        return;
    }
    ScriptCue& cue = m_out.cues.back();
    if (tag == "AVSTART") {
        cue.start = time;
        cue.startLine = line;
    } else {
        cue.end = time;
        cue.endLine = line;
    }
}

void Walk::Finish() {
    if (m_out.lines == 0) {
        Warning(0, "the script is empty: the component shows nothing and reports nothing",
                "empty-script");
        return;
    }
    if (!m_videoFound && !m_parseEnded) {
        Error(0,
              "no VIDEO line: the component reports \"No VIDEO script tag was found.\" (code "
              "11) and shows nothing",
              "no-video");
    }
    const bool locates = m_videoFound && !m_parseEnded && m_fatal == 0;
    bool locateFails = false;
    if (m_out.blocks.empty() && m_videoFound) {
        Error(0, "a VIDEO line and no speaker's block: " + Failure(err::SubscriptOutOfRange),
              "no-actor");
        locateFails = true;
    }
    for (const ScriptBlock& block : m_out.blocks) {
        if (block.textLines == 0) {
            Error(block.firstLine,
                  "the block of " + block.speaker +
                      " that starts here has no TEXT line: " + Failure(err::SubscriptOutOfRange),
                  "no-text");
            locateFails = true;
        }
    }
    // The transcript's lines are linked to cues in order: the first line
    // beyond the cues has none.
    std::size_t lines = 0;
    bool surplus = false;
    for (const ScriptCue& cue : m_out.cues) {
        for (const int line : cue.textLines) {
            if (++lines == m_out.cues.size() + 1 && !surplus) {
                Error(line,
                      "more TEXT lines than ACTOR lines: this line has no cue of its own; " +
                          Failure(err::SubscriptOutOfRange),
                      "extra-text");
                surplus = true;
                locateFails = true;
            }
        }
    }
    for (const ScriptCue& cue : m_out.cues) {
        const bool blockHasText =
            cue.block >= 0 && m_out.blocks[static_cast<std::size_t>(cue.block)].textLines > 0;
        if (blockHasText && cue.textLines.size() != 1) {
            Warning(cue.actorLine,
                    "this ACTOR line has " + std::to_string(cue.textLines.size()) +
                        " TEXT lines, not one: lines are linked to cues in order, so the "
                        "transcript's later lines play other lines' times",
                    "cue-text");
        }
    }
    // Times, in the order the cues are written.
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
    if (m_fatal != 0) {
        m_out.startupError = m_fatal;
    } else if (locates && locateFails) {
        m_out.startupError = err::SubscriptOutOfRange;
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
