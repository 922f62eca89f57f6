#include "player/Viewing.h"

#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include <algorithm>
#include <utility>

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
    const QPoint place = form.OwnPosition();
    const QSize room = m_area.contentsRect().size() - frame;
    const double fit = std::min(static_cast<double>(room.width()) / (own.width() + place.x()),
                                static_cast<double>(room.height()) / (own.height() + place.y()));
    const double scale = std::clamp(fit * m_zoom, kLeastScale, kMostScale);
    if (scale != m_scale || form.Widget()->size() != own * scale) {
        m_scale = scale;
        form.Rescale(scale);
        lesson.frmRose->Rescale();
        lesson.movOrvMovie->Rescale();
        lesson.sldVideoSlider->Rescale();
        lesson.rtfText->Rescale();
        lesson.frmRoseNavigation->Rescale();
        lesson.frmRoseToolbar->Rescale();
    }
    // Narrower than the room, it stands in the middle of it.
    if (sub) {
        const int spare = m_area.contentsRect().width() - sub->width() - place.x() * scale;
        sub->move(static_cast<int>(place.x() * scale) + std::max(0, spare / 2), sub->y());
    }
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
    // Full screen is the lesson's: the panels beside it go until it ends.
    for (QDockWidget* panel : m_window.findChildren<QDockWidget*>()) {
        if (on && panel->isVisible()) {
            panel->hide();
            m_hidden.push_back(panel);
        }
    }
    if (!on) {
        for (const QPointer<QDockWidget>& panel : std::exchange(m_hidden, {})) {
            if (panel) {
                panel->show();
            }
        }
    }
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
