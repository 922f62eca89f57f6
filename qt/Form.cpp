#include "qt/Form.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>

#include <utility>

#include "platform/Toolkit.h"
#include "qt/Drawing.h"
#include "qt/Gdi.h"
#include "qt/Strings.h"
#include "qt/User32.h"

namespace scenova::qt {

QColor ToQColor(int32_t colour) {
    const auto c = static_cast<uint32_t>(colour);
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

class Form::FormWidget final : public QWidget {
public:
    explicit FormWidget(std::weak_ptr<Form> form) : m_form(std::move(form)) {
        // The controls take the keyboard; the window itself is no stop of it.
        setFocusPolicy(Qt::NoFocus);
        setProperty(kLessonWindow, true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const auto form = m_form.lock();
        if (!form) {
            return;
        }
        QPainter painter(this);
        painter.fillRect(rect(), ToQColor(form->BackColor()));
        const QImage picture = ImageOf(form->GetPicture());
        if (!picture.isNull()) {
            const double scale = ScaleOf(this);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.scale(scale, scale);
            painter.drawImage(0, 0, picture);
        }
    }

    // Inside a host's window (an MDI sub-window keeps Tab to itself), Tab
    // past the window's last part, or Shift+Tab before its first, goes on to
    // the host's own parts, as it would in a window of its own.
    bool focusNextPrevChild(bool next) override {
        QWidget* from = QApplication::focusWidget();
        QWidget* to = from != nullptr && isAncestorOf(from) ? from : nullptr;
        while (to != nullptr) {
            to = next ? to->nextInFocusChain() : to->previousInFocusChain();
            if (to == from) {
                break;
            }
            if ((to->focusPolicy() & Qt::TabFocus) && to->window() == window() &&
                to->isVisibleTo(window()) && to->isEnabled() && to->focusProxy() == nullptr &&
                !to->isAncestorOf(this)) {
                if (isAncestorOf(to)) {
                    break;  // a part of this window
                }
                to->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                return true;
            }
        }
        return QWidget::focusNextPrevChild(next);
    }

    bool event(QEvent* event) override {
        if (event->type() == QEvent::ParentChange) {
            if (const auto form = m_form.lock()) {
                form->Reparented();
            }
        }
        return QWidget::event(event);
    }

private:
    std::weak_ptr<Form> m_form;
};

std::shared_ptr<Form> Form::Create(Context& ctx, Desktop& desktop, Twips twips, std::string caption,
                                   FormEvents events) {
    auto form = std::make_shared<Form>(ctx, desktop, twips, std::move(events));
    auto* widget = new FormWidget(form);
    widget->setWindowTitle(ToQString(caption));
    form->m_widget = widget;
    form->m_hWnd = desktop.Add(widget, "ScenovaWindow", std::move(caption), 0, model::style::Form,
                               model::style::FormEx);
    form->Placed();
    return form;
}

Form::Form(Context& ctx, Desktop& desktop, Twips twips, FormEvents events)
    : model::Form(ctx, objects::frmScenova, {twips.perPixelX, twips.perPixelY}, std::move(events)),
      m_desktop(desktop),
      m_twips(twips) {}

Form::~Form() {
    // A window nobody holds any more is gone with its widgets.
    if (m_widget) {
        if (QMdiSubWindow* sub = SubWindow()) {
            sub->deleteLater();
        }
        m_widget->deleteLater();
    }
}

QMdiSubWindow* Form::SubWindow() const {
    return m_widget ? qobject_cast<QMdiSubWindow*>(m_widget->parentWidget()) : nullptr;
}

void Form::Showing() {
    if (!m_widget) {
        return;
    }
    m_widget->setEnabled(m_enabled);
    if (QMdiSubWindow* sub = SubWindow()) {
        m_widget->setVisible(true);
        sub->setVisible(m_visible);
    } else {
        m_widget->setVisible(m_visible);
    }
}

void Form::Redraw() {
    if (m_widget) {
        m_widget->update();
    }
}

void Form::Unloaded() {
    m_desktop.Remove(m_hWnd);
    if (m_widget) {
        QMdiSubWindow* sub = SubWindow();
        (sub ? static_cast<QWidget*>(sub) : m_widget.data())->hide();
        if (sub) {
            if (QMdiArea* area = sub->mdiArea()) {
                area->removeSubWindow(sub);
            }
            sub->deleteLater();
        }
        m_widget->deleteLater();
    }
}

void Form::Reparented() {
    QObject::disconnect(m_activation);
    if (QMdiSubWindow* sub = SubWindow()) {
        if (QMdiArea* area = sub->mdiArea()) {
            m_activation = QObject::connect(area, &QMdiArea::subWindowActivated, m_widget,
                                            [weak = weak_from_this()](QMdiSubWindow* active) {
                                                if (const auto form = weak.lock()) {
                                                    form->Activated(active);
                                                }
                                            });
        }
    }
    Placed();
    Showing();
}

void Form::Activated(QMdiSubWindow* active) {
    if (active == nullptr || m_unloaded) {
        return;  // the host's own window lost the focus, not this one
    }
    if (active == SubWindow()) {
        m_active = true;
    } else if (std::exchange(m_active, false)) {
        model::Form::UserDeactivate();
    }
}

void Form::UserDeactivate() {
    m_active = false;
    model::Form::UserDeactivate();
}

QSize Form::OwnSize() const {
    return QSize(WholePixels(m_width / m_twips.perPixelX),
                 WholePixels(m_height / m_twips.perPixelY));
}

QPoint Form::OwnPosition() const {
    return QPoint(WholePosition(m_left / m_twips.perPixelX),
                  WholePosition(m_top / m_twips.perPixelY));
}

void Form::Rescale(double scale) {
    if (m_widget) {
        SetScale(m_widget, scale);
        Placed();
        m_widget->update();
    }
}

void Form::Placed() {
    if (!m_widget) {
        return;
    }
    const double scale = ScaleOf(m_widget);
    m_widget->setFixedSize(WholePixels(m_width / m_twips.perPixelX * scale),
                           WholePixels(m_height / m_twips.perPixelY * scale));
    const QPoint position(WholePosition(m_left / m_twips.perPixelX * scale),
                          WholePosition(m_top / m_twips.perPixelY * scale));
    if (QMdiSubWindow* sub = SubWindow()) {
        sub->adjustSize();
        sub->move(position);
    } else {
        m_widget->move(position);
    }
}

}  // namespace scenova::qt
