#pragma once

#include "platform/Screen.h"

namespace scenova::qt {

// The primary screen: twips per pixel from its logical resolution, each
// direction apart (1440 twips an inch), and the application-wide mouse
// pointer as Qt's override cursor.
class Screen final : public IScreen {
public:
    Screen() = default;
    ~Screen() override;
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    float TwipsPerPixelX() const override;
    float TwipsPerPixelY() const override;
    // The picture is used as the custom pointer (with its hot spot when it
    // came from a cursor file).
    void MouseIcon(const Picture& picture) override;
    // 0 the default pointer (the widgets' own), 99 the custom one, 1 the
    // arrow, 11 the hourglass; other values as the default.
    void MousePointer(int16_t pointer) override;

    int16_t CurrentMousePointer() const { return m_pointer; }

private:
    Picture m_icon;
    int16_t m_pointer = mouse_pointer::Default;
    bool m_overriding = false;
};

}  // namespace scenova::qt
