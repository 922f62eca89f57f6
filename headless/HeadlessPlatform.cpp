#include "headless/HeadlessPlatform.h"

namespace scenova::headless {

HeadlessPlatform::HeadlessPlatform(TwipsPerPixel screen, std::optional<TwipsPerPixel> window)
    : m_trace(m_loop),
      m_ctx(m_loop, m_trace),
      m_user32(m_ctx, m_desktop),
      m_gdi(m_ctx),
      m_screen(m_ctx, screen),
      m_toolkit(m_ctx, m_desktop, m_gdi, window.value_or(screen)),
      m_hostMainWindow(m_desktop.Create("HostFrame", "Host", 0, model::style::HostFrame,
                                        model::style::HostFrameEx)),
      m_mdiClient(m_desktop.Create("MDIClient", "", m_hostMainWindow, model::style::MdiClient,
                                   model::style::MdiClientEx)) {}

}  // namespace scenova::headless
