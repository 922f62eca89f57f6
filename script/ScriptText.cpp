#include "script/ScriptText.h"

#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

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
    const auto start = Text.find("[CT");
    if (start == std::string::npos) {
        return;
    }
    const auto end = Text.find(']', start);
    if (end == std::string::npos) {
        return;
    }
    const std::string_view name =
        TrimSpaces(std::string_view(Text).substr(start + 3, end - (start + 3)));
    Text = Text.substr(0, start) + " " + TipChar + std::string(name);
}

std::string VisibleLineText(std::string_view line, bool coloured) {
    std::string_view text = TrimSpaces(line);
    if (coloured) {
        if (const auto paren = text.find(')'); paren != std::string_view::npos) {
            text = text.substr(paren + 1);
        }
        if (const auto reset = text.find("\\cf0"); reset != std::string_view::npos) {
            text = text.substr(0, reset);
        }
        text = TrimSpaces(text);
    }
    return std::string(text);
}

}  // namespace scenova
