#include "qt/Slider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <functional>

#include "qt/Form.h"
#include "qt/Strings.h"
#include "runtime/RuntimeError.h"

namespace scenova::qt {

SliderWidget::SliderWidget(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setFocusPolicy(Qt::NoFocus);
    setTracking(true);
}

QRect SliderWidget::HandleRect() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

QPoint SliderWidget::PointOf(int value) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = HandleRect();
    const int span = groove.width() - handle.width();
    const int x = QStyle::sliderPositionFromValue(minimum(), maximum(), value, span);
    return QPoint(groove.x() + x + handle.width() / 2, handle.center().y());
}

void SliderWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || HandleRect().contains(event->position().toPoint())) {
        QSlider::mousePressEvent(event);
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const int half = HandleRect().width() / 2;
    const int at = static_cast<int>(event->position().x()) - groove.x() - half;
    setValue(QStyle::sliderValueFromPosition(minimum(), maximum(), at, groove.width() - 2 * half));
    event->accept();
}

std::shared_ptr<Slider> Slider::Create(Context& ctx, std::string name, Twips twips,
                                       QWidget* parent) {
    auto slider = std::make_shared<Slider>(ctx, std::move(name), twips);
    auto* widget = new SliderWidget(parent);
    widget->setRange(0, slider->m_max);
    const std::weak_ptr<Slider> weak = slider;
    // The thumb's events, raised as the widget tells of the thumb.
    const auto raise = [weak](std::function<void()> controls::SliderEvents::*event,
                              const char* name) {
        return [weak, event, name] {
            if (const auto self = weak.lock()) {
                const auto handler = self->m_events.*event;  // the handler may Advise anew
                self->m_ctx.Raise(self->m_name, name, handler);
            }
        };
    };
    QObject::connect(widget, &QSlider::sliderPressed, widget,
                     raise(&controls::SliderEvents::ThumbDown, "ThumbDown"));
    QObject::connect(widget, &QSlider::sliderMoved, widget,
                     raise(&controls::SliderEvents::Scroll, "Scroll"));
    QObject::connect(widget, &QSlider::sliderReleased, widget,
                     raise(&controls::SliderEvents::ThumbUp, "ThumbUp"));
    QObject::connect(widget, &QSlider::valueChanged, widget, [weak](int value) {
        if (const auto self = weak.lock()) {
            self->Changed(value);
        }
    });
    slider->Attach(widget);
    slider->Restyle();
    return slider;
}

Slider::Slider(Context& ctx, std::string name, Twips twips)
    : ContainedControl(ctx, std::move(name), twips) {}

SliderWidget* Slider::View() const {
    return static_cast<SliderWidget*>(m_widget.data());
}

void Slider::Max(int32_t value) {
    if (value < 0) {
        Raise(err::InvalidPropertyValue);
    }
    m_max = value;
    if (SliderWidget* view = View()) {
        view->setPageStep(1);
        view->setMaximum(value);  // pulls the value down, raising Change
    } else if (m_value > value) {
        m_value = value;
    }
}

void Slider::Value(int32_t value) {
    const int32_t clamped = std::clamp(value, int32_t{0}, m_max);
    if (SliderWidget* view = View()) {
        view->setValue(clamped);  // raises Change before it returns
    } else {
        m_value = clamped;
    }
}

void Slider::Changed(int value) {
    m_value = value;
    if (m_destroyed) {
        return;
    }
    const auto handler = m_events.Change;
    m_ctx.Raise(m_name, "Change", handler);
}

void Slider::BorderStyle(int16_t style) {
    m_borderStyle = style;
    Restyle();
}

void Slider::ForeColor(int32_t colour) {
    m_foreColor = colour;
    Restyle();
}

void Slider::BackColor(int32_t colour) {
    m_backColor = colour;
    Restyle();
}

void Slider::Restyle() {
    if (!m_widget) {
        return;
    }
    const QString fore = ToQColor(m_foreColor).name();
    const QString back = ToQColor(m_backColor).name();
    const QString border =
        m_borderStyle != 0
            ? QStringLiteral("border: 1px solid %1;").arg(ToQColor(m_foreColor).darker(130).name())
            : QString();
    m_widget->setStyleSheet(
        QStringLiteral("QSlider::groove:horizontal { background: %1; %2 height: 6px; "
                       "border-radius: 3px; }"
                       "QSlider::handle:horizontal { background: %3; width: 12px; "
                       "margin: -4px 0; border-radius: 3px; }"
                       "QSlider::handle:horizontal:disabled { background: %1; }")
            .arg(back, border, fore));
}

bool Slider::UserThumbDown() {
    if (m_destroyed || !UserCanReach()) {
        return false;
    }
    View()->setSliderDown(true);
    return true;
}

bool Slider::UserScrollTo(int32_t value) {
    if (m_destroyed || !UserCanReach()) {
        return false;
    }
    // The thumb dragged to value: Scroll, then Change when the value moved.
    SliderWidget* view = View();
    const int target = std::clamp(value, int32_t{0}, m_max);
    if (view->isSliderDown() && view->sliderPosition() != target) {
        view->setSliderPosition(target);
    } else {
        emit view->sliderMoved(target);
        view->setValue(target);
    }
    return true;
}

bool Slider::UserThumbUp() {
    if (m_destroyed || !UserCanReach()) {
        return false;
    }
    View()->setSliderDown(false);
    return true;
}

bool Slider::UserClickTo(int32_t value) {
    if (m_destroyed || !UserCanReach()) {
        return false;
    }
    View()->setValue(std::clamp(value, int32_t{0}, m_max));
    return true;
}

void Slider::Destroy() {
    m_destroyed = true;
}

}  // namespace scenova::qt
