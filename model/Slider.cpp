#include "model/Slider.h"

#include <algorithm>

#include "runtime/RuntimeError.h"

namespace scenova::model {

void Slider::Max(int32_t value) {
    m_ctx.Put(m_name, Member::Max, value);
    if (value < 0) {
        Raise(err::InvalidPropertyValue);
    }
    m_max = value;
    Moved();
    Move(m_value);
}

void Slider::Value(int32_t value) {
    m_ctx.Put(m_name, Member::Value, value);
    Move(value);
}

void Slider::BorderStyle(int16_t style) {
    m_ctx.Put(m_name, Member::BorderStyle, style);
    m_borderStyle = style;
    Restyled();
}

void Slider::ForeColor(int32_t colour) {
    m_ctx.Put(m_name, Member::ForeColor, colour);
    m_foreColor = colour;
    Restyled();
}

void Slider::BackColor(int32_t colour) {
    m_ctx.Put(m_name, Member::BackColor, colour);
    m_backColor = colour;
    Restyled();
}

void Slider::Move(int32_t value) {
    const int32_t clamped = std::clamp(value, int32_t{0}, m_max);
    if (clamped == m_value) {
        return;
    }
    m_value = clamped;
    Moved();
    const auto handler = m_events.Change;  // the handler may Advise anew
    m_ctx.Raise(m_name, Member::Change, handler);
}

bool Slider::Thumb(bool down, Member event) {
    if (!UserCanReach()) {
        return false;
    }
    m_thumbDown = down;
    const auto handler = down ? m_events.ThumbDown : m_events.ThumbUp;
    m_ctx.Raise(m_name, event, handler);
    return true;
}

bool Slider::UserThumbDown() {
    return Thumb(true, Member::ThumbDown);
}

bool Slider::UserThumbUp() {
    return Thumb(false, Member::ThumbUp);
}

bool Slider::UserScrollTo(int32_t value) {
    if (!UserCanReach()) {
        return false;
    }
    const auto handler = m_events.Scroll;
    m_ctx.Raise(m_name, Member::Scroll, handler);
    Move(value);
    return true;
}

bool Slider::UserClickTo(int32_t value) {
    if (!UserCanReach()) {
        return false;
    }
    Move(value);
    return true;
}

}  // namespace scenova::model
