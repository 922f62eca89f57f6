#pragma once

#include <QSlider>

#include <cstdint>
#include <memory>
#include <string>

#include "controls/Slider.h"
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
};

// The position slider on a QSlider: ThumbDown, Scroll and ThumbUp are the
// thumb pressed, dragged and released; Change follows every change of the
// value, by the user or by the program (inside the assignment).
class Slider final : public ContainedControl<controls::ISlider>,
                     public std::enable_shared_from_this<Slider> {
public:
    static std::shared_ptr<Slider> Create(Context& ctx, std::string name, Twips twips,
                                          QWidget* parent);
    Slider(Context& ctx, std::string name, Twips twips);

    void Advise(controls::SliderEvents events) override { m_events = std::move(events); }
    int32_t Max() const override { return m_max; }
    // A negative maximum raises 380; lowering it below Value pulls Value down.
    void Max(int32_t value) override;
    int32_t Value() const override { return m_value; }
    // Clamped into 0..Max.
    void Value(int32_t value) override;
    void BorderStyle(int16_t style) override;
    void ForeColor(int32_t colour) override;
    void BackColor(int32_t colour) override;

    // The user's hand, as a scripted user moves it: each returns whether the
    // slider could be reached.
    bool UserThumbDown();
    bool UserScrollTo(int32_t value);
    bool UserThumbUp();
    bool UserClickTo(int32_t value);

    void Destroy();
    SliderWidget* View() const;

private:
    void Restyle();
    void Changed(int value);

    controls::SliderEvents m_events;
    int32_t m_max = 10;
    int32_t m_value = 0;
    int16_t m_borderStyle = 0;
    int32_t m_foreColor = 0;
    int32_t m_backColor = 0xFFFFFF;
    bool m_destroyed = false;
};

}  // namespace scenova::qt
