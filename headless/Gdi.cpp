#include "headless/Gdi.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <map>
#include <new>
#include <span>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/Win32Constants.h"
#include "runtime/RuntimeError.h"

// The decoder comes compiled in the system's stb library; only its
// declarations are needed here. Its header is not written for our warnings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

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

using Bytes = std::span<const unsigned char>;

// Reads from a picture file go through these, so that no size or offset
// taken from the file can reach outside it: a piece outside is a damaged
// picture.
Bytes Piece(Bytes data, uint64_t offset, uint64_t size) {
    if (offset > data.size() || size > data.size() - offset) {
        Raise(err::InvalidPicture);
    }
    return data.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(size));
}

uint16_t ReadU16(Bytes data, uint64_t offset) {
    const Bytes b = Piece(data, offset, 2);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

uint32_t ReadU32(Bytes data, uint64_t offset) {
    const Bytes b = Piece(data, offset, 4);
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

uint32_t FromRgb(unsigned char red, unsigned char green, unsigned char blue) {
    return uint32_t{red} | uint32_t{green} << 8 | uint32_t{blue} << 16;
}

// A picture's size as the bitmaps take it: 481 for none, 7 beyond them.
void CheckPictureSize(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) {
        Raise(err::InvalidPicture);
    }
    if (width > Gdi::kMaxSide || height > Gdi::kMaxSide || width * height > Gdi::kMaxPixels) {
        Raise(err::OutOfMemory);
    }
}

// Pixels decoded by stb, as 8-bit RGBA, freed with it.
using StbPixels = std::unique_ptr<stbi_uc, void (*)(void*)>;

struct StbImage {
    int width = 0;
    int height = 0;
    StbPixels rgba{nullptr, &stbi_image_free};
};

// Decodes with stb through info and load (from a file or from memory), the
// size checked before the pixels are decoded.
template <class Info, class Load>
StbImage DecodeWithStb(Info info, Load load) {
    StbImage image;
    int channels = 0;
    if (info(&image.width, &image.height, &channels) == 0) {
        Raise(err::InvalidPicture);
    }
    CheckPictureSize(image.width, image.height);
    int width = 0;
    int height = 0;
    image.rgba.reset(load(&width, &height, &channels));
    if (!image.rgba || width != image.width || height != image.height) {
        Raise(err::InvalidPicture);
    }
    return image;
}

void CopyRgba(const stbi_uc* rgba, std::vector<uint32_t>& pixels) {
    for (uint32_t& pixel : pixels) {
        pixel = FromRgb(rgba[0], rgba[1], rgba[2]);
        rgba += 4;
    }
}

// The icon and cursor container: a directory of images, each an embedded PNG
// or a device-independent bitmap of twice the image's height (the colour
// rows, then a 1-bit transparency mask, which is not used here).
namespace ico {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
// Far beyond any real icon; a bigger file is refused before it is read.
constexpr uint64_t kMaxFileSize = uint64_t{64} * 1024 * 1024;
constexpr std::array<unsigned char, 8> kPngSignature = {0x89, 'P',  'N',  'G',
                                                        '\r', '\n', 0x1A, '\n'};

bool IsDirectory(Bytes head) {
    if (head.size() < kDirectorySize) {
        return false;
    }
    const uint16_t type = ReadU16(head, 2);
    return ReadU16(head, 0) == 0 && (type == 1 || type == 2) && ReadU16(head, 4) > 0;
}

// The image of the largest entry (the first of equal ones); a side of 0 in
// the directory stands for 256.
Bytes LargestImage(Bytes file) {
    const uint16_t count = ReadU16(file, 4);
    uint64_t bestArea = 0;
    Bytes best;
    for (uint16_t i = 0; i < count; ++i) {
        const Bytes entry = Piece(file, kDirectorySize + uint64_t{i} * kEntrySize, kEntrySize);
        const uint64_t width = entry[0] == 0 ? 256 : entry[0];
        const uint64_t height = entry[1] == 0 ? 256 : entry[1];
        const Bytes image = Piece(file, ReadU32(entry, 12), ReadU32(entry, 8));
        if (width * height > bestArea) {
            bestArea = width * height;
            best = image;
        }
    }
    if (best.empty()) {
        Raise(err::InvalidPicture);
    }
    return best;
}

struct Dib {
    int32_t width = 0;
    int32_t height = 0;  // of the image: half the header's
    uint16_t bitsPerPixel = 0;
    Bytes palette;  // 4 bytes an entry: blue, green, red, unused
    Bytes rows;     // bottom row first, each padded to 4 bytes
    uint64_t stride = 0;
};

Dib ReadDib(Bytes image) {
    constexpr uint32_t kInfoHeaderSize = 40;
    constexpr uint32_t kUncompressed = 0;
    Dib dib;
    const uint32_t headerSize = ReadU32(image, 0);
    if (headerSize < kInfoHeaderSize) {
        Raise(err::InvalidPicture);
    }
    Piece(image, 0, headerSize);
    const auto width = static_cast<int32_t>(ReadU32(image, 4));
    const auto doubledHeight = static_cast<int32_t>(ReadU32(image, 8));
    dib.bitsPerPixel = ReadU16(image, 14);
    const uint32_t compression = ReadU32(image, 16);
    const uint32_t coloursUsed = ReadU32(image, 32);
    if (doubledHeight <= 0 || doubledHeight % 2 != 0) {
        Raise(err::InvalidPicture);
    }
    CheckPictureSize(width, doubledHeight / 2);
    dib.width = width;
    dib.height = doubledHeight / 2;

    const uint16_t bpp = dib.bitsPerPixel;
    if ((bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) ||
        compression != kUncompressed) {
        Raise(err::InvalidPicture);
    }
    // A palette of up to 2^bpp entries; deeper bitmaps may still carry a
    // colour table, which their pixels do not use.
    uint64_t colours = coloursUsed;
    if (bpp <= 8) {
        const uint64_t most = uint64_t{1} << bpp;
        if (colours > most) {
            Raise(err::InvalidPicture);
        }
        colours = colours == 0 ? most : colours;
    }
    dib.palette = Piece(image, headerSize, colours * 4);
    dib.stride = (uint64_t{static_cast<uint32_t>(width)} * bpp + 31) / 32 * 4;
    dib.rows =
        Piece(image, headerSize + colours * 4, dib.stride * static_cast<uint64_t>(dib.height));
    return dib;
}

// Every read lies inside the rows that ReadDib checked; a palette index
// beyond the palette is black.
void CopyDib(const Dib& dib, std::vector<uint32_t>& pixels) {
    const auto colourAt = [&](uint64_t index) -> uint32_t {
        if (index * 4 + 3 > dib.palette.size()) {
            return 0;
        }
        const unsigned char* entry = dib.palette.data() + index * 4;
        return FromRgb(entry[2], entry[1], entry[0]);
    };
    const uint64_t width = static_cast<uint64_t>(dib.width);
    for (uint64_t row = 0; row < static_cast<uint64_t>(dib.height); ++row) {
        const unsigned char* bits = dib.rows.data() + row * dib.stride;
        uint32_t* out = pixels.data() + (static_cast<uint64_t>(dib.height) - 1 - row) * width;
        for (uint64_t x = 0; x < width; ++x) {
            switch (dib.bitsPerPixel) {
                case 32:
                case 24: {
                    const unsigned char* p = bits + x * (dib.bitsPerPixel / 8);
                    out[x] = FromRgb(p[2], p[1], p[0]);
                    break;
                }
                case 8:
                    out[x] = colourAt(bits[x]);
                    break;
                case 4:
                    out[x] = colourAt(x % 2 == 0 ? bits[x / 2] >> 4 : bits[x / 2] & 0x0F);
                    break;
                default:
                    out[x] = colourAt((bits[x / 8] >> (7 - x % 8)) & 1);
                    break;
            }
        }
    }
}

}  // namespace ico

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

    int32_t NewBitmap(int32_t width, int32_t height, int32_t bitsPerPixel) {
        if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
            int64_t{width} * height > kMaxPixels || (bitsPerPixel != 1 && bitsPerPixel != 32)) {
            return 0;
        }
        Bitmap bitmap;
        try {
            bitmap.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                 0);
        } catch (const std::bad_alloc&) {
            return 0;
        }
        const int32_t handle = NewHandle();
        if (handle == 0) {
            return 0;
        }
        bitmap.width = width;
        bitmap.height = height;
        bitmap.bitsPerPixel = bitsPerPixel;
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

Picture Gdi::NewPicture(int32_t width, int32_t height,
                        const std::function<void(std::vector<uint32_t>&)>& fill) {
    const int32_t handle = m_state->NewBitmap(width, height, 32);
    if (handle == 0) {
        Raise(err::OutOfMemory);
    }
    try {
        fill(m_state->FindBitmap(handle)->pixels);
        return MakePicture(handle, true);
    } catch (...) {
        m_state->DeleteBitmap(handle);
        throw;
    }
}

Picture Gdi::LoadPictureFile(const std::string& path) {
    std::error_code error;
    if (path.empty() || path.find('\0') != std::string::npos ||
        !std::filesystem::is_regular_file(std::filesystem::path(path), error)) {
        Raise(err::FileNotFound);
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        Raise(err::FileNotFound);
    }

    // Icons and cursors first: stb does not read them, and a cursor's
    // directory could pass for the header of another format it does read.
    std::array<unsigned char, ico::kDirectorySize> head{};
    const std::size_t headRead = std::fread(head.data(), 1, head.size(), file.get());
    if (ico::IsDirectory(Bytes(head.data(), headRead))) {
        return LoadIconFile(file.get());
    }
    if (std::fseek(file.get(), 0, SEEK_SET) != 0) {
        Raise(err::InvalidPicture);
    }

    std::FILE* in = file.get();
    const StbImage image = DecodeWithStb(
        [&](int* x, int* y, int* channels) { return stbi_info_from_file(in, x, y, channels); },
        [&](int* x, int* y, int* channels) { return stbi_load_from_file(in, x, y, channels, 4); });
    return NewPicture(image.width, image.height,
                      [&](std::vector<uint32_t>& pixels) { CopyRgba(image.rgba.get(), pixels); });
}

Picture Gdi::LoadIconFile(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        Raise(err::InvalidPicture);
    }
    const long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        Raise(err::InvalidPicture);
    }
    if (static_cast<uint64_t>(size) > ico::kMaxFileSize) {
        Raise(err::OutOfMemory);
    }
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        Raise(err::InvalidPicture);
    }
    const Bytes image = ico::LargestImage(bytes);

    if (image.size() >= ico::kPngSignature.size() &&
        std::equal(ico::kPngSignature.begin(), ico::kPngSignature.end(), image.begin())) {
        static_assert(ico::kMaxFileSize <= std::numeric_limits<int>::max());
        const int length = static_cast<int>(image.size());
        const StbImage png = DecodeWithStb(
            [&](int* x, int* y, int* channels) {
                return stbi_info_from_memory(image.data(), length, x, y, channels);
            },
            [&](int* x, int* y, int* channels) {
                return stbi_load_from_memory(image.data(), length, x, y, channels, 4);
            });
        return NewPicture(png.width, png.height,
                          [&](std::vector<uint32_t>& pixels) { CopyRgba(png.rgba.get(), pixels); });
    }

    const ico::Dib dib = ico::ReadDib(image);
    return NewPicture(dib.width, dib.height,
                      [&](std::vector<uint32_t>& pixels) { ico::CopyDib(dib, pixels); });
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
