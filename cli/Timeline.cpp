#include "cli/Timeline.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "module/Module1.h"
#include "runtime/Utf8.h"
#include "script/ScriptText.h"

namespace scenova::cli {

namespace {

// One trace line taken apart: "TIME DIR OBJECT.MEMBER REST".
struct TraceLine {
    std::string time;
    char direction = 0;
    std::string object;
    std::string member;
    std::vector<std::string> arguments;  // strings unquoted
    std::string assigned;                // for " = value"
};

std::vector<std::string> SplitArguments(std::string_view rest) {
    std::vector<std::string> out;
    std::string current;
    bool quoted = false;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        if (quoted) {
            if (c == '"' && i + 1 < rest.size() && rest[i + 1] == '"') {
                current += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            out.push_back(current);
            current.clear();
        } else if (c != ' ' || !current.empty()) {
            current += c;
        }
    }
    if (!current.empty() || !out.empty()) {
        out.push_back(current);
    }
    return out;
}

bool Parse(const std::string& line, TraceLine& out) {
    const auto space1 = line.find(' ');
    if (space1 == std::string::npos || space1 + 3 > line.size()) {
        return false;
    }
    out.time = line.substr(0, space1);
    out.direction = line[space1 + 1];
    const std::string_view call = std::string_view(line).substr(space1 + 3);
    const auto dot = call.find('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    out.object = call.substr(0, dot);
    const auto open = call.find_first_of("( ", dot);
    out.member = call.substr(dot + 1, open == std::string_view::npos ? open : open - dot - 1);
    if (open == std::string_view::npos) {
        return true;
    }
    if (call[open] == '(') {
        const auto close = call.rfind(')');
        out.arguments = SplitArguments(call.substr(open + 1, close - open - 1));
    } else if (call.substr(open).starts_with(" = ")) {
        const auto value = call.substr(open + 3);
        out.assigned = value.size() >= 2 && value.front() == '"' ? SplitArguments(value).front()
                                                                 : std::string(value);
    }
    return true;
}

int ToInt(const std::string& text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string ButtonName(const std::string& name) {
    static const std::map<std::string, std::string> names{
        {"btnVideoPlay", "Play"},  {"btnVideoStop", "Stop"}, {"btnVideoFwd", "Forward"},
        {"btnVideoRew", "Rewind"}, {"btnTextOn", "Text on"}, {"btnTextOff", "Text off"},
    };
    auto it = names.find(name);
    return it == names.end() ? "\"" + name + "\"" : it->second;
}

std::string StateName(const std::string& state) {
    return state == "0" ? "enabled" : state == "1" ? "disabled" : state == "3" ? "hidden" : state;
}

// A speaker's name without its colour code.
std::string PlainActor(std::string actor) {
    if (actor.starts_with("\\cf(")) {
        if (const auto close = actor.find(')'); close != std::string::npos) {
            actor.erase(0, close + 1);
        }
    }
    return actor;
}

const char* ResourceActionName(const std::string& action) {
    return action == "0" ? "close" : action == "1" ? "update" : action == "2" ? "open" : "act on";
}

}  // namespace

void Timeline::Write(const std::string& time, const std::string& text) {
    // Lesson text shows its control characters escaped; the line breaks
    // are the timeline's own (a block's lines).
    std::string shown;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        shown += utf8::Printable(std::string_view(text).substr(start, end - start));
        shown += end < text.size() ? "\n" : "";
        start = end + 1;
    }
    m_out << time << std::string(time.size() < 8 ? 8 - time.size() : 0, ' ') << "  " << shown
          << '\n';
}

void Timeline::Flush() {
    if (m_buttons.empty()) {
        return;
    }
    std::string text = "buttons: ";
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        text += (i == 0 ? "" : ", ") + m_buttons[i].first + " " + m_buttons[i].second;
    }
    m_buttons.clear();
    Write(m_buttonsTime, text);
}

void Timeline::Note(const std::string& text) {
    Flush();
    Write(headless::Trace::FormatTime(m_platform.Loop().Now()), text);
}

std::string Timeline::BlockText(int block) const {
    const Module1& module = Module1::Get();
    if (block < 0 || static_cast<std::size_t>(block) >= module.g_Transcript.size()) {
        return {};
    }
    const TranscriptBlock& entry = module.g_Transcript[static_cast<std::size_t>(block)];
    std::string text = PlainActor(entry.Actor) + ":";
    for (const std::string& line : entry.Texts) {
        text += "\n          \"" + VisibleLineText(line) + "\"";
    }
    return text;
}

void Timeline::Take(const std::string& line) {
    TraceLine t;
    if (!Parse(line, t)) {
        return;
    }
    const auto& a = t.arguments;
    auto arg = [&](std::size_t i) { return i < a.size() ? a[i] : std::string(); };

    if (t.direction == '>' && t.object == "frmRose" && t.member == "SetButtonState") {
        if (!m_buttons.empty() && m_buttonsTime != t.time) {
            Flush();
        }
        m_buttonsTime = t.time;
        const std::string name = ButtonName(arg(0));
        const auto same = std::find_if(m_buttons.begin(), m_buttons.end(),
                                       [&](const auto& button) { return button.first == name; });
        if (same != m_buttons.end()) {
            same->second = StateName(arg(1));
        } else {
            m_buttons.emplace_back(name, StateName(arg(1)));
        }
        return;
    }

    std::string text;
    if (t.direction == '<' && t.object == "tool") {
        if (t.member != "Create" && t.member != "Release") {
            text = "host calls " + t.member;
        }
    } else if (t.object == "mgr" && t.member == "ReportError") {
        text = "error " + arg(1) + ": " + arg(2);
    } else if (t.object == "mgr" && t.member == "ResourceAction") {
        text = "host: " + std::string(ResourceActionName(arg(1))) + " resource \"" + arg(0) + "\"" +
               (a.size() > 2 ? " with \"" + arg(2) + "\"" : "");
    } else if (t.object == "mgr" && t.member == "NavigationRequest") {
        text = "host: navigation \"" + arg(1) + "\"";
    } else if (t.object == "mgr" && t.member == "ToolbarRequest") {
        text = "host: toolbar button \"" + arg(1) + "\"";
    } else if (t.object == "mgr" && t.member == "ToolShutdown") {
        text = "host: the tool shut down";
    } else if (t.direction == '<' && t.member == "ButtonPress") {
        text = t.object == "frmRose"             ? "learner presses " + ButtonName(arg(0))
               : t.object == "frmRoseNavigation" ? "learner presses navigation \"" + arg(0) + "\""
                                                 : "learner presses toolbar \"" + arg(0) + "\"";
    } else if (t.object == "movOrvMovie" && t.member == "SignalEvent") {
        m_signal = ToInt(arg(0));
        const int blocks = static_cast<int>(Module1::Get().g_Blocks.size());
        if (m_signal == blocks + 1) {
            text = "end of the video";
            m_signal = 0;
        }
    } else if (t.object == "rtfText" && t.member == "HighlightRange" && m_signal > 0) {
        const int blocks = static_cast<int>(Module1::Get().g_Blocks.size());
        text = "block " + std::to_string(m_signal) + " of " + std::to_string(blocks) + ", " +
               BlockText(m_signal - 1);
        m_signal = 0;
    } else if (t.object == "movOrvMovie" && t.member == "Notify") {
        text = "video: end of the range";
    } else if (t.object == "movOrvMovie" && t.member == "PlayRange") {
        text = "video plays " + arg(0) + " to " + arg(1) + (arg(2) == "True" ? " (one line)" : "");
    } else if (t.object == "movOrvMovie" && t.member == "Seek") {
        text = "video seeks to " + arg(0);
    } else if (t.object == "movOrvMovie" && (t.member == "Stop" || t.member == "Pause")) {
        text = t.member == "Stop" ? "video stops" : "video pauses";
    } else if (t.object == "sldVideoSlider" && t.member == "Value" && t.direction == '>') {
        text = "slider at " + t.assigned;
    } else if (t.direction == '<' && t.object == "sldVideoSlider" && t.member != "Change") {
        text = "learner: slider " + t.member;
    } else if (t.direction == '<' && t.object == "rtfText" && t.member == "LinkClick") {
        text = "learner clicks the line of cue " + arg(0);
    } else if (t.object == "frmScenova" && t.direction == '>' &&
               (t.member == "Visible" || t.member == "Enabled")) {
        text = "window " + std::string(t.member == "Visible"
                                           ? (t.assigned == "True" ? "shown" : "hidden")
                                           : (t.assigned == "True" ? "enabled" : "disabled"));
    } else if (t.object == "rtfText" && t.member == "Visible" && t.direction == '>') {
        text = t.assigned == "True" ? "transcript shown" : "transcript hidden";
    } else if (t.object == "movOrvMovie" && t.member == "OpenMovie") {
        text = "video " + arg(0);
    }
    if (!text.empty()) {
        Flush();
        Write(t.time, text);
    }
}

}  // namespace scenova::cli
