#include "headless/HeadlessPlatform.h"

namespace scenova::headless {

namespace {
constexpr int32_t kHostFrameStyle = 0x16CF0000;  // visible overlapped window, clips children
constexpr int32_t kHostFrameExStyle = 0x00040100;
constexpr int32_t kMdiClientStyle = 0x56000000;  // visible child, clips siblings and children
constexpr int32_t kMdiClientExStyle = 0x00000200;
}  // namespace

HeadlessPlatform::HeadlessPlatform(TwipsPerPixel screen, std::optional<TwipsPerPixel> window)
    : m_trace(m_loop),
      m_ctx(m_loop, m_trace),
      m_user32(m_ctx, m_desktop),
      m_gdi(m_ctx),
      m_screen(m_ctx, screen),
      m_toolkit(m_ctx, m_desktop, m_gdi, window.value_or(screen)),
      m_hostMainWindow(
          m_desktop.Create("HostFrame", "Host", 0, kHostFrameStyle, kHostFrameExStyle)),
      m_mdiClient(m_desktop.Create("MDIClient", "", m_hostMainWindow, kMdiClientStyle,
                                   kMdiClientExStyle)) {}

}  // namespace scenova::headless
