#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "controls/Slider.h"
#include "model/Contained.h"

namespace scenova::model {

// The position slider as every platform keeps it. Value stays within
// 0..Max; every change of Value, by the program or the user, raises Change
// after the new value is in place and before the assignment returns. A
// platform shows the value (Moved, Restyled) and delivers the user's thumb
// and clicks to the User members.
class Slider : public Contained<controls::ISlider> {
public:
    static constexpr int32_t kDefaultMax = 10;

    Slider(Context& ctx, std::string name) : Contained(ctx, std::move(name)) {}

    // ISlider
    void Advise(controls::SliderEvents events) override { m_events = std::move(events); }
    int32_t Max() const override { return m_max; }
    // A negative maximum raises 380. Lowering it below Value pulls Value down.
    void Max(int32_t value) override;
    int32_t Value() const override { return m_value; }
    // Clamped into 0..Max.
    void Value(int32_t value) override;
    void BorderStyle(int16_t style) override;
    void ForeColor(int32_t colour) override;
    void BackColor(int32_t colour) override;

    // The user. Each returns whether the slider could be reached.
    bool UserThumbDown();
    // Drags the thumb: Scroll, then the value change (Change when it changed).
    bool UserScrollTo(int32_t value);
    bool UserThumbUp();
    // Clicks the track: only the value change.
    bool UserClickTo(int32_t value);

    void Destroy() { m_destroyed = true; }

    int16_t BorderStyle() const { return m_borderStyle; }
    int32_t ForeColor() const { return m_foreColor; }
    int32_t BackColor() const { return m_backColor; }
    bool ThumbIsDown() const { return m_thumbDown; }

protected:
    // The value or the range changed; the look changed.
    virtual void Moved() {}
    virtual void Restyled() {}

private:
    void Move(int32_t value);
    bool Thumb(bool down, Member event);

    controls::SliderEvents m_events;
    int32_t m_max = kDefaultMax;
    int32_t m_value = 0;
    int16_t m_borderStyle = 0;
    int32_t m_foreColor = 0;
    int32_t m_backColor = 0xFFFFFF;
    bool m_thumbDown = false;
};

}  // namespace scenova::model
