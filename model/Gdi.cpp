#include "model/Gdi.h"

#include <algorithm>
#include <limits>
#include <map>
#include <string>
#include <utility>

#include "platform/Win32Constants.h"
#include "runtime/RuntimeError.h"

namespace scenova::model {

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

bool CanMake(int32_t width, int32_t height, int32_t bitsPerPixel) {
    return width > 0 && height > 0 && width <= Gdi::kMaxSide && height <= Gdi::kMaxSide &&
           int64_t{width} * height <= Gdi::kMaxPixels && (bitsPerPixel == 1 || bitsPerPixel == 32);
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
        std::unique_ptr<IPixels> pixels;
        int32_t bitsPerPixel = 0;
        int32_t selectedInto = 0;  // the DC holding it; not kept for the stock bitmap
    };

    std::map<int32_t, Bitmap> bitmaps;
    std::map<int32_t, int32_t> dcs;  // DC -> the bitmap selected into it
    std::size_t pictures = 0;        // picture objects alive
    int32_t stockBitmap = 0;
    int32_t lastHandle = 0;

    int32_t NewHandle() {
        return lastHandle == std::numeric_limits<int32_t>::max() ? 0 : ++lastHandle;
    }

    int32_t Add(std::unique_ptr<IPixels> pixels, int32_t bitsPerPixel) {
        const int32_t handle = pixels ? NewHandle() : 0;
        if (handle != 0) {
            bitmaps.emplace(handle, Bitmap{std::move(pixels), bitsPerPixel, 0});
        }
        return handle;
    }

    Bitmap* Find(int32_t handle) {
        auto it = bitmaps.find(handle);
        return it == bitmaps.end() ? nullptr : &it->second;
    }

    Bitmap* Selected(int32_t hdc) {
        auto it = dcs.find(hdc);
        return it == dcs.end() ? nullptr : Find(it->second);
    }

    // Lets go of the bitmap a DC held, unless it is the stock one.
    void Release(int32_t bitmap) {
        if (Bitmap* old = Find(bitmap); old != nullptr && bitmap != stockBitmap) {
            old->selectedInto = 0;
        }
    }

    bool DeleteBitmap(int32_t handle) {
        if (handle == stockBitmap) {
            return true;
        }
        const Bitmap* bitmap = Find(handle);
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

    const IPixels* Pixels() const {
        const auto state = m_state.lock();
        const State::Bitmap* bitmap = state ? state->Find(m_handle) : nullptr;
        return bitmap ? bitmap->pixels.get() : nullptr;
    }

private:
    std::weak_ptr<State> m_state;
    int32_t m_handle;
    int32_t m_width;
    int32_t m_height;
    bool m_own;
};

Gdi::Gdi(Context& ctx, PixelStore newPixels)
    : m_ctx(ctx), m_newPixels(std::move(newPixels)), m_state(std::make_shared<State>()) {
    m_state->stockBitmap = m_state->Add(m_newPixels(1, 1), 1);
}

Gdi::~Gdi() = default;

int32_t Gdi::NewBitmap(int32_t width, int32_t height, int32_t bitsPerPixel) {
    if (!CanMake(width, height, bitsPerPixel)) {
        return 0;
    }
    return m_state->Add(m_newPixels(width, height), bitsPerPixel);
}

int32_t Gdi::CreateCompatibleDC(int32_t hdc) {
    m_ctx.Call("gdi32", Member::CreateCompatibleDC, hdc);
    if (hdc != 0 && !m_state->dcs.contains(hdc)) {
        return 0;
    }
    const int32_t handle = m_state->NewHandle();
    if (handle != 0) {
        m_state->dcs.emplace(handle, m_state->stockBitmap);
    }
    return handle;
}

int32_t Gdi::SelectObject(int32_t hdc, int32_t hObject) {
    m_ctx.Call("gdi32", Member::SelectObject, hdc, hObject);
    auto dc = m_state->dcs.find(hdc);
    State::Bitmap* bitmap = m_state->Find(hObject);
    if (dc == m_state->dcs.end() || bitmap == nullptr) {
        return 0;
    }
    const bool stock = hObject == m_state->stockBitmap;
    if (!stock && bitmap->selectedInto != 0 && bitmap->selectedInto != hdc) {
        return 0;
    }
    const int32_t previous = dc->second;
    m_state->Release(previous);
    if (!stock) {
        bitmap->selectedInto = hdc;
    }
    dc->second = hObject;
    return previous;
}

int32_t Gdi::CreateCompatibleBitmap(int32_t hdc, int32_t width, int32_t height) {
    m_ctx.Call("gdi32", Member::CreateCompatibleBitmap, hdc, width, height);
    int32_t bitsPerPixel = 32;  // the screen
    if (hdc != 0) {
        const State::Bitmap* selected = m_state->Selected(hdc);
        if (selected == nullptr) {
            return 0;
        }
        bitsPerPixel = selected->bitsPerPixel;
    }
    return NewBitmap(width, height, bitsPerPixel);
}

bool Gdi::BitBlt(int32_t hdcDest, int32_t x, int32_t y, int32_t width, int32_t height,
                 int32_t hdcSrc, int32_t xSrc, int32_t ySrc, int32_t rop) {
    m_ctx.Call("gdi32", Member::BitBlt, hdcDest, x, y, width, height, hdcSrc, xSrc, ySrc, rop);
    if (rop != win::SRCCOPY) {
        return false;
    }
    State::Bitmap* dest = m_state->Selected(hdcDest);
    const State::Bitmap* src = m_state->Selected(hdcSrc);
    if (dest == nullptr || src == nullptr) {
        return false;
    }
    // The part of the rectangle inside both bitmaps, as offsets from its
    // corner; 64-bit so no coordinate sum can overflow.
    const int64_t i0 = std::max({int64_t{0}, -int64_t{x}, -int64_t{xSrc}});
    const int64_t i1 = std::min(
        {int64_t{width}, int64_t{dest->pixels->Width()} - x, int64_t{src->pixels->Width()} - xSrc});
    const int64_t j0 = std::max({int64_t{0}, -int64_t{y}, -int64_t{ySrc}});
    const int64_t j1 = std::min({int64_t{height}, int64_t{dest->pixels->Height()} - y,
                                 int64_t{src->pixels->Height()} - ySrc});
    if (i0 >= i1 || j0 >= j1) {
        return true;
    }
    const auto w = static_cast<int32_t>(i1 - i0);
    const auto h = static_cast<int32_t>(j1 - j0);
    // Read whole before anything is written: a copy within one bitmap reads
    // the pixels as they were.
    std::vector<uint32_t> block =
        src->pixels->Read(static_cast<int32_t>(xSrc + i0), static_cast<int32_t>(ySrc + j0), w, h);
    for (uint32_t& pixel : block) {
        pixel = ToDepth(pixel, dest->bitsPerPixel);
    }
    dest->pixels->Write(static_cast<int32_t>(x + i0), static_cast<int32_t>(y + j0), w, h, block);
    return true;
}

bool Gdi::DeleteDC(int32_t hdc) {
    m_ctx.Call("gdi32", Member::DeleteDC, hdc);
    auto dc = m_state->dcs.find(hdc);
    if (dc == m_state->dcs.end()) {
        return false;
    }
    m_state->Release(dc->second);
    m_state->dcs.erase(dc);
    return true;
}

bool Gdi::DeleteObject(int32_t hObject) {
    m_ctx.Call("gdi32", Member::DeleteObject, hObject);
    return m_state->DeleteBitmap(hObject);
}

Picture Gdi::OleCreatePictureIndirect(const PictDesc& desc, bool own) {
    m_ctx.Call("olepro32", Member::OleCreatePictureIndirect, Shown{DescribePictDesc(desc)}, own);
    if (desc.cbSizeofstruct != 20 || desc.picType != static_cast<uint32_t>(win::PICTYPE_BITMAP) ||
        desc.hpal != 0 || m_state->Find(desc.hbitmap) == nullptr) {
        return nullptr;
    }
    return MakePicture(desc.hbitmap, own);
}

Picture Gdi::MakePicture(int32_t hBitmap, bool own) {
    const State::Bitmap* bitmap = m_state->Find(hBitmap);
    return std::make_shared<BitmapPicture>(m_state, hBitmap, bitmap->pixels->Width(),
                                           bitmap->pixels->Height(), own);
}

Picture Gdi::Adopt(std::unique_ptr<IPixels> pixels) {
    const int32_t handle = pixels && CanMake(pixels->Width(), pixels->Height(), 32)
                               ? m_state->Add(std::move(pixels), 32)
                               : 0;
    if (handle == 0) {
        Raise(err::OutOfMemory);
    }
    return MakePicture(handle, true);
}

int32_t Gdi::CreateBitmap(int32_t width, int32_t height, int32_t bitsPerPixel) {
    return NewBitmap(width, height, bitsPerPixel);
}

bool Gdi::SetPixel(int32_t hBitmap, int32_t x, int32_t y, uint32_t colour) {
    State::Bitmap* bitmap = m_state->Find(hBitmap);
    if (bitmap == nullptr || x < 0 || y < 0 || x >= bitmap->pixels->Width() ||
        y >= bitmap->pixels->Height()) {
        return false;
    }
    bitmap->pixels->Write(x, y, 1, 1, {ToDepth(colour, bitmap->bitsPerPixel)});
    return true;
}

std::optional<uint32_t> Gdi::GetPixel(int32_t hBitmap, int32_t x, int32_t y) const {
    const State::Bitmap* bitmap = m_state->Find(hBitmap);
    if (bitmap == nullptr || x < 0 || y < 0 || x >= bitmap->pixels->Width() ||
        y >= bitmap->pixels->Height()) {
        return std::nullopt;
    }
    return bitmap->pixels->Read(x, y, 1, 1).front();
}

int32_t Gdi::BitsPerPixel(int32_t hBitmap) const {
    const State::Bitmap* bitmap = m_state->Find(hBitmap);
    return bitmap == nullptr ? 0 : bitmap->bitsPerPixel;
}

int32_t Gdi::SelectedBitmap(int32_t hdc) const {
    auto it = m_state->dcs.find(hdc);
    return it == m_state->dcs.end() ? 0 : it->second;
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

const IPixels* Gdi::PixelsOf(const Picture& picture) {
    const auto* ours = dynamic_cast<const BitmapPicture*>(picture.get());
    return ours ? ours->Pixels() : nullptr;
}

}  // namespace scenova::model
