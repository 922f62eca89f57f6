#pragma once

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "formats/PictureFile.h"
#include "platform/Gdi32.h"
#include "platform/Picture.h"

namespace scenova::qt {

// Bitmaps held as QImages, memory device contexts that each hold one bitmap,
// and the pictures that wrap bitmaps. As on Windows, a new device context
// holds a shared 1x1 monochrome stock bitmap, a bitmap made compatible with a
// device context takes the depth of the bitmap selected into it (1 or 32
// bits a pixel), a copy into a monochrome bitmap keeps white and makes every
// other colour black, and a bitmap can be selected into one device context
// at a time. Handles are never reused.
class Gdi final : public IGdi32, public IOlePro32 {
public:
    Gdi();
    ~Gdi() override;
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;

    // IGdi32; hdc 0 stands for the screen (32-bit colour).
    int32_t CreateCompatibleDC(int32_t hdc) override;
    int32_t SelectObject(int32_t hdc, int32_t hObject) override;
    int32_t CreateCompatibleBitmap(int32_t hdc, int32_t width, int32_t height) override;
    // SRCCOPY only; other raster operations return false and change nothing.
    bool BitBlt(int32_t hdcDest, int32_t x, int32_t y, int32_t width, int32_t height,
                int32_t hdcSrc, int32_t xSrc, int32_t ySrc, int32_t rop) override;
    bool DeleteDC(int32_t hdc) override;
    bool DeleteObject(int32_t hObject) override;

    // IOlePro32: only bitmap descriptions of an existing bitmap make a picture.
    Picture OleCreatePictureIndirect(const PictDesc& desc, bool own) override;

    // Reads a picture file as every platform reads it (a cursor file keeps
    // its transparency and hot spot). Raises 53, 481 or 7 as the reader does.
    Picture LoadPictureFile(const std::string& path);

    // For tests: a 32-bit bitmap, all black (0 on failure), and its pixels
    // as colour references.
    int32_t CreateBitmap(int32_t width, int32_t height);
    bool SetPixel(int32_t hBitmap, int32_t x, int32_t y, uint32_t colour);
    std::optional<uint32_t> GetPixel(int32_t hBitmap, int32_t x, int32_t y) const;

    // Live device contexts and bitmaps (the stock bitmap not counted).
    std::size_t LiveDCs() const;
    std::size_t LiveBitmaps() const;

private:
    struct State;
    class BitmapPicture;
    friend QImage ImageOf(const Picture& picture);
    friend std::optional<QPoint> HotspotOf(const Picture& picture);

    Picture NewPicture(QImage image, std::optional<QPoint> hotspot);

    std::shared_ptr<State> m_state;
};

// A picture or cursor as the shared reader gives it, as an image (a cursor
// with its transparency). Raises 7 when the image cannot be held.
QImage ToQImage(const formats::DecodedPicture& picture);
QImage ToQImage(const formats::DecodedCursor& cursor);

// The image of a picture the Qt platform made; a null image for no picture
// or a picture whose bitmap is gone.
QImage ImageOf(const Picture& picture);
// The hot spot of a picture loaded from a cursor file.
std::optional<QPoint> HotspotOf(const Picture& picture);

}  // namespace scenova::qt
