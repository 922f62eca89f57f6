#include "qt/Gdi.h"

#include <QPainter>

#include <limits>
#include <map>
#include <utility>

#include "formats/PictureFile.h"
#include "platform/Win32Constants.h"
#include "runtime/RuntimeError.h"

namespace scenova::qt {

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

QRgb FromColourRef(uint32_t colour, uint8_t alpha = 255) {
    return qRgba(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                 static_cast<int>((colour >> 16) & 0xFF), alpha);
}

}  // namespace

struct Gdi::State {
    struct Bitmap {
        QImage image;
        int32_t bitsPerPixel = 32;
        int32_t selectedInto = 0;  // not kept for the stock bitmap
        std::optional<QPoint> hotspot;
    };

    std::map<int32_t, Bitmap> bitmaps;
    std::map<int32_t, int32_t> dcs;  // device context -> the bitmap selected into it
    int32_t stockBitmap = 0;
    int32_t lastHandle = 0;

    int32_t NewHandle() {
        return lastHandle == std::numeric_limits<int32_t>::max() ? 0 : ++lastHandle;
    }

    int32_t NewBitmap(QImage image, int32_t bitsPerPixel, std::optional<QPoint> hotspot = {}) {
        if (image.isNull()) {
            return 0;
        }
        const int32_t handle = NewHandle();
        if (handle != 0) {
            bitmaps.emplace(handle, Bitmap{std::move(image), bitsPerPixel, 0, hotspot});
        }
        return handle;
    }

    Bitmap* Find(int32_t handle) {
        auto it = bitmaps.find(handle);
        return it == bitmaps.end() ? nullptr : &it->second;
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
          m_own(own) {}
    ~BitmapPicture() override {
        if (auto state = m_state.lock(); state && m_own) {
            state->DeleteBitmap(m_handle);
        }
    }
    BitmapPicture(const BitmapPicture&) = delete;
    BitmapPicture& operator=(const BitmapPicture&) = delete;

    int32_t Handle() const override { return m_handle; }
    int32_t Width() const override { return m_width; }
    int32_t Height() const override { return m_height; }

    const State::Bitmap* Bitmap() const {
        const auto state = m_state.lock();
        return state ? state->Find(m_handle) : nullptr;
    }

private:
    std::weak_ptr<State> m_state;
    int32_t m_handle;
    int32_t m_width;
    int32_t m_height;
    bool m_own;
};

Gdi::Gdi() : m_state(std::make_shared<State>()) {
    QImage stock(1, 1, QImage::Format_RGB32);
    stock.fill(kBlack);
    m_state->stockBitmap = m_state->NewBitmap(std::move(stock), 1);
}

Gdi::~Gdi() = default;

int32_t Gdi::CreateCompatibleDC(int32_t hdc) {
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
    if (State::Bitmap* old = m_state->Find(previous);
        old != nullptr && previous != m_state->stockBitmap) {
        old->selectedInto = 0;
    }
    if (!stock) {
        bitmap->selectedInto = hdc;
    }
    dc->second = hObject;
    return previous;
}

int32_t Gdi::CreateCompatibleBitmap(int32_t hdc, int32_t width, int32_t height) {
    int32_t depth = 32;
    if (hdc != 0) {
        auto dc = m_state->dcs.find(hdc);
        if (dc == m_state->dcs.end()) {
            return 0;
        }
        depth = m_state->Find(dc->second)->bitsPerPixel;
    }
    if (width <= 0 || height <= 0 || width > formats::kMaxPictureSide ||
        height > formats::kMaxPictureSide || int64_t{width} * height > formats::kMaxPicturePixels) {
        return 0;
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return 0;  // out of memory
    }
    image.fill(kBlack);
    return m_state->NewBitmap(std::move(image), depth);
}

bool Gdi::BitBlt(int32_t hdcDest, int32_t x, int32_t y, int32_t width, int32_t height,
                 int32_t hdcSrc, int32_t xSrc, int32_t ySrc, int32_t rop) {
    auto dest = m_state->dcs.find(hdcDest);
    auto source = m_state->dcs.find(hdcSrc);
    if (rop != win::SRCCOPY || dest == m_state->dcs.end() || source == m_state->dcs.end()) {
        return false;
    }
    State::Bitmap& to = *m_state->Find(dest->second);
    const State::Bitmap& from = *m_state->Find(source->second);
    // Clipped to both bitmaps, as the system does.
    const QRect wanted(x, y, std::max(width, 0), std::max(height, 0));
    const QRect inSource = QRect(xSrc, ySrc, wanted.width(), wanted.height())
                               .intersected(from.image.rect())
                               .translated(x - xSrc, y - ySrc);
    const QRect area = wanted.intersected(inSource).intersected(to.image.rect());
    // A copy within one bitmap reads the pixels as they were before it.
    const QImage pixels = &from == &to ? from.image.copy() : from.image;
    for (int row = area.top(); row <= area.bottom(); ++row) {
        for (int column = area.left(); column <= area.right(); ++column) {
            QRgb pixel = pixels.pixel(column - x + xSrc, row - y + ySrc) | kBlack;
            if (to.bitsPerPixel == 1) {
                pixel = pixel == kWhite ? kWhite : kBlack;
            }
            to.image.setPixel(column, row, pixel);
        }
    }
    return true;
}

bool Gdi::DeleteDC(int32_t hdc) {
    auto dc = m_state->dcs.find(hdc);
    if (dc == m_state->dcs.end()) {
        return false;
    }
    if (State::Bitmap* bitmap = m_state->Find(dc->second);
        bitmap != nullptr && dc->second != m_state->stockBitmap) {
        bitmap->selectedInto = 0;
    }
    m_state->dcs.erase(dc);
    return true;
}

bool Gdi::DeleteObject(int32_t hObject) {
    return m_state->DeleteBitmap(hObject);
}

Picture Gdi::OleCreatePictureIndirect(const PictDesc& desc, bool own) {
    if (desc.cbSizeofstruct != sizeof(PictDesc) ||
        desc.picType != static_cast<uint32_t>(win::PICTYPE_BITMAP) || desc.hpal != 0) {
        return nullptr;
    }
    const State::Bitmap* bitmap = m_state->Find(desc.hbitmap);
    if (bitmap == nullptr) {
        return nullptr;
    }
    return std::make_shared<BitmapPicture>(m_state, desc.hbitmap, bitmap->image.width(),
                                           bitmap->image.height(), own);
}

Picture Gdi::LoadPictureFile(const std::string& path) {
    if (formats::LooksLikeCursorFile(path)) {
        const formats::DecodedCursor cursor = formats::ReadCursorFile(path);
        return NewPicture(ToQImage(cursor), QPoint(cursor.hotspotX, cursor.hotspotY));
    }
    return NewPicture(ToQImage(formats::ReadPictureFile(path)), std::nullopt);
}

Picture Gdi::NewPicture(QImage image, std::optional<QPoint> hotspot) {
    const int32_t width = image.width();
    const int32_t height = image.height();
    const int32_t handle = m_state->NewBitmap(std::move(image), 32, hotspot);
    if (handle == 0) {
        Raise(err::OutOfMemory);
    }
    return std::make_shared<BitmapPicture>(m_state, handle, width, height, true);
}

int32_t Gdi::CreateBitmap(int32_t width, int32_t height) {
    return CreateCompatibleBitmap(0, width, height);
}

bool Gdi::SetPixel(int32_t hBitmap, int32_t x, int32_t y, uint32_t colour) {
    State::Bitmap* bitmap = m_state->Find(hBitmap);
    if (bitmap == nullptr || !bitmap->image.valid(x, y)) {
        return false;
    }
    bitmap->image.setPixel(x, y, FromColourRef(colour));
    return true;
}

std::optional<uint32_t> Gdi::GetPixel(int32_t hBitmap, int32_t x, int32_t y) const {
    const State::Bitmap* bitmap = m_state->Find(hBitmap);
    if (bitmap == nullptr || !bitmap->image.valid(x, y)) {
        return std::nullopt;
    }
    const QRgb pixel = bitmap->image.pixel(x, y);
    return static_cast<uint32_t>(qRed(pixel) | qGreen(pixel) << 8 | qBlue(pixel) << 16);
}

std::size_t Gdi::LiveDCs() const {
    return m_state->dcs.size();
}

std::size_t Gdi::LiveBitmaps() const {
    return m_state->bitmaps.size() - 1;
}

QImage ToQImage(const formats::DecodedPicture& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    if (image.isNull()) {
        Raise(err::OutOfMemory);
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
        for (int x = 0; x < image.width(); ++x) {
            line[x] = FromColourRef(row[x]);
        }
    }
    return image;
}

QImage ToQImage(const formats::DecodedCursor& cursor) {
    QImage image = ToQImage(cursor.picture).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const uint8_t* row = cursor.opacity.data() + static_cast<std::size_t>(y) * image.width();
        for (int x = 0; x < image.width(); ++x) {
            line[x] = (line[x] & 0x00FFFFFF) | (static_cast<QRgb>(row[x]) << 24);
        }
    }
    return image;
}

QImage ImageOf(const Picture& picture) {
    const auto* ours = dynamic_cast<const Gdi::BitmapPicture*>(picture.get());
    const Gdi::State::Bitmap* bitmap = ours ? ours->Bitmap() : nullptr;
    return bitmap ? bitmap->image : QImage();
}

std::optional<QPoint> HotspotOf(const Picture& picture) {
    const auto* ours = dynamic_cast<const Gdi::BitmapPicture*>(picture.get());
    const Gdi::State::Bitmap* bitmap = ours ? ours->Bitmap() : nullptr;
    return bitmap ? bitmap->hotspot : std::nullopt;
}

}  // namespace scenova::qt
