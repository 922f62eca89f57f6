#include "qt/Slider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>

#include "qt/Form.h"
#include "qt/Strings.h"
#include "runtime/RuntimeError.h"

namespace scenova::qt {

SliderWidget::SliderWidget(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    // Arrows, Page Up and Down, Home and End move the thumb as a click on
    // the track would.
    setFocusPolicy(Qt::StrongFocus);
    setTracking(true);
}

void SliderWidget::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        DrawFocusRing(painter, rect());
    }
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
    const std::weak_ptr<Slider> weak = slider;
    // The user's hand on the widget, to the model.
    const auto to = [weak](auto act) {
        return [weak, act](auto... value) {
            if (const auto self = weak.lock()) {
                act(*self, value...);
            }
        };
    };
    QObject::connect(widget, &QSlider::sliderPressed, widget,
                     to([](Slider& self) { self.UserThumbDown(); }));
    QObject::connect(widget, &QSlider::sliderMoved, widget,
                     to([](Slider& self, int value) { self.UserScrollTo(value); }));
    QObject::connect(widget, &QSlider::sliderReleased, widget,
                     to([](Slider& self) { self.UserThumbUp(); }));
    QObject::connect(widget, &QSlider::valueChanged, widget,
                     to([](Slider& self, int value) { self.UserClickTo(value); }));
    slider->Attach(widget);
    slider->Moved();
    slider->Restyled();
    return slider;
}

Slider::Slider(Context& ctx, std::string name, Twips twips)
    : ContainedControl(ctx, std::move(name), twips, false) {}

SliderWidget* Slider::View() const {
    return static_cast<SliderWidget*>(m_widget.data());
}

void Slider::Moved() {
    if (SliderWidget* view = View()) {
        const QSignalBlocker quiet(view);
        view->setPageStep(1);
        view->setRange(0, Max());
        view->setValue(Value());
    }
}

void Slider::Rescale() {
    ContainedControl::Rescale();
    Restyled();
}

void Slider::Restyled() {
    if (!m_widget) {
        return;
    }
    const double scale = ScaleOf(m_widget);
    const auto px = [scale](int pixels) { return QString::number(std::lround(pixels * scale)); };
    const QString fore = ToQColor(ForeColor()).name();
    const QString back = ToQColor(BackColor()).name();
    const QString border =
        BorderStyle() != 0
            ? QStringLiteral("border: 1px solid %1;").arg(ToQColor(ForeColor()).darker(130).name())
            : QString();
    m_widget->setStyleSheet(
        QStringLiteral("QSlider::groove:horizontal { background: %1; %2 height: %4px; "
                       "border-radius: %6px; }"
                       "QSlider::handle:horizontal { background: %3; width: %5px; "
                       "margin: -%7px 0; border-radius: %6px; }"
                       "QSlider::handle:horizontal:disabled { background: %1; }")
            .arg(back, border, fore, px(6), px(12), px(3), px(4)));
}

}  // namespace scenova::qt
