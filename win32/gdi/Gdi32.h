#pragma once

// windows.h first: the other system headers rely on it.
#include <windows.h>

#include <ocidl.h>
#include <ole2.h>

#include <utility>

#include "platform/Gdi32.h"
#include "platform/Picture.h"
#include "win32/com/ComPtr.h"

namespace scenova::win32 {

// An OLE picture object seen by the core. Holds one reference to the picture's
// IDispatch; the picture may own its bitmap (then it deletes it when the last
// reference goes).
class OlePicture final : public scenova::IPicture {
public:
    explicit OlePicture(ComPtr<IDispatch> dispatch) noexcept : m_dispatch(std::move(dispatch)) {}
    OlePicture(const OlePicture&) = delete;
    OlePicture& operator=(const OlePicture&) = delete;

    int32_t Handle() const override;
    int32_t Width() const override;
    int32_t Height() const override;

    const ComPtr<IDispatch>& Dispatch() const noexcept { return m_dispatch; }

private:
    SIZE PixelSize() const;
    ComPtr<::IPicture> Ole() const;

    ComPtr<IDispatch> m_dispatch;
};

// GDI objects created through Gdi32 and not yet deleted through it. Windows
// counts them per process (GetGuiResources), Wine does not, so tests read these.
struct GdiCounts {
    int32_t deviceContexts = 0;
    int32_t bitmaps = 0;  // bitmaps handed to a picture stay counted: the picture deletes them
};

// The real gdi32 calls. Handles cross the platform interface as 32-bit values
// (GDI handles fit; HandleToLong/LongToHandle keep them valid on x64).
class Gdi32 final : public scenova::IGdi32 {
public:
    int32_t CreateCompatibleDC(int32_t hdc) override;
    int32_t SelectObject(int32_t hdc, int32_t hObject) override;
    int32_t CreateCompatibleBitmap(int32_t hdc, int32_t width, int32_t height) override;
    bool BitBlt(int32_t hdcDest, int32_t x, int32_t y, int32_t width, int32_t height,
                int32_t hdcSrc, int32_t xSrc, int32_t ySrc, int32_t rop) override;
    bool DeleteDC(int32_t hdc) override;
    bool DeleteObject(int32_t hObject) override;

    // For the whole process, all Gdi32 objects together.
    static GdiCounts Counts() noexcept;
};

// OleCreatePictureIndirect, asked for the picture's IDispatch.
class OlePro32 final : public scenova::IOlePro32 {
public:
    scenova::Picture OleCreatePictureIndirect(const scenova::PictDesc& desc, bool own) override;
};

}  // namespace scenova::win32
