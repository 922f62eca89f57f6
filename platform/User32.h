#pragma once

#include <cstdint>
#include <string>

namespace scenova {

// The user32 calls the component makes. Window and cursor handles cross as
// 32-bit integers; results are returned unchecked, as the callers expect.
class IUser32 {
public:
    virtual ~IUser32() = default;
    virtual int32_t FindWindowExA(int32_t parent, int32_t childAfter, const std::string& className,
                                  const std::string& windowName) = 0;
    virtual int32_t SetParent(int32_t child, int32_t newParent) = 0;
    virtual int32_t GetWindowLongA(int32_t hWnd, int32_t index) = 0;
    virtual int32_t SetWindowLongA(int32_t hWnd, int32_t index, int32_t newLong) = 0;
    // cursorId is an integer resource identifier (IDC_ARROW ...).
    virtual int32_t LoadCursorA(int32_t hInstance, int32_t cursorId) = 0;
    // 0 when the file cannot be loaded as a cursor.
    virtual int32_t LoadCursorFromFileA(const std::string& path) = 0;
    // Returns the previous cursor.
    virtual int32_t SetCursor(int32_t hCursor) = 0;
};

}  // namespace scenova
