#pragma once

#include <windows.h>

#include "platform/Screen.h"

namespace scenova::win32 {

// The screen of the process: twips per pixel from the display's logical DPI
// (1440 twips an inch), and the application-wide mouse pointer, which every
// window of the toolkit shows while it is not the default.
class Screen final : public IScreen {
public:
    float TwipsPerPixelX() const override;
    float TwipsPerPixelY() const override;
    void MouseIcon(const Picture& picture) override;
    void MousePointer(int16_t pointer) override;

    // The cursor that overrides the windows' own, or null for none.
    HCURSOR ApplicationCursor() const;

private:
    void Apply() const;

    Picture m_mouseIcon;
    int16_t m_mousePointer = mouse_pointer::Default;
};

}  // namespace scenova::win32
