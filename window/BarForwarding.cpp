#include "module/Module1.h"
#include "window/frmScenova.h"

namespace scenova {

namespace bs = controls::button_state;

void frmScenova::ShowButtonCursor(controls::IButtonBar& bar, const std::string& buttonName) {
    const Module1& module = Module1::Get();
    if (module.g_strButtonCursor.empty()) {
        return;
    }
    if (bar.GetButtonState(buttonName) != bs::Disabled) {
        IScreen& screen = m_platform.screen();
        screen.MouseIcon(module.g_picButtonCursor);
        screen.MousePointer(mouse_pointer::Custom);
    }
}

void frmScenova::HideButtonCursor() {
    if (!Module1::Get().g_strButtonCursor.empty()) {
        m_platform.screen().MousePointer(mouse_pointer::Default);
    }
}

void frmScenova::frmRoseNavigation_ButtonGotFocus(const std::string& buttonName) {
    ShowButtonCursor(frmRoseNavigation(), buttonName);
}

void frmScenova::frmRoseNavigation_ButtonLostFocus(const std::string&) {
    HideButtonCursor();
}

void frmScenova::frmRoseNavigation_ButtonPress(const std::string& buttonName) {
    Enabled(false);
    m_platform.user32().SetCursor(m_hWaitCursor);
    StopPlayback();
    m_strNavButton = buttonName;
    // The host hears of the press only when the timer fires, after the
    // video's signal handling has finished.
    ExitTimer().Interval(300);
    ExitTimer().Enabled(true);
}

void frmScenova::frmRoseToolbar_ButtonGotFocus(const std::string& buttonName) {
    ShowButtonCursor(frmRoseToolbar(), buttonName);
}

void frmScenova::frmRoseToolbar_ButtonLostFocus(const std::string&) {
    HideButtonCursor();
}

void frmScenova::frmRoseToolbar_ButtonPress(const std::string& buttonName) {
    StopPlayback();
    if (m_events.ToolbarClicked) {
        m_events.ToolbarClicked(buttonName);
    }
}

}  // namespace scenova
