#include "window/frmScenova.h"
#include "window/TranscriptScroll.h"

#include <array>
#include <utility>

#include "module/Module1.h"
#include "platform/Win32Constants.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

namespace scenova {

namespace {

namespace bs = controls::button_state;

template <class T>
T& Present(const std::shared_ptr<T>& part) {
    if (!part) {
        Raise(err::NoObject);
    }
    return *part;
}

}  // namespace

frmScenova::frmScenova(Platform& platform, frmScenovaEvents events)
    : m_platform(platform), m_events(std::move(events)) {}

frmScenova::~frmScenova() {
    // A window nobody can reach any more would stay on screen for good.
    try {
        Unload();
    } catch (const RuntimeError&) {
    }
}

template <class Handler>
auto frmScenova::Held(Handler handler) {
    return [this, handler](const auto&... args) {
        const std::shared_ptr<void> owner = m_events.Hold ? m_events.Hold() : nullptr;
        try {
            handler(args...);
        } catch (const RuntimeError&) {
            // The host closed the lesson while the handler yielded: the rest
            // of it had nothing left to act on, which is no fault to report.
            if (!m_closed) {
                throw;
            }
        }
    };
}

void frmScenova::Load() {
    if (m_closed) {
        Raise(err::NoObject, "frmScenova: the tool has shut down, its window is closed");
    }
    m_window = m_platform.toolkit().LoadPresentationWindow({
        .Load = [this] { Form_Load(); },
        .LostFocus = Held([this] { Form_LostFocus(); }),
    });
    if (!m_window.form || !m_window.ExitTimer || !m_window.frmRose || !m_window.movOrvMovie ||
        !m_window.sldVideoSlider || !m_window.rtfText || !m_window.frmRoseNavigation ||
        !m_window.frmRoseToolbar) {
        m_window = {};
        Raise(err::NoObject);
    }
    try {
        ConnectEvents();
    } catch (const RuntimeError&) {
        // A window with some of its events connected would half work: it
        // goes again, and the next use loads it afresh.
        Unload();
        throw;
    }
}

void frmScenova::ConnectEvents() {
    // Every control event reaches the window here, and only here.
    m_window.ExitTimer->Advise({.Timer = Held([this] { ExitTimer_Timer(); })});
    m_window.frmRose->Advise({
        .ButtonGotFocus = Held(
            [this](const std::string& name, const std::string&) { frmRose_ButtonGotFocus(name); }),
        .ButtonLostFocus = Held(
            [this](const std::string& name, const std::string&) { frmRose_ButtonLostFocus(name); }),
        .ButtonPress = Held(
            [this](const std::string& name, const std::string&) { frmRose_ButtonPress(name); }),
    });
    m_window.movOrvMovie->Advise({
        .Notify = Held([this] { movOrvMovie_Notify(); }),
        .SignalEvent = Held([this](int16_t number) { movOrvMovie_SignalEvent(number); }),
    });
    m_window.sldVideoSlider->Advise({
        .Change = Held([this] { sldVideoSlider_Change(); }),
        .Scroll = Held([this] { sldVideoSlider_Scroll(); }),
        .ThumbDown = Held([this] { sldVideoSlider_ThumbDown(); }),
        .ThumbUp = Held([this] { sldVideoSlider_ThumbUp(); }),
    });
    m_window.rtfText->Advise({
        .LinkClick = Held(
            [this](int32_t userID, int16_t linkType, int32_t start, int32_t end, int16_t button) {
                rtfText_LinkClick(userID, linkType, start, end, button);
            }),
        .LinkEnter = Held([this](int32_t userID, int16_t linkType, int32_t start, int32_t end) {
            rtfText_LinkEnter(userID, linkType, start, end);
        }),
        .LinkLeave = Held([this](int32_t userID, int16_t linkType, int32_t start, int32_t end) {
            rtfText_LinkLeave(userID, linkType, start, end);
        }),
    });
    m_window.frmRoseNavigation->Advise({
        .ButtonGotFocus = Held([this](const std::string& name, const std::string&) {
            frmRoseNavigation_ButtonGotFocus(name);
        }),
        .ButtonLostFocus = Held([this](const std::string& name, const std::string&) {
            frmRoseNavigation_ButtonLostFocus(name);
        }),
        .ButtonPress = Held([this](const std::string& name, const std::string&) {
            frmRoseNavigation_ButtonPress(name);
        }),
    });
    m_window.frmRoseToolbar->Advise({
        .ButtonGotFocus = Held([this](const std::string& name, const std::string&) {
            frmRoseToolbar_ButtonGotFocus(name);
        }),
        .ButtonLostFocus = Held([this](const std::string& name, const std::string&) {
            frmRoseToolbar_ButtonLostFocus(name);
        }),
        .ButtonPress = Held([this](const std::string& name, const std::string&) {
            frmRoseToolbar_ButtonPress(name);
        }),
    });
}

IForm& frmScenova::Form() {
    if (!IsLoaded()) {
        Load();
    }
    return *m_window.form;
}

bool frmScenova::ProcessMessages() {
    m_platform.toolkit().DoEvents();
    return IsLoaded();
}

int32_t frmScenova::hWnd() {
    return Form().hWnd();
}
float frmScenova::Left() {
    return Form().Left();
}
void frmScenova::Left(float value) {
    Form().Left(value);
}
float frmScenova::Top() {
    return Form().Top();
}
void frmScenova::Top(float value) {
    Form().Top(value);
}
float frmScenova::Width() {
    return Form().Width();
}
void frmScenova::Width(float value) {
    Form().Width(value);
}
float frmScenova::Height() {
    return Form().Height();
}
void frmScenova::Height(float value) {
    Form().Height(value);
}
void frmScenova::Move(float left, float top, float width, float height) {
    Form().Move(left, top, width, height);
}
bool frmScenova::Visible() {
    return Form().Visible();
}
void frmScenova::Visible(bool value) {
    Form().Visible(value);
}
bool frmScenova::Enabled() {
    return Form().Enabled();
}
void frmScenova::Enabled(bool value) {
    Form().Enabled(value);
}
Picture frmScenova::GetPicture() {
    return Form().GetPicture();
}
void frmScenova::SetPicture(const Picture& picture) {
    Form().SetPicture(picture);
}
void frmScenova::BackColor(int32_t colour) {
    Form().BackColor(colour);
}
float frmScenova::PixelsToTwipsX(float pixels) {
    return Form().PixelsToTwipsX(pixels);
}
float frmScenova::PixelsToTwipsY(float pixels) {
    return Form().PixelsToTwipsY(pixels);
}
float frmScenova::TwipsToPixelsX(float twips) {
    return Form().TwipsToPixelsX(twips);
}
float frmScenova::TwipsToPixelsY(float twips) {
    return Form().TwipsToPixelsY(twips);
}

void frmScenova::Unload() {
    if (!IsLoaded()) {
        return;
    }
    // Drop the references even when the toolkit fails, so that the next use
    // loads a fresh window instead of touching a half-destroyed one.
    PresentationWindow window = std::exchange(m_window, {});
    window.form->Unload();
}

void frmScenova::Close() {
    m_closed = true;
    Unload();
}

controls::IButtonBar& frmScenova::frmRose() {
    Form();
    return Present(m_window.frmRose);
}
controls::IButtonBar& frmScenova::frmRoseNavigation() {
    Form();
    return Present(m_window.frmRoseNavigation);
}
controls::IButtonBar& frmScenova::frmRoseToolbar() {
    Form();
    return Present(m_window.frmRoseToolbar);
}
controls::IVideo& frmScenova::movOrvMovie() {
    Form();
    return Present(m_window.movOrvMovie);
}
controls::ISlider& frmScenova::sldVideoSlider() {
    Form();
    return Present(m_window.sldVideoSlider);
}
controls::IRichText& frmScenova::rtfText() {
    Form();
    return Present(m_window.rtfText);
}
ITimer& frmScenova::ExitTimer() {
    Form();
    return Present(m_window.ExitTimer);
}

void frmScenova::Form_Load() {
    m_lngCurrentBlock = -1;
    m_VideoState = -1;
    m_blnSliderByUser = true;
    m_lngSelStart = -1;
    m_blnLinkClicked = false;
    m_blnInSignalEvent = false;
    m_blnFirstShowDone = false;
}

void frmScenova::Form_LostFocus() {
    StopPlayback();
}

void frmScenova::ExitTimer_Timer() {
    ExitTimer().Enabled(false);
    if (!ProcessMessages()) {
        return;
    }
    if (m_blnInSignalEvent) {
        // The video's signal handler is still running; look again later.
        ExitTimer().Enabled(true);
        return;
    }
    ResetPresentation();
    if (m_events.NavigationClicked) {
        m_events.NavigationClicked(m_strNavButton);
    }
}

void frmScenova::ResetPresentation() {
    m_lngCurrentBlock = -1;
    m_VideoState = -1;
    m_lngSelStart = -1;
    m_blnLinkClicked = false;
    m_blnInSignalEvent = false;

    SetSliderQuietly(0);

    movOrvMovie().Seek(0.0);

    if (!rtfText().Visible()) {
        rtfText().Visible(true);
        if (ButtonExists("btnTextOn")) {
            frmRose().SetButtonState("btnTextOn", bs::Disabled, true);
        }
        if (ButtonExists("btnTextOff")) {
            frmRose().SetButtonState("btnTextOff", bs::Enabled, true);
        }
    }

    rtfText().ClearHighlight();
    ScrollTranscript(rtfText(), -static_cast<double>(rtfText().LastVisibleLine()));

    frmRose().SetButtonState("btnVideoFwd", bs::Enabled, true);
    frmRose().SetButtonState("btnVideoRew", bs::Disabled, true);
    frmRose().SetButtonState("btnVideoStop", bs::Disabled, true);
    frmRose().SetButtonState("btnVideoPlay", bs::Enabled, true);
    m_VideoState = -1;
}

void frmScenova::Start() {
    Module1& module = Module1::Get();
    if (!m_blnFirstShowDone) {
        m_blnFirstShowDone = true;
        UpdateStepButtons();
        // A lesson without speaker blocks has no last block; there is then
        // nothing that could lie below the visible lines.
        if (!module.g_Blocks.empty() &&
            module.g_Blocks.back().LastLine > rtfText().LastVisibleLine()) {
            rtfText().ScrollBarVisible(true);
        }
        const std::array<std::pair<const char*, const std::string*>, 3> resources{{
            {"Help", &module.g_strHelp},
            {"Culture Tips", &module.g_strCultureTip},
            {"Learning Strategies", &module.g_strLearningStrategy},
        }};
        for (const auto& [name, value] : resources) {
            const int16_t wanted = value->empty() ? bs::Disabled : bs::Enabled;
            const std::string buttonName = name;
            if (frmRoseToolbar().GetButtonState(buttonName) != wanted) {
                frmRoseToolbar().SetButtonState(buttonName, wanted, true);
            }
        }
    }
    IUser32& user32 = m_platform.user32();
    m_hArrowCursor = user32.LoadCursorA(0, win::IDC_ARROW);
    m_hWaitCursor = user32.LoadCursorA(0, win::IDC_WAIT);
    user32.SetCursor(m_hArrowCursor);
    Enabled(true);
    Visible(true);
}

}  // namespace scenova
