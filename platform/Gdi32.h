#pragma once

#include <cstdint>

#include "platform/Picture.h"

namespace scenova {

// The gdi32 calls of picture clipping. Callers examine only what SelectObject
// gives back (0 when the object cannot be selected, as for a handle that is
// no bitmap or one another DC holds).
class IGdi32 {
public:
    virtual ~IGdi32() = default;
    virtual int32_t CreateCompatibleDC(int32_t hdc) = 0;
    virtual int32_t SelectObject(int32_t hdc, int32_t hObject) = 0;
    virtual int32_t CreateCompatibleBitmap(int32_t hdc, int32_t width, int32_t height) = 0;
    virtual bool BitBlt(int32_t hdcDest, int32_t x, int32_t y, int32_t width, int32_t height,
                        int32_t hdcSrc, int32_t xSrc, int32_t ySrc, int32_t rop) = 0;
    virtual bool DeleteDC(int32_t hdc) = 0;
    virtual bool DeleteObject(int32_t hObject) = 0;
};

// The picture description handed to OleCreatePictureIndirect.
struct PictDesc {
    uint32_t cbSizeofstruct = 20;
    uint32_t picType = 0;
    int32_t hbitmap = 0;
    int32_t hpal = 0;
    uint32_t reserved = 0;
};
static_assert(sizeof(PictDesc) == 20, "the picture description is a 20-byte record");

class IOlePro32 {
public:
    virtual ~IOlePro32() = default;
    // With own set, the picture deletes the bitmap when the last reference
    // goes. Returns no picture on failure.
    virtual Picture OleCreatePictureIndirect(const PictDesc& desc, bool own) = 0;
};

}  // namespace scenova
