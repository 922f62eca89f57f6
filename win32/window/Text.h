#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace scenova::win32 {

// The core speaks UTF-8; Windows speaks UTF-16. Invalid sequences become
// U+FFFD rather than failing: a file name the system cannot represent is then
// simply not found.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);
// The text in the system code page (characters it lacks become '?').
std::string ToSystemCodePage(std::string_view text);

// Window, cursor and GDI handles cross the platform interfaces as 32-bit
// integers (sign-extended, as the system defines them on 64 bits).
inline int32_t FromHandle(const void* handle) {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(handle));
}
template <class Handle>
Handle ToHandle(int32_t value) {
    return reinterpret_cast<Handle>(static_cast<intptr_t>(value));
}

}  // namespace scenova::win32
