#include "win32/gdi/Gdi32.h"

#include <olectl.h>

#include <memory>

#include "runtime/RuntimeError.h"

namespace scenova::win32 {

namespace {

GdiCounts g_counts;

HANDLE ToHandle(int32_t value) noexcept {
    return LongToHandle(value);
}
HDC ToDC(int32_t value) noexcept {
    return static_cast<HDC>(ToHandle(value));
}
int32_t FromHandle(HANDLE handle) noexcept {
    return HandleToLong(handle);
}

}  // namespace

ComPtr<::IPicture> OlePicture::Ole() const {
    ComPtr<::IPicture> picture;
    if (FAILED(m_dispatch->QueryInterface(IID_IPicture, &picture))) {
        Raise(err::InvalidPicture, "the OLE picture has no IPicture interface");
    }
    return picture;
}

int32_t OlePicture::Handle() const {
    OLE_HANDLE handle = 0;
    if (FAILED(Ole()->get_Handle(&handle))) {
        Raise(err::InvalidPicture, "the OLE picture gave no handle");
    }
    return static_cast<int32_t>(handle);
}

SIZE OlePicture::PixelSize() const {
    const ComPtr<::IPicture> picture = Ole();
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Type(&type);
    picture->get_Handle(&handle);
    picture->get_Width(&width);
    picture->get_Height(&height);
    BITMAP bitmap{};
    if (type == PICTYPE_BITMAP &&
        GetObjectW(ToHandle(static_cast<int32_t>(handle)), sizeof bitmap, &bitmap) != 0) {
        return SIZE{bitmap.bmWidth, bitmap.bmHeight};
    }
    // Other kinds know only their HIMETRIC size: convert at the screen's resolution.
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return SIZE{MulDiv(width, dpiX, 2540), MulDiv(height, dpiY, 2540)};
}

int32_t OlePicture::Width() const {
    return PixelSize().cx;
}

int32_t OlePicture::Height() const {
    return PixelSize().cy;
}

int32_t Gdi32::CreateCompatibleDC(int32_t hdc) {
    HDC dc = ::CreateCompatibleDC(ToDC(hdc));
    if (dc != nullptr) {
        ++g_counts.deviceContexts;
    }
    return FromHandle(dc);
}

int32_t Gdi32::SelectObject(int32_t hdc, int32_t hObject) {
    return FromHandle(::SelectObject(ToDC(hdc), ToHandle(hObject)));
}

int32_t Gdi32::CreateCompatibleBitmap(int32_t hdc, int32_t width, int32_t height) {
    HBITMAP bitmap = ::CreateCompatibleBitmap(ToDC(hdc), width, height);
    if (bitmap != nullptr) {
        ++g_counts.bitmaps;
    }
    return FromHandle(bitmap);
}

bool Gdi32::BitBlt(int32_t hdcDest, int32_t x, int32_t y, int32_t width, int32_t height,
                   int32_t hdcSrc, int32_t xSrc, int32_t ySrc, int32_t rop) {
    return ::BitBlt(ToDC(hdcDest), x, y, width, height, ToDC(hdcSrc), xSrc, ySrc,
                    static_cast<DWORD>(rop)) != FALSE;
}

bool Gdi32::DeleteDC(int32_t hdc) {
    const bool deleted = ::DeleteDC(ToDC(hdc)) != FALSE;
    if (deleted) {
        --g_counts.deviceContexts;
    }
    return deleted;
}

bool Gdi32::DeleteObject(int32_t hObject) {
    const bool isBitmap = GetObjectType(ToHandle(hObject)) == OBJ_BITMAP;
    const bool deleted = ::DeleteObject(ToHandle(hObject)) != FALSE;
    if (deleted && isBitmap) {
        --g_counts.bitmaps;
    }
    return deleted;
}

GdiCounts Gdi32::Counts() noexcept {
    return g_counts;
}

scenova::Picture OlePro32::OleCreatePictureIndirect(const scenova::PictDesc& desc, bool own) {
    // The core's record is the 32-bit layout; the native one has pointer-sized handles.
    PICTDESC native{};
    native.cbSizeofstruct = sizeof native;
    native.picType = desc.picType;
    if (desc.picType == PICTYPE_BITMAP) {
        native.bmp.hbitmap = static_cast<HBITMAP>(ToHandle(desc.hbitmap));
        native.bmp.hpal = static_cast<HPALETTE>(ToHandle(desc.hpal));
    }
    ComPtr<IDispatch> dispatch;
    if (FAILED(::OleCreatePictureIndirect(&native, IID_IDispatch, own ? TRUE : FALSE, &dispatch)) ||
        !dispatch) {
        return nullptr;
    }
    return std::make_shared<OlePicture>(std::move(dispatch));
}

}  // namespace scenova::win32
