#include "win32/window/Screen.h"

#include "win32/window/Text.h"

namespace scenova::win32 {

namespace {

float TwipsPerPixel(int dpiIndex) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, dpiIndex) : 0;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return 1440.0f / static_cast<float>(dpi > 0 ? dpi : 96);
}

}  // namespace

float Screen::TwipsPerPixelX() const {
    return TwipsPerPixel(LOGPIXELSX);
}

float Screen::TwipsPerPixelY() const {
    return TwipsPerPixel(LOGPIXELSY);
}

void Screen::MouseIcon(const Picture& picture) {
    m_mouseIcon = picture;
    Apply();
}

void Screen::MousePointer(int16_t pointer) {
    m_mousePointer = pointer;
    Apply();
}

HCURSOR Screen::ApplicationCursor() const {
    if (m_mousePointer == mouse_pointer::Custom) {
        // An icon or cursor picture's handle is a cursor handle; a custom
        // pointer without one shows the default.
        return m_mouseIcon ? ToHandle<HCURSOR>(m_mouseIcon->Handle()) : nullptr;
    }
    if (m_mousePointer == mouse_pointer::Default) {
        return nullptr;
    }
    // The standard pointers the toolkit numbers 1..15.
    static const LPCWSTR kStandard[] = {IDC_ARROW,    IDC_ARROW,       IDC_CROSS,    IDC_IBEAM,
                                        IDC_ICON,     IDC_SIZEALL,     IDC_SIZENESW, IDC_SIZENS,
                                        IDC_SIZENWSE, IDC_SIZEWE,      IDC_UPARROW,  IDC_WAIT,
                                        IDC_NO,       IDC_APPSTARTING, IDC_HELP,     IDC_SIZEALL};
    if (m_mousePointer > 0 && m_mousePointer < static_cast<int16_t>(std::size(kStandard))) {
        return LoadCursorW(nullptr, kStandard[m_mousePointer]);
    }
    return nullptr;
}

void Screen::Apply() const {
    if (HCURSOR cursor = ApplicationCursor()) {
        SetCursor(cursor);
    }
}

}  // namespace scenova::win32
