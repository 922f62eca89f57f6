#include "qt/QtPlatform.h"

#include <QMdiArea>

namespace scenova::qt {

namespace {
constexpr int32_t kHostFrameStyle = 0x16CF0000;  // visible overlapped window, clips children
constexpr int32_t kHostFrameExStyle = 0x00040100;
constexpr int32_t kMdiClientStyle = 0x56000000;  // visible child, clips siblings and children
constexpr int32_t kMdiClientExStyle = 0x00000200;
}  // namespace

QtPlatform::QtPlatform()
    : m_gdi(m_ctx),
      m_user32(m_desktop),
      m_toolkit(m_ctx, m_desktop, m_gdi, {m_screen.TwipsPerPixelX(), m_screen.TwipsPerPixelY()}) {}

int32_t QtPlatform::AddHostWindow(QWidget* mainWindow, QMdiArea* area) {
    const int32_t frame =
        m_desktop.Add(mainWindow, "HostFrame", "Host", 0, kHostFrameStyle, kHostFrameExStyle);
    m_desktop.Add(area, "MDIClient", "", frame, kMdiClientStyle, kMdiClientExStyle);
    return frame;
}

}  // namespace scenova::qt
