#include "script/ScriptText.h"

#include <algorithm>

#include "runtime/ColourMarker.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Utf8.h"
#include "tool/Manager.h"

namespace scenova {

std::optional<ScriptLine> SplitScriptLine(std::string_view text) {
    const auto space = text.find(' ');
    if (space == std::string_view::npos) {
        return std::nullopt;
    }
    ScriptLine line;
    line.tag = UCase(TrimSpaces(text.substr(0, space)));
    line.hasValue = space + 1 < text.size();
    line.value = std::string(TrimSpaces(text.substr(space + 1)));
    return line;
}

const std::vector<ScriptTag>& ScriptTags() {
    using enum WithoutValue;
    using enum TagKind;
    static const std::vector<ScriptTag> tags = {
        {Video, "VIDEO", report::NoVideo, "VIDEO script tag found with no video name.", EndParse},
        {Actor, "ACTOR", report::MissingValue, "ACTOR script tag found with no actor name.",
         TakeEmpty},
        {Text, "TEXT", report::MissingValue, "TEXT script tag found with no text string.",
         TakeEmpty},
        {AvStart, "AVSTART", report::MissingValue, "AVSTART script tag found with no start value.",
         TakeZero},
        {AvEnd, "AVEND", report::MissingValue, "AVEND script tag found with no end value.",
         TakeZero},
        {ResOpen, "RESOPEN", report::MissingValue, "RESOPEN script tag found with no ButtonID.",
         SkipLine},
        {ResClose, "RESCLOSE", report::MissingValue, "RESCLOSE script tag found with no ButtonID.",
         SkipLine},
        {ResUpdate, "RESUPDATE", report::MissingValue,
         "RESUPDATE script tag found with no ButtonID.", SkipLine},
    };
    return tags;
}

const ScriptTag* FindScriptTag(std::string_view tag) {
    for (const ScriptTag& entry : ScriptTags()) {
        if (tag == entry.name) {
            return &entry;
        }
    }
    return nullptr;
}

double ScriptTime(std::string_view value) {
    return ToDouble(value);
}

bool ScriptPlace::Actor(const std::string& name) {
    ++cue;
    if (name == previousActor) {
        return false;
    }
    ++block;
    lineInBlock = -1;
    previousActor = name;
    return true;
}

std::optional<CultureTipMarker> FindCultureTip(std::string_view text) {
    const auto start = text.find("[CT");
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    return CultureTipMarker{start, text.find(']', start)};
}

int16_t SplitList(const std::string& List, std::vector<std::string>& Parts) {
    if (List.empty()) {
        return 0;
    }
    std::vector<std::string> parts;
    std::string_view rest = List;
    while (true) {
        const auto comma = rest.find(',');
        if (comma == std::string_view::npos) {
            if (!rest.empty()) {
                parts.emplace_back(TrimSpaces(rest));
            }
            break;
        }
        parts.emplace_back(TrimSpaces(rest.substr(0, comma)));
        rest = TrimSpaces(rest.substr(comma + 1));
    }
    if (parts.size() > static_cast<std::size_t>(INT16_MAX)) {
        Raise(err::Overflow);
    }
    Parts = std::move(parts);
    return static_cast<int16_t>(Parts.size());
}

void MarkCultureTips(std::string& Text, const std::string& TipChar) {
    if (Text.empty() || TipChar.empty()) {
        return;
    }
    const auto marker = FindCultureTip(Text);
    if (!marker || marker->close == std::string_view::npos) {
        return;
    }
    const std::size_t start = marker->start;
    const std::size_t end = marker->close;
    const std::string_view name =
        TrimSpaces(std::string_view(Text).substr(start + 3, end - (start + 3)));
    Text = Text.substr(0, start) + " " + TipChar + std::string(name);
}

std::string VisibleLineText(std::string_view line) {
    // The transcript writer works piece by piece between the markers, so a
    // marker also splits a damaged UTF-8 sequence.
    std::vector<colour_marker::Piece> pieces;
    colour_marker::Split(line, pieces);
    std::string text;
    for (const colour_marker::Piece& piece : pieces) {
        for (std::size_t pos = 0; pos < piece.text.size();) {
            char32_t c = utf8::NextCodePoint(piece.text, pos);
            if (c == '\r' && pos < piece.text.size() && piece.text[pos] == '\n') {
                ++pos;
            }
            if (c == '\r' || c == '\n') {
                c = ' ';
            } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
                continue;
            }
            utf8::AppendCodePoint(text, c);
        }
    }
    return text;
}

}  // namespace scenova
