#include "player/Viewing.h"

#include <QEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include <algorithm>

namespace scenova::player {

Viewing::Viewing(QMainWindow& window, QMdiArea& area, std::function<const qt::QtWindow&()> lesson)
    : m_window(window), m_area(area), m_lesson(std::move(lesson)) {
    // Zoomed past the area, the lesson scrolls.
    m_area.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area.installEventFilter(this);
}

bool Viewing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_area && event->type() == QEvent::Resize) {
        Fit();
    }
    return QObject::eventFilter(watched, event);
}

void Viewing::Fit() {
    const qt::QtWindow& lesson = m_lesson();
    if (!lesson.form || !lesson.form->Widget()) {
        return;
    }
    qt::Form& form = *lesson.form;
    const QSize own = form.OwnSize();
    QMdiSubWindow* sub = form.SubWindow();
    if (own.isEmpty()) {
        return;
    }
    // The room left by the sub-window's frame and the window's place in the
    // area, both of which scale with it but the frame.
    const QSize frame = sub ? sub->size() - form.Widget()->size() : QSize();
    const QPoint place = (sub ? sub->pos() : form.Widget()->pos()) / m_scale;
    const QSize room = m_area.contentsRect().size() - frame;
    const double fit = std::min(static_cast<double>(room.width()) / (own.width() + place.x()),
                                static_cast<double>(room.height()) / (own.height() + place.y()));
    const double scale = std::clamp(fit * m_zoom, kLeastScale, kMostScale);
    if (scale == m_scale && form.Widget()->size() == own * scale) {
        return;
    }
    m_scale = scale;
    form.Rescale(scale);
    lesson.frmRose->Rescale();
    lesson.movOrvMovie->Rescale();
    lesson.sldVideoSlider->Rescale();
    lesson.rtfText->Rescale();
    lesson.frmRoseNavigation->Rescale();
    lesson.frmRoseToolbar->Rescale();
}

void Viewing::ZoomIn() {
    m_zoom = std::min(m_zoom * kZoomStep, kMostScale);
    Fit();
}

void Viewing::ZoomOut() {
    m_zoom = std::max(m_zoom / kZoomStep, kLeastScale);
    Fit();
}

void Viewing::ZoomFit() {
    m_zoom = 1.0;
    Fit();
}

void Viewing::FullScreen(bool on) {
    if (on == IsFullScreen()) {
        return;
    }
    m_window.menuBar()->setVisible(!on);
    if (on) {
        m_window.showFullScreen();
    } else {
        m_window.showNormal();
    }
}

bool Viewing::IsFullScreen() const {
    return m_window.isFullScreen();
}

}  // namespace scenova::player
