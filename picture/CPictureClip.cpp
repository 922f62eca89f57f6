#include "picture/CPictureClip.h"

#include <string>

#include "platform/Win32Constants.h"
#include "runtime/RuntimeError.h"

namespace scenova {

Picture CPictureClip::CreatePictureClip(const int32_t& hBmp, const int16_t& x, const int16_t& y,
                                        const int16_t& cx, const int16_t& cy) {
    if (hBmp == 0) {
        return nullptr;
    }
    IGdi32& gdi = m_platform.gdi32();
    const int32_t source = gdi.CreateCompatibleDC(0);
    const int32_t target = gdi.CreateCompatibleDC(0);
    const auto invalid = [&] {
        gdi.DeleteDC(source);
        gdi.DeleteDC(target);
        Raise(err::InvalidPicture, "CreatePictureClip: handle " + std::to_string(hBmp) +
                                       " is no bitmap that can be selected");
    };
    // The source goes in first: the new bitmap takes the colour format of the
    // bitmap selected into the device context it is made for. A handle that
    // is no bitmap (a device context, a number) or a bitmap that another DC
    // holds cannot be selected.
    const int32_t sourceOld = gdi.SelectObject(source, hBmp);
    if (sourceOld == 0) {
        invalid();
    }
    const int32_t clip = gdi.CreateCompatibleBitmap(source, cx, cy);
    const int32_t targetOld = gdi.SelectObject(target, clip);
    // Both DCs are new and held the default bitmap, one stock object for all
    // memory DCs: selecting a bitmap into either gave that back. A brush, a
    // pen or a font is selected all the same, but gives back the DC's
    // default one of its own kind instead.
    if (targetOld != 0 && sourceOld != targetOld) {
        gdi.SelectObject(source, sourceOld);
        gdi.SelectObject(target, targetOld);
        gdi.DeleteObject(clip);
        invalid();
    }
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
