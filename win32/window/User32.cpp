#include "win32/window/User32.h"

#include <windows.h>

#include "win32/window/Text.h"

namespace scenova::win32 {

int32_t User32::FindWindowExA(int32_t parent, int32_t childAfter, const std::string& className,
                              const std::string& windowName) {
    const std::wstring cls = Widen(className);
    const std::wstring name = Widen(windowName);
    // An empty window name matches only windows without a title, as the
    // ANSI call does with "".
    return FromHandle(::FindWindowExW(ToHandle<HWND>(parent), ToHandle<HWND>(childAfter),
                                      cls.c_str(), name.c_str()));
}

int32_t User32::SetParent(int32_t child, int32_t newParent) {
    return FromHandle(::SetParent(ToHandle<HWND>(child), ToHandle<HWND>(newParent)));
}

int32_t User32::GetWindowLongA(int32_t hWnd, int32_t index) {
    return static_cast<int32_t>(::GetWindowLongA(ToHandle<HWND>(hWnd), index));
}

int32_t User32::SetWindowLongA(int32_t hWnd, int32_t index, int32_t newLong) {
    const HWND window = ToHandle<HWND>(hWnd);
    const LONG previous = ::SetWindowLongA(window, index, newLong);
    if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        // Style changes take effect on the frame only after this.
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return static_cast<int32_t>(previous);
}

int32_t User32::LoadCursorA(int32_t hInstance, int32_t cursorId) {
    if (cursorId <= 0 || cursorId > 0xFFFF) {
        return 0;  // not a resource identifier: never a truncated one
    }
    return FromHandle(::LoadCursorA(ToHandle<HINSTANCE>(hInstance),
                                    MAKEINTRESOURCEA(static_cast<uint16_t>(cursorId))));
}

int32_t User32::LoadCursorFromFileA(const std::string& path) {
    const std::wstring wide = Widen(path);
    return FromHandle(::LoadCursorFromFileW(wide.c_str()));
}

int32_t User32::SetCursor(int32_t hCursor) {
    return FromHandle(::SetCursor(ToHandle<HCURSOR>(hCursor)));
}

}  // namespace scenova::win32
