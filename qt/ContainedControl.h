#pragma once

#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>

#include "qt/Context.h"

namespace scenova::qt {

// The screen's pixel size in twips, horizontal and vertical apart.
struct Twips {
    float perPixelX = 15.0f;
    float perPixelY = 15.0f;
};

// Twips (or pixels) as a whole number of pixels a widget can take: NaN and
// negatives as 0, beyond the largest widget as that.
inline int WholePixels(double pixels) {
    constexpr double kMost = 16777215.0;  // QWIDGETSIZE_MAX
    if (!(pixels > 0.0)) {
        return 0;
    }
    return static_cast<int>(std::lround(std::min(pixels, kMost)));
}

// A position in pixels a widget can take (it may be negative): NaN as 0.
inline int WholePosition(double pixels) {
    constexpr double kMost = 16777215.0;
    return std::isfinite(pixels) ? static_cast<int>(std::lround(std::clamp(pixels, -kMost, kMost)))
                                 : (pixels > 0   ? static_cast<int>(kMost)
                                    : pixels < 0 ? -static_cast<int>(kMost)
                                                 : 0);
}

// The container properties every Qt control gets from its site: kept as
// set, and placed on the control's widget in pixels of the screen. A control
// whose size is in pixels (the main button bar) says so.
template <class Interface>
class ContainedControl : public Interface {
public:
    float Left() const override { return m_left; }
    void Left(float value) override { Set(m_left, value); }
    float Top() const override { return m_top; }
    void Top(float value) override { Set(m_top, value); }
    float Width() const override { return m_width; }
    void Width(float value) override { Set(m_width, value); }
    float Height() const override { return m_height; }
    void Height(float value) override { Set(m_height, value); }
    bool Visible() const override { return m_visible; }
    void Visible(bool value) override {
        m_visible = value;
        if (m_widget) {
            m_widget->setVisible(value);
        }
    }
    bool Enabled() const override { return m_enabled; }
    void Enabled(bool value) override {
        m_enabled = value;
        if (m_widget) {
            m_widget->setEnabled(value);
        }
    }

    const std::string& Name() const { return m_name; }
    QWidget* Widget() const { return m_widget; }

protected:
    ContainedControl(Context& ctx, std::string name, Twips twips, bool sizeInPixels = false)
        : m_ctx(ctx), m_name(std::move(name)), m_twips(twips), m_sizeInPixels(sizeInPixels) {}

    // The widget the control shows itself in; placed as the values stand.
    void Attach(QWidget* widget) {
        m_widget = widget;
        Place();
        m_widget->setVisible(m_visible);
        m_widget->setEnabled(m_enabled);
    }

    // Whether the user could reach the control now: it and every window it
    // lies in are shown and enabled.
    bool UserCanReach() const { return m_widget && m_widget->isVisible() && m_widget->isEnabled(); }

    // The control's place changed (for controls that lay out their content).
    virtual void Placed() {}

    Context& m_ctx;
    std::string m_name;
    Twips m_twips;
    QPointer<QWidget> m_widget;

private:
    void Set(float& field, float value) {
        field = value;
        Place();
    }

    void Place() {
        if (!m_widget) {
            return;
        }
        const double sizeX = m_sizeInPixels ? 1.0 : m_twips.perPixelX;
        const double sizeY = m_sizeInPixels ? 1.0 : m_twips.perPixelY;
        // Positions may be negative: a control may lie partly outside.
        m_widget->setGeometry(WholePosition(m_left / m_twips.perPixelX),
                              WholePosition(m_top / m_twips.perPixelY),
                              WholePixels(m_width / sizeX), WholePixels(m_height / sizeY));
        Placed();
    }

    bool m_sizeInPixels;
    float m_left = 0.0f;
    float m_top = 0.0f;
    float m_width = 0.0f;
    float m_height = 0.0f;
    bool m_visible = true;
    bool m_enabled = true;
};

}  // namespace scenova::qt
