#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace scenova {

// Cuts a rectangle out of a bitmap into a new picture object. The source
// bitmap stays the caller's; the new bitmap belongs to the picture.
class CPictureClip {
public:
    explicit CPictureClip(Platform& platform) : m_platform(platform) {}

    // Sizes and coordinates are pixels of the source. No picture when hBmp is
    // 0; run-time error 481 (invalid picture) when it is no bitmap that can
    // be selected (another object, a number, a bitmap another DC holds).
    Picture CreatePictureClip(const int32_t& hBmp, const int16_t& x, const int16_t& y,
                              const int16_t& cx, const int16_t& cy);

private:
    Picture PictureFromBitmap(int32_t hBmp, int32_t hPal);

    Platform& m_platform;
};

}  // namespace scenova
