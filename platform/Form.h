#pragma once

#include <cstdint>
#include <functional>

#include "platform/Picture.h"

namespace scenova {

struct FormEvents {
    std::function<void()> Load;
    std::function<void()> LostFocus;
};

// A top-level window of the toolkit. Positions and sizes are twips.
class IForm {
public:
    virtual ~IForm() = default;

    virtual int32_t hWnd() const = 0;
    virtual float Left() const = 0;
    virtual void Left(float value) = 0;
    virtual float Top() const = 0;
    virtual void Top(float value) = 0;
    virtual float Width() const = 0;
    virtual void Width(float value) = 0;
    virtual float Height() const = 0;
    virtual void Height(float value) = 0;
    virtual void Move(float left, float top, float width, float height) = 0;
    virtual bool Visible() const = 0;
    virtual void Visible(bool value) = 0;
    virtual bool Enabled() const = 0;
    virtual void Enabled(bool value) = 0;
    virtual Picture GetPicture() const = 0;
    virtual void SetPicture(const Picture& picture) = 0;
    virtual int32_t BackColor() const = 0;
    virtual void BackColor(int32_t colour) = 0;

    // The window's own unit conversions (pixels of the screen it is on).
    virtual float PixelsToTwipsX(float pixels) const = 0;
    virtual float PixelsToTwipsY(float pixels) const = 0;
    virtual float TwipsToPixelsX(float twips) const = 0;
    virtual float TwipsToPixelsY(float twips) const = 0;

    // Destroys the window and its controls.
    virtual void Unload() = 0;
};

}  // namespace scenova
