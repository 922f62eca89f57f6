#include "win32/Win32Platform.h"

#include "win32/com/Registry.h"
#include "win32/gdi/Gdi32.h"
#include "win32/window/Screen.h"
#include "win32/window/Toolkit.h"
#include "win32/window/User32.h"

namespace scenova::win32 {

namespace {

class ProcessWide final : public Platform {
public:
    ProcessWide() : m_toolkit(m_screen, &ControlProgId) {}

    IUser32& user32() override { return m_user32; }
    IGdi32& gdi32() override { return m_gdi32; }
    IOlePro32& olepro32() override { return m_olepro32; }
    IScreen& screen() override { return m_screen; }
    IToolkit& toolkit() override { return m_toolkit; }

private:
    User32 m_user32;
    Gdi32 m_gdi32;
    OlePro32 m_olepro32;
    Screen m_screen;
    Toolkit m_toolkit;
};

}  // namespace

Platform& ProcessPlatform() {
    static ProcessWide platform;
    return platform;
}

}  // namespace scenova::win32
