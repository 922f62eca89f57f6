#include "cli/Timeline.h"

#include <algorithm>
#include <map>

#include "headless/Trace.h"
#include "module/Module1.h"
#include "runtime/Utf8.h"
#include "script/ScriptText.h"

namespace scenova::cli {

using model::Member;

namespace {

// A value as the timeline shows it: a string without its quotes, a number
// as the trace writes it.
std::string Text(const model::Value& value) {
    return headless::PlainText(value);
}

int ToInt(const model::Value& value) {
    if (const auto* number = std::get_if<int16_t>(&value)) {
        return *number;
    }
    if (const auto* number = std::get_if<int32_t>(&value)) {
        return *number;
    }
    return 0;
}

bool IsTrue(const model::Value* value) {
    const auto* flag = value ? std::get_if<bool>(value) : nullptr;
    return flag != nullptr && *flag;
}

std::string ButtonName(const std::string& name) {
    static const std::map<std::string, std::string> names{
        {"btnVideoPlay", "Play"},  {"btnVideoStop", "Stop"}, {"btnVideoFwd", "Forward"},
        {"btnVideoRew", "Rewind"}, {"btnTextOn", "Text on"}, {"btnTextOff", "Text off"},
    };
    auto it = names.find(name);
    return it == names.end() ? "\"" + name + "\"" : it->second;
}

std::string StateName(const model::Value& value) {
    const int state = ToInt(value);
    return state == 0 ? "enabled" : state == 1 ? "disabled" : state == 3 ? "hidden" : Text(value);
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

const char* ResourceActionName(int action) {
    return action == 0 ? "close" : action == 1 ? "update" : action == 2 ? "open" : "act on";
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

void Timeline::Take(const model::Record& r) {
    const std::string time = headless::Trace::FormatTime(r.time);
    const std::string_view object = r.object;
    const Member member = r.member;
    const auto arg = [&](std::size_t i) { return Text(r.Arg(i)); };
    const bool out = !r.Inbound();
    if (out && object == objects::frmRose && member == Member::SetButtonState) {
        Button(time, ButtonName(arg(0)), StateName(r.Arg(1)));
        return;
    }
    // A signal's handling ends with the next event of another kind (its own
    // slider assignment raises Change, a signal may arrive inside it).
    if (!out && member != Member::SignalEvent && member != Member::Change) {
        m_signal = 0;
    }
    std::string text;
    if (r.kind == model::Record::Kind::Host) {
        if (member != Member::Create && member != Member::Release) {
            text = "host calls " + std::string(NameOf(member));
        }
    } else if (r.kind == model::Record::Kind::Report) {
        text = Told(r);
    } else if (object == objects::movOrvMovie) {
        text = Video(r);
    } else if (object == objects::rtfText && member == Member::HighlightRange && m_signal > 0) {
        text = Lit(ToInt(r.Arg(0)));
    } else if (!out) {
        text = Learner(r);
    } else {
        text = Shown(r);
    }
    if (!text.empty()) {
        Flush();
        Write(time, text);
    }
}

void Timeline::Button(const std::string& time, const std::string& name, const std::string& state) {
    if (!m_buttons.empty() && m_buttonsTime != time) {
        Flush();
    }
    m_buttonsTime = time;
    const auto same = std::find_if(m_buttons.begin(), m_buttons.end(),
                                   [&](const auto& button) { return button.first == name; });
    if (same != m_buttons.end()) {
        same->second = state;
    } else {
        m_buttons.emplace_back(name, state);
    }
}

// Every block a signal's handling lights, named by its text: a signal handled
// inside another's may light a block other than the signal's own, and the
// block lit last is what the learner sees.
std::string Timeline::Lit(int textStart) const {
    const auto& blocks = Module1::Get().g_Blocks;
    const auto lit = std::find_if(blocks.begin(), blocks.end(),
                                  [&](const BlockInfo& b) { return b.TextStart == textStart; });
    const int block = lit != blocks.end() ? static_cast<int>(lit - blocks.begin()) : m_signal - 1;
    return "block " + std::to_string(block + 1) + " of " + std::to_string(blocks.size()) + ", " +
           BlockText(block);
}

// What a property the component sets shows the learner: the slider, the
// window and the transcript; nothing for the rest.
std::string Timeline::Shown(const model::Record& r) {
    const std::string_view object = r.object;
    const Member member = r.member;
    if (object == objects::sldVideoSlider && member == Member::Value) {
        return "slider at " + Text(*r.assigned);
    }
    if (object == objects::frmScenova && (member == Member::Visible || member == Member::Enabled)) {
        const bool on = IsTrue(r.assigned);
        return "window " + std::string(member == Member::Visible ? (on ? "shown" : "hidden")
                                                                 : (on ? "enabled" : "disabled"));
    }
    if (object == objects::rtfText && member == Member::Visible) {
        return IsTrue(r.assigned) ? "transcript shown" : "transcript hidden";
    }
    return {};
}

std::string Timeline::Told(const model::Record& r) {
    const auto arg = [&](std::size_t i) { return Text(r.Arg(i)); };
    if (r.member == Member::ReportError) {
        return "error " + arg(1) + ": " + arg(2);
    }
    if (r.member == Member::ResourceAction) {
        return "host: " + std::string(ResourceActionName(ToInt(r.Arg(1)))) + " resource \"" +
               arg(0) + "\"" + (r.args.size() > 2 ? " with \"" + arg(2) + "\"" : "");
    }
    if (r.member == Member::NavigationRequest) {
        return "host: navigation \"" + arg(1) + "\"";
    }
    if (r.member == Member::ToolbarRequest) {
        return "host: toolbar button \"" + arg(1) + "\"";
    }
    if (r.member == Member::ToolShutdown) {
        return "host: the tool shut down";
    }
    return {};
}

std::string Timeline::Video(const model::Record& r) {
    const auto arg = [&](std::size_t i) { return Text(r.Arg(i)); };
    const Member member = r.member;
    if (member == Member::SignalEvent) {
        m_signal = ToInt(r.Arg(0));
        if (m_signal == static_cast<int>(Module1::Get().g_Blocks.size()) + 1) {
            m_signal = 0;
            return "end of the video";
        }
    } else if (member == Member::Notify) {
        return "video: end of the range";
    } else if (member == Member::PlayRange) {
        return "video plays " + arg(0) + " to " + arg(1) + (IsTrue(&r.Arg(2)) ? " (one line)" : "");
    } else if (member == Member::Seek) {
        return "video seeks to " + arg(0);
    } else if (member == Member::Stop || member == Member::Pause) {
        return member == Member::Stop ? "video stops" : "video pauses";
    } else if (member == Member::OpenMovie) {
        return "video " + arg(0);
    }
    return {};
}

std::string Timeline::Learner(const model::Record& r) {
    const std::string_view object = r.object;
    if (r.member == Member::ButtonPress) {
        const std::string name = Text(r.Arg(0));
        return object == objects::frmRose ? "learner presses " + ButtonName(name)
               : object == objects::frmRoseNavigation
                   ? "learner presses navigation \"" + name + "\""
                   : "learner presses toolbar \"" + name + "\"";
    }
    if (object == objects::sldVideoSlider && r.member != Member::Change) {
        return "learner: slider " + std::string(NameOf(r.member));
    }
    if (object == objects::rtfText && r.member == Member::LinkClick) {
        return "learner clicks the line of cue " + Text(r.Arg(0));
    }
    return {};
}

}  // namespace scenova::cli
