#pragma once

#include <cstdint>

// The few Win32 values the core passes through its platform interfaces.
namespace scenova::win {
inline constexpr int32_t GWL_STYLE = -16;
inline constexpr int32_t GWL_EXSTYLE = -20;
inline constexpr int32_t WS_CHILD = 0x40000000;
inline constexpr int32_t WS_EX_MDICHILD = 0x00000040;
inline constexpr int32_t WS_EX_APPWINDOW = 0x00040000;
inline constexpr int32_t IDC_ARROW = 32512;
inline constexpr int32_t IDC_WAIT = 32514;
inline constexpr int32_t SRCCOPY = 0x00CC0020;
inline constexpr int32_t PICTYPE_BITMAP = 1;
}  // namespace scenova::win
