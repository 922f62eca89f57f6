#include "headless/Gdi.h"

#include <algorithm>
#include <limits>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "formats/PictureFile.h"
#include "platform/Win32Constants.h"
#include "runtime/RuntimeError.h"

namespace scenova::headless {

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;

// What a pixel becomes in a bitmap of the given depth. Going to monochrome,
// the source's background colour (white in a fresh DC) becomes white and
// every other colour black, as a colour-to-monochrome copy does.
uint32_t ToDepth(uint32_t colour, int32_t bitsPerPixel) {
    colour &= kWhite;
    if (bitsPerPixel == 1) {
        return colour == kWhite ? kWhite : 0;
    }
    return colour;
}

std::size_t PixelIndex(int64_t x, int64_t y, int64_t width) {
    return static_cast<std::size_t>(y * width + x);
}

std::string DescribePictDesc(const PictDesc& desc) {
    if (desc.cbSizeofstruct == 20 && desc.picType == static_cast<uint32_t>(win::PICTYPE_BITMAP)) {
        std::string text = "<pictdesc bitmap " + std::to_string(desc.hbitmap);
        if (desc.hpal != 0) {
            text += ", palette " + std::to_string(desc.hpal);
        }
        return text + ">";
    }
    return "<pictdesc size " + std::to_string(desc.cbSizeofstruct) + " type " +
           std::to_string(desc.picType) + " handle " + std::to_string(desc.hbitmap) + " palette " +
           std::to_string(desc.hpal) + ">";
}

}  // namespace

struct Gdi::State {
    struct Bitmap {
        int32_t width = 0;
        int32_t height = 0;
        int32_t bitsPerPixel = 0;
        std::vector<uint32_t> pixels;  // row by row, top row first
        int32_t selectedInto = 0;      // the DC holding it; not kept for the stock bitmap
    };
    struct Dc {
        int32_t bitmap = 0;
    };

    std::map<int32_t, Bitmap> bitmaps;
    std::map<int32_t, Dc> dcs;
    std::size_t pictures = 0;  // picture objects alive
    int32_t stockBitmap = 0;
    int32_t lastHandle = 0;

    int32_t NewHandle() {
        if (lastHandle == std::numeric_limits<int32_t>::max()) {
            return 0;
        }
        return ++lastHandle;
    }

    static bool CanMake(int32_t width, int32_t height, int32_t bitsPerPixel) {
        return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
               int64_t{width} * height <= kMaxPixels && (bitsPerPixel == 1 || bitsPerPixel == 32);
    }

    int32_t NewBitmap(int32_t width, int32_t height, int32_t bitsPerPixel) {
        if (!CanMake(width, height, bitsPerPixel)) {
            return 0;
        }
        std::vector<uint32_t> pixels;
        try {
            pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
        } catch (const std::bad_alloc&) {
            return 0;
        }
        return AdoptBitmap(width, height, bitsPerPixel, std::move(pixels));
    }

    // A bitmap made of pixels already there (a decoded file), without a
    // second copy of them; 0 when the size does not fit the pixels.
    int32_t AdoptBitmap(int32_t width, int32_t height, int32_t bitsPerPixel,
                        std::vector<uint32_t> pixels) {
        if (!CanMake(width, height, bitsPerPixel) ||
            pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
            return 0;
        }
        const int32_t handle = NewHandle();
        if (handle == 0) {
            return 0;
        }
        Bitmap bitmap;
        bitmap.width = width;
        bitmap.height = height;
        bitmap.bitsPerPixel = bitsPerPixel;
        bitmap.pixels = std::move(pixels);
        bitmaps.emplace(handle, std::move(bitmap));
        return handle;
    }

    Bitmap* FindBitmap(int32_t handle) {
        auto it = bitmaps.find(handle);
        return it == bitmaps.end() ? nullptr : &it->second;
    }
    const Bitmap* FindBitmap(int32_t handle) const {
        auto it = bitmaps.find(handle);
        return it == bitmaps.end() ? nullptr : &it->second;
    }
    Dc* FindDc(int32_t handle) {
        auto it = dcs.find(handle);
        return it == dcs.end() ? nullptr : &it->second;
    }

    bool DeleteBitmap(int32_t handle) {
        if (handle == stockBitmap) {
            return true;
        }
        const Bitmap* bitmap = FindBitmap(handle);
        if (bitmap == nullptr || bitmap->selectedInto != 0) {
            return false;
        }
        bitmaps.erase(handle);
        return true;
    }
};

class Gdi::BitmapPicture final : public IPicture {
public:
    BitmapPicture(std::weak_ptr<State> state, int32_t handle, int32_t width, int32_t height,
                  bool own)
        : m_state(std::move(state)),
          m_handle(handle),
          m_width(width),
          m_height(height),
          m_own(own) {
        if (auto s = m_state.lock()) {
            ++s->pictures;
        }
    }
    ~BitmapPicture() override {
        auto state = m_state.lock();
        if (!state) {
            return;
        }
        --state->pictures;
        if (m_own) {
            state->DeleteBitmap(m_handle);
        }
    }
    BitmapPicture(const BitmapPicture&) = delete;
    BitmapPicture& operator=(const BitmapPicture&) = delete;

    int32_t Handle() const override { return m_handle; }
    int32_t Width() const override { return m_width; }
    int32_t Height() const override { return m_height; }

private:
    std::weak_ptr<State> m_state;
    int32_t m_handle;
    int32_t m_width;
    int32_t m_height;
    bool m_own;
};

Gdi::Gdi(Context& ctx) : m_ctx(ctx), m_state(std::make_shared<State>()) {
    m_state->stockBitmap = m_state->NewBitmap(1, 1, 1);
}

Gdi::~Gdi() = default;

int32_t Gdi::CreateCompatibleDC(int32_t hdc) {
    m_ctx.trace.Call("gdi32", "CreateCompatibleDC", hdc);
    if (hdc != 0 && m_state->FindDc(hdc) == nullptr) {
        return 0;
    }
    const int32_t handle = m_state->NewHandle();
    if (handle != 0) {
        m_state->dcs.emplace(handle, State::Dc{m_state->stockBitmap});
    }
    return handle;
}

int32_t Gdi::SelectObject(int32_t hdc, int32_t hObject) {
    m_ctx.trace.Call("gdi32", "SelectObject", hdc, hObject);
    State::Dc* dc = m_state->FindDc(hdc);
    State::Bitmap* bitmap = m_state->FindBitmap(hObject);
    if (dc == nullptr || bitmap == nullptr) {
        return 0;
    }
    const bool stock = hObject == m_state->stockBitmap;
    if (!stock && bitmap->selectedInto != 0 && bitmap->selectedInto != hdc) {
        return 0;
    }
    const int32_t previous = dc->bitmap;
    if (previous != m_state->stockBitmap) {
        if (State::Bitmap* old = m_state->FindBitmap(previous)) {
            old->selectedInto = 0;
        }
    }
    if (!stock) {
        bitmap->selectedInto = hdc;
    }
    dc->bitmap = hObject;
    return previous;
}

int32_t Gdi::CreateCompatibleBitmap(int32_t hdc, int32_t width, int32_t height) {
    m_ctx.trace.Call("gdi32", "CreateCompatibleBitmap", hdc, width, height);
    int32_t bitsPerPixel = 32;  // the screen
    if (hdc != 0) {
        const State::Dc* dc = m_state->FindDc(hdc);
        if (dc == nullptr) {
            return 0;
        }
        const State::Bitmap* selected = m_state->FindBitmap(dc->bitmap);
        if (selected == nullptr) {
            return 0;
        }
        bitsPerPixel = selected->bitsPerPixel;
    }
    return m_state->NewBitmap(width, height, bitsPerPixel);
}

bool Gdi::BitBlt(int32_t hdcDest, int32_t x, int32_t y, int32_t width, int32_t height,
                 int32_t hdcSrc, int32_t xSrc, int32_t ySrc, int32_t rop) {
    m_ctx.trace.Call("gdi32", "BitBlt", hdcDest, x, y, width, height, hdcSrc, xSrc, ySrc, rop);
    if (rop != win::SRCCOPY) {
        return false;
    }
    const State::Dc* destDc = m_state->FindDc(hdcDest);
    const State::Dc* srcDc = m_state->FindDc(hdcSrc);
    if (destDc == nullptr || srcDc == nullptr) {
        return false;
    }
    State::Bitmap* dest = m_state->FindBitmap(destDc->bitmap);
    const State::Bitmap* src = m_state->FindBitmap(srcDc->bitmap);
    if (dest == nullptr || src == nullptr) {
        return false;
    }
    // The part of the rectangle inside both bitmaps, as offsets i, j from its
    // corner; 64-bit so no coordinate sum can overflow.
    const int64_t i0 = std::max({int64_t{0}, -int64_t{x}, -int64_t{xSrc}});
    const int64_t i1 =
        std::min({int64_t{width}, int64_t{dest->width} - x, int64_t{src->width} - xSrc});
    const int64_t j0 = std::max({int64_t{0}, -int64_t{y}, -int64_t{ySrc}});
    const int64_t j1 =
        std::min({int64_t{height}, int64_t{dest->height} - y, int64_t{src->height} - ySrc});
    if (i0 >= i1 || j0 >= j1) {
        return true;
    }
    // A copy within one bitmap reads the pixels as they were before it.
    std::vector<uint32_t> snapshot;
    const std::vector<uint32_t>* from = &src->pixels;
    if (src == dest) {
        snapshot = src->pixels;
        from = &snapshot;
    }
    for (int64_t j = j0; j < j1; ++j) {
        for (int64_t i = i0; i < i1; ++i) {
            dest->pixels[PixelIndex(x + i, y + j, dest->width)] =
                ToDepth((*from)[PixelIndex(xSrc + i, ySrc + j, src->width)], dest->bitsPerPixel);
        }
    }
    return true;
}

bool Gdi::DeleteDC(int32_t hdc) {
    m_ctx.trace.Call("gdi32", "DeleteDC", hdc);
    const State::Dc* dc = m_state->FindDc(hdc);
    if (dc == nullptr) {
        return false;
    }
    if (dc->bitmap != m_state->stockBitmap) {
        if (State::Bitmap* bitmap = m_state->FindBitmap(dc->bitmap)) {
            bitmap->selectedInto = 0;
        }
    }
    m_state->dcs.erase(hdc);
    return true;
}

bool Gdi::DeleteObject(int32_t hObject) {
    m_ctx.trace.Call("gdi32", "DeleteObject", hObject);
    return m_state->DeleteBitmap(hObject);
}

Picture Gdi::OleCreatePictureIndirect(const PictDesc& desc, bool own) {
    m_ctx.trace.Call("olepro32", "OleCreatePictureIndirect", TraceObject{DescribePictDesc(desc)},
                     own);
    if (desc.cbSizeofstruct != 20 || desc.picType != static_cast<uint32_t>(win::PICTYPE_BITMAP) ||
        desc.hpal != 0 || m_state->FindBitmap(desc.hbitmap) == nullptr) {
        return nullptr;
    }
    return MakePicture(desc.hbitmap, own);
}

Picture Gdi::MakePicture(int32_t hBitmap, bool own) {
    const State::Bitmap* bitmap = m_state->FindBitmap(hBitmap);
    return std::make_shared<BitmapPicture>(m_state, hBitmap, bitmap->width, bitmap->height, own);
}

Picture Gdi::LoadPictureFile(const std::string& path) {
    const std::shared_ptr<const formats::DecodedPicture> decoded = m_pictures.Read(path);
    // A new bitmap each time, as a loaded picture is the caller's to change.
    std::vector<uint32_t> pixels;
    try {
        pixels = decoded->pixels;
    } catch (const std::bad_alloc&) {
        Raise(err::OutOfMemory);
    }
    const int32_t handle =
        m_state->AdoptBitmap(decoded->width, decoded->height, 32, std::move(pixels));
    if (handle == 0) {
        Raise(err::OutOfMemory);
    }
    return MakePicture(handle, true);
}

int32_t Gdi::CreateBitmap(int32_t width, int32_t height, int32_t bitsPerPixel) {
    return m_state->NewBitmap(width, height, bitsPerPixel);
}

bool Gdi::SetPixel(int32_t hBitmap, int32_t x, int32_t y, uint32_t colour) {
    State::Bitmap* bitmap = m_state->FindBitmap(hBitmap);
    if (bitmap == nullptr || x < 0 || y < 0 || x >= bitmap->width || y >= bitmap->height) {
        return false;
    }
    bitmap->pixels[PixelIndex(x, y, bitmap->width)] = ToDepth(colour, bitmap->bitsPerPixel);
    return true;
}

std::optional<uint32_t> Gdi::GetPixel(int32_t hBitmap, int32_t x, int32_t y) const {
    const State::Bitmap* bitmap = m_state->FindBitmap(hBitmap);
    if (bitmap == nullptr || x < 0 || y < 0 || x >= bitmap->width || y >= bitmap->height) {
        return std::nullopt;
    }
    return bitmap->pixels[PixelIndex(x, y, bitmap->width)];
}

int32_t Gdi::BitsPerPixel(int32_t hBitmap) const {
    const State::Bitmap* bitmap = m_state->FindBitmap(hBitmap);
    return bitmap == nullptr ? 0 : bitmap->bitsPerPixel;
}

int32_t Gdi::BitmapWidth(int32_t hBitmap) const {
    const State::Bitmap* bitmap = m_state->FindBitmap(hBitmap);
    return bitmap == nullptr ? 0 : bitmap->width;
}

int32_t Gdi::BitmapHeight(int32_t hBitmap) const {
    const State::Bitmap* bitmap = m_state->FindBitmap(hBitmap);
    return bitmap == nullptr ? 0 : bitmap->height;
}

int32_t Gdi::SelectedBitmap(int32_t hdc) const {
    auto it = m_state->dcs.find(hdc);
    return it == m_state->dcs.end() ? 0 : it->second.bitmap;
}

int32_t Gdi::StockBitmap() const {
    return m_state->stockBitmap;
}

std::size_t Gdi::LiveDCs() const {
    return m_state->dcs.size();
}

std::size_t Gdi::LiveBitmaps() const {
    return m_state->bitmaps.size() - 1;
}

std::size_t Gdi::LivePictures() const {
    return m_state->pictures;
}

}  // namespace scenova::headless
