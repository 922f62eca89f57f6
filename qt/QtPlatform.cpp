#include "qt/QtPlatform.h"

#include <QMdiArea>

namespace scenova::qt {

QtPlatform::QtPlatform()
    : m_gdi(m_ctx),
      m_user32(m_ctx, m_desktop),
      m_toolkit(m_ctx, m_desktop, m_gdi, {m_screen.TwipsPerPixelX(), m_screen.TwipsPerPixelY()}) {}

int32_t QtPlatform::AddHostWindow(QWidget* mainWindow, QMdiArea* area) {
    const int32_t frame = m_desktop.Add(mainWindow, "HostFrame", "Host", 0, model::style::HostFrame,
                                        model::style::HostFrameEx);
    m_desktop.Add(area, "MDIClient", "", frame, model::style::MdiClient, model::style::MdiClientEx);
    return frame;
}

}  // namespace scenova::qt
