#include "qt/Drawing.h"

#include <QPainter>
#include <QVariant>
#include <QWidget>

namespace scenova::qt {

namespace {

constexpr const char* kScale = "scenovaScale";

}  // namespace

void DrawFocusRing(QPainter& painter, const QRectF& around) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    // White outside, then near-black: one of the two contrasts with anything.
    const qreal outer = 2.0;
    const qreal inner = kFocusRingWidth - outer;
    painter.setPen(QPen(Qt::white, outer, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(around.adjusted(outer / 2, outer / 2, -outer / 2, -outer / 2));
    painter.setPen(QPen(QColor(0, 40, 120), inner, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(around.adjusted(outer + inner / 2, outer + inner / 2, -outer - inner / 2,
                                     -outer - inner / 2));
    painter.restore();
}

double ScaleOf(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const QVariant scale = w->property(kScale);
        if (scale.isValid()) {
            return scale.toDouble();
        }
        if (w->isWindow()) {
            break;
        }
    }
    return 1.0;
}

void SetScale(QWidget* form, double scale) {
    form->setProperty(kScale, scale);
}

}  // namespace scenova::qt
