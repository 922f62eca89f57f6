#include "qt/Screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include "qt/Gdi.h"

namespace scenova::qt {

namespace {

constexpr float kTwipsPerInch = 1440.0f;

float TwipsPerPixel(qreal dotsPerInch) {
    return dotsPerInch > 0 ? kTwipsPerInch / static_cast<float>(dotsPerInch) : 15.0f;
}

}  // namespace

Screen::~Screen() {
    if (m_overriding) {
        QGuiApplication::restoreOverrideCursor();
    }
}

float Screen::TwipsPerPixelX() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return TwipsPerPixel(screen ? screen->logicalDotsPerInchX() : 0);
}

float Screen::TwipsPerPixelY() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return TwipsPerPixel(screen ? screen->logicalDotsPerInchY() : 0);
}

void Screen::MouseIcon(const Picture& picture) {
    m_icon = picture;
}

void Screen::MousePointer(int16_t pointer) {
    m_pointer = pointer;
    std::optional<QCursor> cursor;
    if (pointer == mouse_pointer::Custom) {
        const QImage image = ImageOf(m_icon);
        if (!image.isNull()) {
            const QPoint hotspot = HotspotOf(m_icon).value_or(QPoint(0, 0));
            cursor = QCursor(QPixmap::fromImage(image), hotspot.x(), hotspot.y());
        }
    } else if (pointer == 1) {
        cursor = QCursor(Qt::ArrowCursor);
    } else if (pointer == 11) {
        cursor = QCursor(Qt::WaitCursor);
    }
    if (cursor && m_overriding) {
        QGuiApplication::changeOverrideCursor(*cursor);
    } else if (cursor) {
        QGuiApplication::setOverrideCursor(*cursor);
        m_overriding = true;
    } else if (m_overriding) {
        QGuiApplication::restoreOverrideCursor();
        m_overriding = false;
    }
}

}  // namespace scenova::qt
