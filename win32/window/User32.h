#pragma once

#include "platform/User32.h"

namespace scenova::win32 {

// The real user32 calls, handles narrowed to 32 bits. Strings are UTF-8 in
// the core; FindWindowExA and LoadCursorFromFileA take them as the system's
// ANSI names would, through the wide calls so that no code page loses them.
class User32 final : public IUser32 {
public:
    int32_t FindWindowExA(int32_t parent, int32_t childAfter, const std::string& className,
                          const std::string& windowName) override;
    int32_t SetParent(int32_t child, int32_t newParent) override;
    int32_t GetWindowLongA(int32_t hWnd, int32_t index) override;
    int32_t SetWindowLongA(int32_t hWnd, int32_t index, int32_t newLong) override;
    int32_t LoadCursorA(int32_t hInstance, int32_t cursorId) override;
    int32_t LoadCursorFromFileA(const std::string& path) override;
    int32_t SetCursor(int32_t hCursor) override;
};

}  // namespace scenova::win32
