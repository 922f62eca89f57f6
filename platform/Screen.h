#pragma once

#include <cstdint>

#include "platform/Picture.h"

namespace scenova {

// Mouse pointer values of the application-wide pointer.
namespace mouse_pointer {
inline constexpr int16_t Default = 0;
inline constexpr int16_t Custom = 99;
}  // namespace mouse_pointer

// The screen: its pixel size in twips and the application-wide mouse pointer.
class IScreen {
public:
    virtual ~IScreen() = default;
    virtual float TwipsPerPixelX() const = 0;
    virtual float TwipsPerPixelY() const = 0;
    virtual void MouseIcon(const Picture& picture) = 0;
    virtual void MousePointer(int16_t pointer) = 0;
};

}  // namespace scenova
