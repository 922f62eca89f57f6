#pragma once

#include <QRectF>

class QPainter;
class QWidget;

namespace scenova::qt {

// How the lesson window's controls draw themselves beyond the lesson's own
// look: the keyboard's frame and the window's scale.

// The keyboard's mark on every part of the lesson window that takes it: a
// thick dark frame inside a white one, so that it stands out on the
// highlight, on white and on a dark backdrop alike.
inline constexpr qreal kFocusRingWidth = 5.0;
void DrawFocusRing(QPainter& painter, const QRectF& around);

// How much larger than its own size the lesson window is shown: every
// control of it is placed and drawn that much larger, while the lesson's
// sizes (and the transcript's lines) stay as they are. 1 outside a lesson.
double ScaleOf(const QWidget* widget);
// Sets the scale of a lesson window's widget.
void SetScale(QWidget* form, double scale);

}  // namespace scenova::qt
