#include "lesson/Executor.h"

#include <algorithm>
#include <map>

#include "model/ButtonBar.h"
#include "model/Form.h"
#include "model/RichText.h"
#include "model/Slider.h"

namespace scenova::lesson {

namespace {

using K = Action::Kind;

void CarryOnBar(const Action& action, const model::Reach& user, ActionHost& host) {
    model::ButtonBar& bar = action.bar == "frmRoseNavigation" ? *user.frmRoseNavigation
                            : action.bar == "frmRoseToolbar"  ? *user.frmRoseToolbar
                                                              : *user.frmRose;
    if (!bar.HasButton(action.name)) {
        host.Refused(action, ActionHost::Refusal::NoButton,
                     bar.Name() + " has no button \"" + action.name + "\"");
    } else if (action.kind == K::Press) {
        bar.UserPress(action.name);
    } else if (action.kind == K::Enter) {
        bar.UserEnter(action.name);
    } else {
        bar.UserLeave(action.name);
    }
}

void CarryOnSlider(const Action& action, model::Slider& slider) {
    switch (action.kind) {
        case K::ThumbDown:
            slider.UserThumbDown();
            break;
        case K::Scroll:
            slider.UserScrollTo(slider.Value());
            break;
        case K::ThumbUp:
            slider.UserThumbUp();
            break;
        case K::Slide:
            slider.UserClickTo(action.value);
            break;
        default:  // Drag
            slider.UserThumbDown();
            slider.UserScrollTo(action.value);
            slider.UserThumbUp();
            break;
    }
}

void CarryOnLink(const Action& action, model::RichText& text, ActionHost& host) {
    const auto& links = text.Links();
    const auto found = std::find_if(links.begin(), links.end(),
                                    [&](const auto& link) { return link.userID == action.value; });
    if (found == links.end()) {
        host.Refused(action, ActionHost::Refusal::NoCue,
                     "no transcript line has cue " + std::to_string(action.value));
        return;
    }
    const auto index = static_cast<int32_t>(found - links.begin());
    if (action.kind == K::LinkClick) {
        text.UserClickLink(index, 1);
    } else if (action.kind == K::LinkEnter) {
        text.UserEnterLink(index);
    } else {
        text.UserLeaveLink(index);
    }
}

void CarryForHost(const Action& action, ActionHost& host) {
    using Call = void (ActionHost::*)();
    static const std::map<K, Call> kCalls{{K::Show, &ActionHost::Show},
                                          {K::Hide, &ActionHost::Hide},
                                          {K::Startup, &ActionHost::Startup},
                                          {K::Shutdown, &ActionHost::Shutdown}};
    if (action.kind == K::Advance) {
        host.Advance(action.seconds);
    } else if (action.kind == K::ReleaseInside) {
        host.ReleaseInside(action.name);
    } else if (const auto call = kCalls.find(action.kind); call != kCalls.end()) {
        (host.*call->second)();
    } else if (action.top) {  // Move
        host.Move(action.left, Variant(*action.top), Variant(*action.width),
                  Variant(*action.height));
    } else {
        host.Move(action.left, std::nullopt, std::nullopt, std::nullopt);
    }
}

}  // namespace

void Carry(const Action& action, ActionHost& host) {
    const model::Reach user = host.User();
    // The host's calls and the clock need no window; a person's actions do.
    const bool atTheWindow = action.kind != K::Advance && action.kind != K::Show &&
                             action.kind != K::Hide && action.kind != K::Startup &&
                             action.kind != K::Shutdown && action.kind != K::Move &&
                             action.kind != K::ReleaseInside;
    if (user.form == nullptr && atTheWindow) {
        host.Refused(action, ActionHost::Refusal::NoWindow, "there is no window to act on");
        return;
    }
    switch (action.kind) {
        case K::Press:
        case K::Enter:
        case K::Leave:
            CarryOnBar(action, user, host);
            break;
        case K::ThumbDown:
        case K::Scroll:
        case K::ThumbUp:
        case K::Slide:
        case K::Drag:
            CarryOnSlider(action, *user.sldVideoSlider);
            break;
        case K::LinkClick:
        case K::LinkEnter:
        case K::LinkLeave:
            CarryOnLink(action, *user.rtfText, host);
            break;
        case K::LostFocus:
            user.form->UserDeactivate();
            break;
        case K::Key:
            host.Key(action);
            break;
        default:
            CarryForHost(action, host);
            break;
    }
}

}  // namespace scenova::lesson
