#pragma once

#include <QSlider>

#include <cstdint>
#include <memory>
#include <string>

#include "model/Slider.h"
#include "qt/ContainedControl.h"

namespace scenova::qt {

// The position slider as the widget shows it, for the user's hand and for
// tests: where the thumb is and where a value lies on the track.
class SliderWidget final : public QSlider {
public:
    SliderWidget(QWidget* parent);
    QRect HandleRect() const;
    QPoint PointOf(int value) const;

protected:
    // A press on the track moves the thumb straight there: a value change,
    // not a drag.
    void mousePressEvent(QMouseEvent* event) override;
    // The keyboard's frame over the style's drawing.
    void paintEvent(QPaintEvent* event) override;
};

// The position slider on a QSlider: the thumb pressed, dragged and
// released, and a click on the track, reach the model as the user's; the
// widget shows the model's value and range.
class Slider final : public ContainedControl<model::Slider>,
                     public std::enable_shared_from_this<Slider> {
public:
    static std::shared_ptr<Slider> Create(Context& ctx, std::string name, Twips twips,
                                          QWidget* parent);
    Slider(Context& ctx, std::string name, Twips twips);

    SliderWidget* View() const;

    void Rescale() override;

private:
    void Moved() override;
    void Restyled() override;
};

}  // namespace scenova::qt
