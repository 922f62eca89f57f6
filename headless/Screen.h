#pragma once

#include "headless/Context.h"
#include "platform/Screen.h"

namespace scenova::headless {

// The headless screen: 15 twips per pixel in both directions.
class Screen final : public IScreen {
public:
    static constexpr float kTwipsPerPixel = 15.0f;

    explicit Screen(Context& ctx) : m_ctx(ctx) {}

    float TwipsPerPixelX() const override { return kTwipsPerPixel; }
    float TwipsPerPixelY() const override { return kTwipsPerPixel; }
    void MouseIcon(const Picture& picture) override;
    void MousePointer(int16_t pointer) override;

    const Picture& CurrentMouseIcon() const { return m_mouseIcon; }
    int16_t CurrentMousePointer() const { return m_mousePointer; }

private:
    Context& m_ctx;
    Picture m_mouseIcon;
    int16_t m_mousePointer = mouse_pointer::Default;
};

}  // namespace scenova::headless
