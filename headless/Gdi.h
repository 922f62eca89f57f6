#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/PictureFile.h"
#include "formats/PictureStore.h"
#include "headless/Context.h"
#include "platform/Gdi32.h"
#include "platform/Picture.h"

namespace scenova::headless {

// Memory device contexts and bitmaps held in memory, and the pictures that
// wrap them. Bitmaps carry real pixels (32-bit colour references 0x00BBGGRR)
// and a colour depth, so a copy into a bitmap of the wrong format shows.
//
// Depths: 1 (monochrome: every pixel black or white) and 32 (colour). A new
// memory DC holds the stock 1x1 monochrome bitmap, shared by all DCs as on
// Windows; every other bitmap can be selected into one DC at a time.
//
// Handles are positive integers from one counter shared by DCs and bitmaps and
// are never reused, so a stale handle stays invalid.
//
// Trace lines: every gdi32 and olepro32 call is traced before it runs, with
// its arguments as numbers; the picture description of
// OleCreatePictureIndirect shows as "<pictdesc bitmap H>" (", palette P"
// added inside the brackets when a palette is given) and, when its size or
// type is not that of a bitmap description, as
// "<pictdesc size S type T handle H palette P>".
class Gdi : public IGdi32, public IOlePro32 {
public:
    // Largest bitmap side and pixel count; bigger requests fail as an
    // allocation would.
    static constexpr int32_t kMaxSide = formats::kMaxPictureSide;
    static constexpr int64_t kMaxPixels = formats::kMaxPicturePixels;

    explicit Gdi(Context& ctx);
    ~Gdi() override;
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;

    // IGdi32. hdc 0 in CreateCompatibleDC and CreateCompatibleBitmap stands
    // for the screen (32-bit colour).
    int32_t CreateCompatibleDC(int32_t hdc) override;
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

    // IOlePro32. Only bitmap descriptions (size 20, type 1, palette 0) of an
    // existing bitmap make a picture.
    Picture OleCreatePictureIndirect(const PictDesc& desc, bool own) override;

    // Decodes a BMP, PNG, JPEG, GIF, icon (.ico) or cursor (.cur) file as
    // formats::ReadPictureFile does into a picture owning a new 32-bit bitmap.
    // Raises 53 when the path is not an existing file, 481 when the file is
    // not a picture (or a damaged one), 7 when it is too large. Each file is
    // decoded once, and all the files loaded hold at most the lesson's
    // budget (formats::PictureStore): past it, 7.
    Picture LoadPictureFile(const std::string& path);

    // Not traced: the services other headless parts and the tests use.
    // A new bitmap of depth 1 or 32, all pixels black; 0 on failure.
    int32_t CreateBitmap(int32_t width, int32_t height, int32_t bitsPerPixel);
    // False outside the bitmap or for an invalid handle. A monochrome bitmap
    // keeps white as white and turns every other colour black.
    bool SetPixel(int32_t hBitmap, int32_t x, int32_t y, uint32_t colour);
    std::optional<uint32_t> GetPixel(int32_t hBitmap, int32_t x, int32_t y) const;
    // 0 for an invalid handle.
    int32_t BitsPerPixel(int32_t hBitmap) const;
    int32_t BitmapWidth(int32_t hBitmap) const;
    int32_t BitmapHeight(int32_t hBitmap) const;
    // The bitmap selected into a DC; 0 for an invalid DC.
    int32_t SelectedBitmap(int32_t hdc) const;
    int32_t StockBitmap() const;

    // Live objects, the stock bitmap not counted.
    std::size_t LiveDCs() const;
    std::size_t LiveBitmaps() const;
    std::size_t LivePictures() const;

private:
    // Kept apart from the Gdi object so that a picture outliving it finds the
    // objects gone instead of dangling.
    struct State;
    class BitmapPicture;

    Picture MakePicture(int32_t hBitmap, bool own);

    Context& m_ctx;
    std::shared_ptr<State> m_state;
    formats::PictureStore m_pictures;  // the lesson's, one a platform
};

}  // namespace scenova::headless
