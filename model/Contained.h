#pragma once

#include <functional>
#include <string>
#include <utility>

#include "model/Context.h"

namespace scenova::model {

// The container properties every control gets from its site, on every
// platform: kept as set (twips), every assignment recorded under the
// control's name. A platform shows them through Placed() and Showing().
template <class Interface>
class Contained : public Interface {
public:
    float Left() const override { return m_left; }
    void Left(float value) override { Assign(Member::Left, m_left, value); }
    float Top() const override { return m_top; }
    void Top(float value) override { Assign(Member::Top, m_top, value); }
    float Width() const override { return m_width; }
    void Width(float value) override { Assign(Member::Width, m_width, value); }
    float Height() const override { return m_height; }
    void Height(float value) override { Assign(Member::Height, m_height, value); }
    bool Visible() const override { return m_visible; }
    void Visible(bool value) override { Assign(Member::Visible, m_visible, value); }
    bool Enabled() const override { return m_enabled; }
    void Enabled(bool value) override { Assign(Member::Enabled, m_enabled, value); }

    const std::string& Name() const { return m_name; }

    // The window the control sits on: while it is disabled, the user's input
    // reaches none of its controls.
    void SetWindowTakesInput(std::function<bool()> takesInput) {
        m_windowTakesInput = std::move(takesInput);
    }

    // Destroyed with its window: from now on the user reaches nothing.
    bool IsDestroyed() const { return m_destroyed; }

protected:
    Contained(Context& ctx, std::string name) : m_ctx(ctx), m_name(std::move(name)) {}

    // The place or size changed, or whether the control shows or takes input.
    virtual void Placed() {}
    virtual void Showing() {}

    // Whether a user could reach the control now: it is shown and enabled,
    // not destroyed, and its window takes input. A platform whose widgets
    // know better says so.
    virtual bool UserCanReach() const {
        return m_visible && m_enabled && !m_destroyed &&
               (!m_windowTakesInput || m_windowTakesInput());
    }

    Context& m_ctx;
    std::string m_name;
    float m_left = 0.0f;
    float m_top = 0.0f;
    float m_width = 0.0f;
    float m_height = 0.0f;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_destroyed = false;

private:
    std::function<bool()> m_windowTakesInput;

    template <class T>
    void Assign(Member property, T& field, T value) {
        m_ctx.Put(m_name, property, value);
        field = value;
        if constexpr (std::is_same_v<T, bool>) {
            Showing();
        } else {
            Placed();
        }
    }
};

}  // namespace scenova::model
