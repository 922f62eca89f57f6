#pragma once

#include <cstdint>
#include <functional>

#include "controls/Control.h"

namespace scenova::controls {

struct SliderEvents {
    std::function<void()> Change;
    std::function<void()> Scroll;
    std::function<void()> ThumbDown;
    std::function<void()> ThumbUp;
};

// The position slider. Value stays within 0..Max; every change of Value, by
// the user or by the program, raises Change before the assignment returns.
class ISlider : public IContainedControl {
public:
    virtual void Advise(SliderEvents events) = 0;

    virtual int32_t Max() const = 0;
    virtual void Max(int32_t value) = 0;
    virtual int32_t Value() const = 0;
    virtual void Value(int32_t value) = 0;
    virtual void BorderStyle(int16_t style) = 0;
    virtual void ForeColor(int32_t colour) = 0;
    virtual void BackColor(int32_t colour) = 0;
};

}  // namespace scenova::controls
