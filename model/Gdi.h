#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "formats/PictureFile.h"
#include "formats/PictureStore.h"
#include "model/Context.h"
#include "platform/Gdi32.h"
#include "platform/Picture.h"

namespace scenova::model {

// The pixels of one bitmap as a platform stores them, read and written as
// 32-bit colour references (0x00BBGGRR) a rectangle at a time, row by row.
// Rectangles passed lie inside the bitmap.
class IPixels {
public:
    virtual ~IPixels() = default;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    virtual std::vector<uint32_t> Read(int32_t x, int32_t y, int32_t width,
                                       int32_t height) const = 0;
    virtual void Write(int32_t x, int32_t y, int32_t width, int32_t height,
                       const std::vector<uint32_t>& pixels) = 0;
};

// Memory device contexts, bitmaps and the pictures that wrap them, as
// Windows keeps them, over the platform's pixels.
//
// Depths: 1 (monochrome: every pixel black or white) and 32 (colour). A new
// memory DC holds the stock 1x1 monochrome bitmap, shared by all DCs; every
// other bitmap can be selected into one DC at a time. A bitmap made
// compatible with a DC takes the depth of the bitmap selected into it (hdc 0
// stands for the screen: 32 bits). A copy into a monochrome bitmap keeps
// white and makes every other colour black; a copy within one bitmap reads
// the pixels as they were before it.
//
// Handles are positive integers from one counter shared by DCs and bitmaps
// and are never reused, so a stale handle stays invalid. Every call is
// recorded before it runs, with its arguments as numbers; the picture
// description shows as "<pictdesc bitmap H>" (", palette P" added inside
// the brackets when a palette is given) and, when its size or type is not
// that of a bitmap description, as "<pictdesc size S type T handle H
// palette P>".
class Gdi : public IGdi32, public IOlePro32 {
public:
    // Largest bitmap side and pixel count; bigger requests fail as an
    // allocation would.
    static constexpr int32_t kMaxSide = formats::kMaxPictureSide;
    static constexpr int64_t kMaxPixels = formats::kMaxPicturePixels;

    // The platform's pixels for a new bitmap, all black; null when they
    // cannot be had.
    using PixelStore = std::function<std::unique_ptr<IPixels>(int32_t width, int32_t height)>;

    Gdi(Context& ctx, PixelStore newPixels);
    ~Gdi() override;
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;

    int32_t CreateCompatibleDC(int32_t hdc) override;
    // 0, nothing selected, for a handle that is no bitmap (a DC, a number),
    // a bitmap another DC holds or a DC that is none, as gdi32 for a memory DC.
    int32_t SelectObject(int32_t hdc, int32_t hObject) override;
    int32_t CreateCompatibleBitmap(int32_t hdc, int32_t width, int32_t height) override;
    // SRCCOPY only; other raster operations return false and change nothing.
    bool BitBlt(int32_t hdcDest, int32_t x, int32_t y, int32_t width, int32_t height,
                int32_t hdcSrc, int32_t xSrc, int32_t ySrc, int32_t rop) override;
    bool DeleteDC(int32_t hdc) override;
    // False for an invalid handle (a DC included) and for a bitmap still
    // selected into a DC, which then stays alive. The stock bitmap is never
    // deleted (true).
    bool DeleteObject(int32_t hObject) override;
    // Only bitmap descriptions (size 20, type 1, palette 0) of an existing
    // bitmap make a picture.
    Picture OleCreatePictureIndirect(const PictDesc& desc, bool own) override;

    // Not recorded: the services the platform and the tests use.
    // A new bitmap of depth 1 or 32, all pixels black; 0 on failure.
    int32_t CreateBitmap(int32_t width, int32_t height, int32_t bitsPerPixel);
    // False outside the bitmap or for an invalid handle. A monochrome bitmap
    // keeps white as white and turns every other colour black.
    bool SetPixel(int32_t hBitmap, int32_t x, int32_t y, uint32_t colour);
    std::optional<uint32_t> GetPixel(int32_t hBitmap, int32_t x, int32_t y) const;
    // 0 for an invalid handle.
    int32_t BitsPerPixel(int32_t hBitmap) const;
    // The bitmap selected into a DC; 0 for an invalid DC.
    int32_t SelectedBitmap(int32_t hdc) const;
    int32_t StockBitmap() const;
    // Live objects, the stock bitmap not counted.
    std::size_t LiveDCs() const;
    std::size_t LiveBitmaps() const;
    std::size_t LivePictures() const;

    // The pixels of a picture this table made; null for another picture or
    // one whose bitmap is gone.
    static const IPixels* PixelsOf(const Picture& picture);

protected:
    // A picture owning a new 32-bit bitmap made of these pixels (a file the
    // platform read); raises 7 when no handle is left or the size is beyond
    // the limits.
    Picture Adopt(std::unique_ptr<IPixels> pixels);

    // The lesson's picture files, each decoded once and all of them within
    // the lesson's budget: every platform loads its pictures through it.
    formats::PictureStore& Pictures() { return m_pictures; }

private:
    struct State;
    class BitmapPicture;

    int32_t NewBitmap(int32_t width, int32_t height, int32_t bitsPerPixel);
    Picture MakePicture(int32_t hBitmap, bool own);

    Context& m_ctx;
    PixelStore m_newPixels;
    std::shared_ptr<State> m_state;
    formats::PictureStore m_pictures;
};

}  // namespace scenova::model
