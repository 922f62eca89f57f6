#pragma once

#include <cstdint>

#include "platform/Platform.h"
#include "qt/Context.h"
#include "qt/Desktop.h"
#include "qt/Gdi.h"
#include "qt/Screen.h"
#include "qt/Toolkit.h"
#include "qt/User32.h"

class QMdiArea;
class QWidget;

namespace scenova::qt {

// The Qt platform: made once a QApplication exists, on its thread. The host
// names its main window and MDI area, which the component looks for as the
// "MDIClient" child of the window handle it is given.
class QtPlatform final : public Platform {
public:
    QtPlatform();

    IUser32& user32() override { return m_user32; }
    IGdi32& gdi32() override { return m_gdi; }
    IOlePro32& olepro32() override { return m_gdi; }
    IScreen& screen() override { return m_screen; }
    IToolkit& toolkit() override { return m_toolkit; }

    // The handle of the host's main window, with the MDI area as its client.
    int32_t AddHostWindow(QWidget* mainWindow, QMdiArea* area);

    Context& Ctx() { return m_ctx; }
    Desktop& GetDesktop() { return m_desktop; }
    Gdi& QtGdi() { return m_gdi; }
    User32& QtUser32() { return m_user32; }
    Screen& QtScreen() { return m_screen; }
    Toolkit& QtToolkit() { return m_toolkit; }
    // The presentation window loaded last.
    const QtWindow& Window() const { return m_toolkit.Window(); }
    Twips ScreenTwips() const { return {m_screen.TwipsPerPixelX(), m_screen.TwipsPerPixelY()}; }

private:
    Context m_ctx;
    Desktop m_desktop;
    Gdi m_gdi;
    User32 m_user32;
    Screen m_screen;
    Toolkit m_toolkit;
};

}  // namespace scenova::qt
