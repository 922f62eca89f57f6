#pragma once

#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>

#include "qt/Context.h"
#include "qt/Drawing.h"

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

// The container properties every Qt control gets from its site, kept by the
// model and placed on the control's widget in pixels of the screen. A
// control whose size is in pixels (the main button bar) says so.
template <class Model>
class ContainedControl : public Model {
public:
    QWidget* Widget() const { return m_widget; }
    // The window's scale changed: placed and drawn anew.
    virtual void Rescale() {
        Place();
        if (m_widget) {
            m_widget->update();
        }
    }

protected:
    template <class... Args>
    ContainedControl(Context& ctx, std::string name, Twips twips, bool sizeInPixels, Args&&... args)
        : Model(ctx, std::move(name), std::forward<Args>(args)...),
          m_twips(twips),
          m_sizeInPixels(sizeInPixels) {}

    // The widget the control shows itself in; placed as the values stand.
    void Attach(QWidget* widget) {
        m_widget = widget;
        Place();
        Show();
    }

    // Whether the user could reach the control now: it and every window it
    // lies in are shown and enabled.
    bool UserCanReach() const override {
        return !this->m_destroyed && m_widget && m_widget->isVisible() && m_widget->isEnabled();
    }

    void Placed() override {
        Place();
        Model::Placed();
    }
    void Showing() override { Show(); }

    Twips m_twips;
    QPointer<QWidget> m_widget;

private:
    void Show() {
        if (m_widget) {
            m_widget->setVisible(this->m_visible);
            m_widget->setEnabled(this->m_enabled);
        }
    }

    void Place() {
        if (!m_widget) {
            return;
        }
        const double scale = ScaleOf(m_widget);
        const double sizeX = (m_sizeInPixels ? 1.0 : m_twips.perPixelX) / scale;
        const double sizeY = (m_sizeInPixels ? 1.0 : m_twips.perPixelY) / scale;
        // Positions may be negative: a control may lie partly outside.
        m_widget->setGeometry(WholePosition(this->m_left / m_twips.perPixelX * scale),
                              WholePosition(this->m_top / m_twips.perPixelY * scale),
                              WholePixels(this->m_width / sizeX),
                              WholePixels(this->m_height / sizeY));
    }

    bool m_sizeInPixels;
};

}  // namespace scenova::qt
