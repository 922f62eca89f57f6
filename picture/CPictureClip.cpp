#include "picture/CPictureClip.h"

#include "platform/Win32Constants.h"

namespace scenova {

Picture CPictureClip::CreatePictureClip(const int32_t& hBmp, const int16_t& x, const int16_t& y,
                                        const int16_t& cx, const int16_t& cy) {
    if (hBmp == 0) {
        return nullptr;
    }
    IGdi32& gdi = m_platform.gdi32();
    const int32_t source = gdi.CreateCompatibleDC(0);
    const int32_t target = gdi.CreateCompatibleDC(0);
    // The source goes in first: the new bitmap takes the colour format of the
    // bitmap selected into the device context it is made for.
    const int32_t sourceOld = gdi.SelectObject(source, hBmp);
    const int32_t clip = gdi.CreateCompatibleBitmap(source, cx, cy);
    const int32_t targetOld = gdi.SelectObject(target, clip);
    gdi.BitBlt(target, 0, 0, cx, cy, source, x, y, win::SRCCOPY);
    gdi.SelectObject(source, sourceOld);
    gdi.DeleteDC(source);
    gdi.SelectObject(target, targetOld);
    gdi.DeleteDC(target);
    Picture picture = PictureFromBitmap(clip, 0);
    if (!picture && clip != 0) {
        // Nobody else would ever free the bitmap.
        gdi.DeleteObject(clip);
    }
    return picture;
}

Picture CPictureClip::PictureFromBitmap(int32_t hBmp, int32_t hPal) {
    PictDesc desc;
    desc.cbSizeofstruct = sizeof(PictDesc);
    desc.picType = win::PICTYPE_BITMAP;
    desc.hbitmap = hBmp;
    desc.hpal = hPal;
    return m_platform.olepro32().OleCreatePictureIndirect(desc, true);
}

}  // namespace scenova
