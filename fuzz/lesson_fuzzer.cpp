// A whole lesson from arbitrary settings, script and actions: create the
// tool, IToolTalk_Init, IToolTalk_Show, the actions (without any, a little
// playback), every host property, shut down and release. Run-time errors may
// reach the host or end a control event; any other exception, a crash or a
// sanitizer report is a fault.
//
// Input: the settings text, a form feed, the script text, a form feed, the
// actions as `scenova play --actions` reads them (a line that does not read
// as one is skipped). Without a form feed all of it is the script. Pictures,
// cursors and bar scripts come from fuzz/lesson-media/: the sample lesson's
// names with small pictures and a small movie (decoding big ones is the
// picture target's work, and would be most of every run here), made by
// make-seeds.py.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "headless/HostActions.h"
#include "lesson/Actions.h"
#include "lesson/Executor.h"
#include "lesson/LessonFolder.h"
#include "tests/support/HeadlessHost.h"

namespace {

using namespace scenova;
using lesson::Action;

// The actions of the input, each line read on its own.
std::vector<Action> ReadActions(std::string_view text) {
    std::vector<Action> actions;
    int number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        try {
            const std::string_view line = text.substr(0, end);
            if (!line.empty() && line.front() != '#') {
                actions.push_back(lesson::ParseAction(line, ++number));
            }
        } catch (const lesson::ActionError&) {
        }
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return actions;
}

// Every property a host may read or set, with a name and a value of the
// input's.
void HostProperties(headless::ToolHost& host, const std::string& name, float value) {
    host.NavEnabled(name);
    host.NavEnabled(name, value > 0);
    host.ToolbarEnabled(name);
    host.ToolbarEnabled(name, value > 0);
    host.ID();
    host.Left(value);
    host.Top(value);
    host.Width(value);
    host.Height(value);
    host.Left();
    host.Top();
    host.Width();
    host.Height();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto split = input.find('\f');
    const std::string_view settings = split == std::string_view::npos ? "" : input.substr(0, split);
    std::string_view script = split == std::string_view::npos ? input : input.substr(split + 1);
    std::vector<Action> actions;
    bool acted = false;
    if (const auto second = script.find('\f'); second != std::string_view::npos) {
        actions = ReadActions(script.substr(second + 1));
        script = script.substr(0, second);
        acted = true;
    }

    static const std::string folder = std::string(SCENOVA_SOURCE_DIR) + "/fuzz/lesson-media/";
    {
        testing::HeadlessHost session;
        session.ServeFolders(folder);
        headless::HeadlessPlatform& platform = session.platform;
        headless::RecordingManager& mgr = *session.mgr;
        headless::ToolHost& host = session.host;
        mgr.settings = lesson::ParseSettings(settings);
        mgr.script = lesson::ParseScript(script);
        host.Create();
        host.Init("scenova");
        host.Show();
        platform.ProcessPending();
        if (!acted) {
            if (const auto& bar = platform.Window().frmRose) {
                bar->UserPress("btnVideoPlay");
                platform.RunFor(1.5);
                bar->UserPress("btnVideoFwd");
                platform.ProcessPending();
            }
        }
        headless::HostActions acting(platform, host, mgr);
        acting.LimitAdvance(1e6);
        std::string name = "Next";
        float value = 1;
        for (const Action& action : actions) {
            lesson::Carry(action, acting);
            platform.ProcessPending();
            name = action.name.empty() ? name : action.name;
            value = action.kind == Action::Kind::Move ? action.left : value;
        }
        if (acted) {
            HostProperties(host, name, value);
        }
        host.Shutdown();
        platform.ProcessPending();
        host.Release();
    }
    return 0;
}
