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
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "lesson/Actions.h"
#include "lesson/LessonFolder.h"
#include "module/Module1.h"

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

// One action, as the scenova command carries it out: a person reaches only
// what the window shows, a host calls what it likes.
void Act(headless::HeadlessPlatform& platform, headless::ToolHost& host, const Action& action) {
    using K = Action::Kind;
    const headless::HeadlessWindow& window = platform.Window();
    if (!window.form && action.kind != K::Advance && action.kind != K::Show &&
        action.kind != K::Startup) {
        return;
    }
    // The window's controls exist while it is loaded.
    const auto bar = [&]() -> headless::ButtonBar& {
        return action.bar == "frmRoseNavigation" ? *window.frmRoseNavigation
               : action.bar == "frmRoseToolbar"  ? *window.frmRoseToolbar
                                                 : *window.frmRose;
    };
    const auto slider = [&]() -> headless::Slider& { return *window.sldVideoSlider; };
    switch (action.kind) {
        case K::Advance:
            platform.RunFor(std::min(action.seconds, 1e6));
            break;
        case K::Press:
        case K::Enter:
        case K::Leave:
            if (bar().HasButton(action.name)) {
                action.kind == K::Press   ? bar().UserPress(action.name)
                : action.kind == K::Enter ? bar().UserEnter(action.name)
                                          : bar().UserLeave(action.name);
            }
            break;
        case K::ThumbDown:
            slider().UserThumbDown();
            break;
        case K::Scroll:
            slider().UserScrollTo(slider().Value());
            break;
        case K::ThumbUp:
            slider().UserThumbUp();
            break;
        case K::Slide:
            slider().UserClickTo(action.value);
            break;
        case K::Drag:
            slider().UserThumbDown();
            slider().UserScrollTo(action.value);
            slider().UserThumbUp();
            break;
        case K::LinkClick:
        case K::LinkEnter:
        case K::LinkLeave: {
            const auto& links = window.rtfText->Links();
            for (std::size_t i = 0; i < links.size(); ++i) {
                if (links[i].userID == action.value) {
                    const auto index = static_cast<int32_t>(i);
                    action.kind == K::LinkClick   ? window.rtfText->UserClickLink(index, 1)
                    : action.kind == K::LinkEnter ? window.rtfText->UserEnterLink(index)
                                                  : window.rtfText->UserLeaveLink(index);
                    break;
                }
            }
            break;
        }
        case K::Show:
            host.Show();
            break;
        case K::Hide:
            host.Hide();
            break;
        case K::Startup:
            host.Startup();
            break;
        case K::Shutdown:
            host.Shutdown();
            break;
        case K::LostFocus:
            window.form->UserDeactivate();
            break;
        case K::Move:
            if (action.top) {
                host.Move(action.left, Variant(*action.top), Variant(*action.width),
                          Variant(*action.height));
            } else {
                host.Move(action.left);
            }
            break;
    }
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
    Module1::Get().Reset();
    headless::HeadlessPlatform platform;
    auto mgr = std::make_shared<headless::RecordingManager>(platform.Ctx());
    mgr->mediaPath = folder + "media/";
    mgr->auxiliaryPath = folder;
    mgr->resourcePath = folder + "resources/";
    mgr->videoPath = folder + "video/";
    mgr->settings = lesson::ParseSettings(settings);
    mgr->script = lesson::ParseScript(script);
    {
        headless::ToolHost host(platform, mgr);
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
        std::string name = "Next";
        float value = 1;
        for (const Action& action : actions) {
            Act(platform, host, action);
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
    Module1::Get().Reset();
    return 0;
}
