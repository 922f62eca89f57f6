#pragma once

#include "headless/Context.h"
#include "platform/Screen.h"

namespace scenova::headless {

// Twips per pixel across (x) and down (y).
struct TwipsPerPixel {
    float x = 15.0f;
    float y = 15.0f;
};

// The headless screen: 15 twips per pixel in both directions unless told
// otherwise, so that tests can tell the axes apart.
class Screen final : public IScreen {
public:
    explicit Screen(Context& ctx, TwipsPerPixel scale = {}) : m_ctx(ctx), m_scale(scale) {}

    float TwipsPerPixelX() const override { return m_scale.x; }
    float TwipsPerPixelY() const override { return m_scale.y; }
    void MouseIcon(const Picture& picture) override;
    void MousePointer(int16_t pointer) override;

    const Picture& CurrentMouseIcon() const { return m_mouseIcon; }
    int16_t CurrentMousePointer() const { return m_mousePointer; }

private:
    Context& m_ctx;
    TwipsPerPixel m_scale;
    Picture m_mouseIcon;
    int16_t m_mousePointer = mouse_pointer::Default;
};

}  // namespace scenova::headless
