#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "controls/Slider.h"
#include "headless/Context.h"

namespace scenova::headless {

// A position slider held in memory. Value stays within 0..Max; every change
// of Value, by the program or the simulated user, raises Change after the new
// value is in place and before the assignment returns. The user reaches the
// slider only while it is visible, enabled and not destroyed.
class Slider final : public controls::ISlider {
public:
    static constexpr int32_t kDefaultMax = 10;

    Slider(Context& ctx, std::string name);

    // IContainedControl
    float Left() const override { return m_left; }
    void Left(float value) override;
    float Top() const override { return m_top; }
    void Top(float value) override;
    float Width() const override { return m_width; }
    void Width(float value) override;
    float Height() const override { return m_height; }
    void Height(float value) override;
    bool Visible() const override { return m_visible; }
    void Visible(bool value) override;
    bool Enabled() const override { return m_enabled; }
    void Enabled(bool value) override;

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

    // The simulated user. Each returns whether the slider could be reached.
    bool UserThumbDown();
    // Drags the thumb: Scroll, then the value change (Change when it changed).
    bool UserScrollTo(int32_t value);
    bool UserThumbUp();
    // Clicks the track: only the value change.
    bool UserClickTo(int32_t value);

    void Destroy() { m_destroyed = true; }
    bool IsDestroyed() const { return m_destroyed; }

    const std::string& Name() const { return m_name; }
    int16_t BorderStyle() const { return m_borderStyle; }
    int32_t ForeColor() const { return m_foreColor; }
    int32_t BackColor() const { return m_backColor; }

private:
    bool CanReach() const { return m_visible && m_enabled && !m_destroyed; }
    void Move(int32_t value);

    Context& m_ctx;
    std::string m_name;
    controls::SliderEvents m_events;

    float m_left = 0.0f;
    float m_top = 0.0f;
    float m_width = 0.0f;
    float m_height = 0.0f;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_destroyed = false;

    int32_t m_max = kDefaultMax;
    int32_t m_value = 0;
    int16_t m_borderStyle = 0;
    int32_t m_foreColor = 0;
    int32_t m_backColor = 0xFFFFFF;
};

}  // namespace scenova::headless
