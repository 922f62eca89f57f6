#include "formats/PictureFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <system_error>
#include <utility>

#include "formats/FileLookup.h"
#include "runtime/RuntimeError.h"

// stb's decoders are compiled here, from the system's header, rather than
// taken from its shared library: only the four kinds a lesson may use are
// built, the sanitizers and the fuzzer see inside them, and every buffer
// they allocate starts zeroed. A damaged JPEG whose scan names a Huffman
// table the file never defines makes stb read its table memory unwritten;
// zeroed, that memory gives the same picture on every read instead of
// showing whatever the heap held before.
namespace {
void* ZeroedRealloc(void* old, std::size_t oldSize, std::size_t newSize) {
    void* grown = std::calloc(1, newSize);
    if (grown != nullptr && old != nullptr) {
        std::memcpy(grown, old, std::min(oldSize, newSize));
    }
    std::free(old);  // stb forgets the old block even when growing fails
    return grown;
}
}  // namespace

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_MALLOC(size) std::calloc(1, size)
#define STBI_REALLOC_SIZED(block, oldSize, newSize) ZeroedRealloc(block, oldSize, newSize)
#define STBI_FREE(block) std::free(block)
// The header is not written for our warnings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wold-style-cast"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace scenova::formats {

namespace {

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

// A picture's size as a bitmap can take it, and within maxPixels: 481 for
// none, 7 beyond it.
void CheckPictureSize(int64_t width, int64_t height, int64_t maxPixels) {
    if (width <= 0 || height <= 0) {
        Raise(err::InvalidPicture);
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide ||
        width * height > std::min(maxPixels, kMaxPicturePixels)) {
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
StbImage DecodeWithStb(Info info, Load load, int64_t maxPixels) {
    StbImage image;
    int channels = 0;
    if (info(&image.width, &image.height, &channels) == 0) {
        Raise(err::InvalidPicture);
    }
    // stb tells a top-down bitmap's height as the file holds it, negative;
    // its load gives the picture upright with the height positive.
    if (image.height < 0 && image.height != std::numeric_limits<int>::min()) {
        image.height = -image.height;
    }
    CheckPictureSize(image.width, image.height, maxPixels);
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

// A file is read whole before it is decoded. The largest picture as an
// uncompressed bitmap, and a little more, is far beyond any real one; a
// bigger file is refused before it is read.
constexpr uint64_t kMaxFileSize = uint64_t{4} * kMaxPicturePixels + 1024 * 1024;
static_assert(kMaxFileSize <= std::numeric_limits<int>::max(), "stb takes an int length");

constexpr std::array<unsigned char, 8> kPngSignature = {0x89, 'P',  'N',  'G',
                                                        '\r', '\n', 0x1A, '\n'};

bool IsPng(Bytes data) {
    return data.size() >= kPngSignature.size() &&
           std::equal(kPngSignature.begin(), kPngSignature.end(), data.begin());
}

uint32_t ReadU32BigEndian(Bytes data, uint64_t offset) {
    const Bytes b = Piece(data, offset, 4);
    return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | uint32_t{b[3]};
}

// stb sizes its buffer for a PNG's image data from the chunk lengths: a file
// of a few bytes claiming a gigabyte of data would have it take a gigabyte.
// Every chunk up to the end chunk must lie inside the file.
void CheckPngChunks(Bytes png) {
    uint64_t at = kPngSignature.size();
    while (true) {
        const uint32_t length = ReadU32BigEndian(png, at);
        const Bytes chunk = Piece(png, at, uint64_t{12} + length);  // length, type, data, CRC
        if (chunk[4] == 'I' && chunk[5] == 'E' && chunk[6] == 'N' && chunk[7] == 'D') {
            return;
        }
        at += chunk.size();
    }
}

// stb builds each Huffman table of a JPEG in room for 256 codes, trusting
// the code counts the file gives: a table counting more would overwrite the
// decoder's other tables. Every table a file defines must count at most 256.
void CheckJpegHuffmanTables(Bytes jpeg) {
    const auto byteAt = [&](uint64_t at) { return at < jpeg.size() ? jpeg[at] : 0; };
    uint64_t at = 2;  // past the start of the image
    while (at + 3 < jpeg.size()) {
        const unsigned char marker = jpeg[at + 1];
        // Scan data, fill bytes and the markers that carry no length are
        // stepped over: only segments with a length define tables.
        if (jpeg[at] != 0xFF || marker == 0xFF || marker == 0x00 || marker == 0x01 ||
            (marker >= 0xD0 && marker <= 0xD8)) {
            ++at;
            continue;
        }
        if (marker == 0xD9) {
            return;  // the end of the image
        }
        const uint64_t end = at + 2 + (uint64_t{jpeg[at + 2]} << 8 | jpeg[at + 3]);
        for (uint64_t table = at + 4; marker == 0xC4 && table < end;) {
            uint64_t codes = 0;
            for (uint64_t i = 1; i <= 16; ++i) {
                codes += byteAt(table + i);
            }
            if (codes > 256) {
                Raise(err::InvalidPicture);
            }
            table += 17 + codes;
        }
        at = end;
    }
}

// The icon and cursor container: a directory of images, each an embedded PNG
// or a device-independent bitmap of twice the image's height (the colour
// rows, then a 1-bit transparency mask, which is not used here).
namespace ico {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;

bool IsDirectory(Bytes head) {
    if (head.size() < kDirectorySize) {
        return false;
    }
    const uint16_t type = ReadU16(head, 2);
    return ReadU16(head, 0) == 0 && (type == 1 || type == 2) && ReadU16(head, 4) > 0;
}

// The image of the largest entry (the first of equal ones); a side of 0 in
// the directory stands for 256.
struct Entry {
    Bytes image;
    // Of a cursor: the hot spot (where an icon keeps its planes and depth).
    uint16_t hotspotX = 0;
    uint16_t hotspotY = 0;
};

Entry LargestImage(Bytes file) {
    const uint16_t count = ReadU16(file, 4);
    uint64_t bestArea = 0;
    Entry best;
    for (uint16_t i = 0; i < count; ++i) {
        const Bytes entry = Piece(file, kDirectorySize + uint64_t{i} * kEntrySize, kEntrySize);
        const uint64_t width = entry[0] == 0 ? 256 : entry[0];
        const uint64_t height = entry[1] == 0 ? 256 : entry[1];
        const Bytes image = Piece(file, ReadU32(entry, 12), ReadU32(entry, 8));
        if (width * height > bestArea) {
            bestArea = width * height;
            best = {image, ReadU16(entry, 4), ReadU16(entry, 6)};
        }
    }
    if (best.image.empty()) {
        Raise(err::InvalidPicture);
    }
    return best;
}

struct Dib {
    int32_t width = 0;
    int32_t height = 0;  // of the image: half the header's
    uint16_t bitsPerPixel = 0;
    Bytes palette;  // blue, green, red (and one unused byte in 4-byte entries)
    uint64_t paletteEntrySize = 4;
    Bytes rows;  // bottom row first unless topDown, each padded to 4 bytes
    uint64_t stride = 0;
    bool topDown = false;
    Bytes mask;  // 1 bit a pixel, 1 for transparent; rows as above
    uint64_t maskStride = 0;
};

Dib ReadDib(Bytes image, int64_t maxPixels) {
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
    CheckPictureSize(width, doubledHeight / 2, maxPixels);
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
    const uint64_t rowsAt = headerSize + colours * 4;
    dib.rows = Piece(image, rowsAt, dib.stride * static_cast<uint64_t>(dib.height));
    // Some writers leave the mask out; the image is then opaque.
    dib.maskStride = (uint64_t{static_cast<uint32_t>(width)} + 31) / 32 * 4;
    const uint64_t maskAt = rowsAt + dib.rows.size();
    const uint64_t maskSize = dib.maskStride * static_cast<uint64_t>(dib.height);
    if (maskAt + maskSize <= image.size()) {
        dib.mask = Piece(image, maskAt, maskSize);
    }
    return dib;
}

// Every read lies inside the rows that ReadDib checked; a palette index
// beyond the palette is black.
void CopyDib(const Dib& dib, std::vector<uint32_t>& pixels) {
    const auto colourAt = [&](uint64_t index) -> uint32_t {
        if ((index + 1) * dib.paletteEntrySize > dib.palette.size()) {
            return 0;
        }
        const unsigned char* entry = dib.palette.data() + index * dib.paletteEntrySize;
        return FromRgb(entry[2], entry[1], entry[0]);
    };
    const uint64_t width = static_cast<uint64_t>(dib.width);
    const uint64_t height = static_cast<uint64_t>(dib.height);
    for (uint64_t row = 0; row < height; ++row) {
        const unsigned char* bits = dib.rows.data() + row * dib.stride;
        uint32_t* out = pixels.data() + (dib.topDown ? row : height - 1 - row) * width;
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

// Opacity from a 32-bit image's alpha where it has any, else from the mask.
std::vector<uint8_t> DibOpacity(const Dib& dib) {
    const uint64_t width = static_cast<uint64_t>(dib.width);
    const uint64_t height = static_cast<uint64_t>(dib.height);
    std::vector<uint8_t> opacity(static_cast<std::size_t>(width * height), 255);
    bool alpha = false;
    if (dib.bitsPerPixel == 32) {
        for (uint64_t i = 3; i < dib.rows.size() && !alpha; i += 4) {
            alpha = dib.rows[i] != 0;
        }
    }
    for (uint64_t row = 0; row < height; ++row) {
        uint8_t* out = opacity.data() + (dib.topDown ? row : height - 1 - row) * width;
        for (uint64_t x = 0; x < width; ++x) {
            if (alpha) {
                out[x] = dib.rows[row * dib.stride + x * 4 + 3];
            } else if (!dib.mask.empty()) {
                const unsigned char bits = dib.mask[row * dib.maskStride + x / 8];
                out[x] = (bits >> (7 - x % 8)) & 1 ? 0 : 255;
            }
        }
    }
    return opacity;
}

}  // namespace ico

// Bitmap files with a palette are read here, not by stb: it sizes the palette
// from the gap before the pixels and lets an index past it read colours from
// memory it never wrote, so the same file could show differently each time.
// Here the palette has the header's number of colours (all of the depth's
// when it names none), and an index past it is black, as in icons.
namespace bmp {

constexpr uint64_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // the oldest header: 16-bit sizes, 3-byte colours

uint16_t BitsPerPixel(Bytes file, uint32_t headerSize) {
    return ReadU16(file, kFileHeaderSize + (headerSize == kCoreHeaderSize ? 10 : 14));
}

bool HasPalette(Bytes file) {
    if (file.size() < kFileHeaderSize + 16 || file[0] != 'B' || file[1] != 'M') {
        return false;
    }
    const uint32_t headerSize = ReadU32(file, kFileHeaderSize);
    if (headerSize != kCoreHeaderSize && headerSize < 40) {
        return false;
    }
    const uint16_t bpp = BitsPerPixel(file, headerSize);
    return bpp == 1 || bpp == 4 || bpp == 8;
}

ico::Dib ReadPalettedBitmap(Bytes file, int64_t maxPixels) {
    const uint32_t pixelsAt = ReadU32(file, 10);
    const uint32_t headerSize = ReadU32(file, kFileHeaderSize);
    Piece(file, kFileHeaderSize, headerSize);
    ico::Dib dib;
    int64_t height = 0;
    uint64_t colours = 0;
    if (headerSize == kCoreHeaderSize) {
        dib.width = ReadU16(file, kFileHeaderSize + 4);
        height = static_cast<int16_t>(ReadU16(file, kFileHeaderSize + 6));
        dib.paletteEntrySize = 3;
    } else {
        dib.width = static_cast<int32_t>(ReadU32(file, kFileHeaderSize + 4));
        height = static_cast<int32_t>(ReadU32(file, kFileHeaderSize + 8));
        if (ReadU32(file, kFileHeaderSize + 16) != 0) {
            Raise(err::InvalidPicture);  // run-length coding, which stb does not read either
        }
        colours = ReadU32(file, kFileHeaderSize + 32);
    }
    dib.bitsPerPixel = BitsPerPixel(file, headerSize);
    dib.topDown = height < 0;
    height = height < 0 ? -height : height;
    CheckPictureSize(dib.width, height, maxPixels);
    dib.height = static_cast<int32_t>(height);

    const uint64_t most = uint64_t{1} << dib.bitsPerPixel;
    if (colours > most) {
        Raise(err::InvalidPicture);
    }
    colours = colours == 0 ? most : colours;
    dib.palette = Piece(file, kFileHeaderSize + headerSize, colours * dib.paletteEntrySize);
    dib.stride = (uint64_t{static_cast<uint32_t>(dib.width)} * dib.bitsPerPixel + 31) / 32 * 4;
    dib.rows = Piece(file, pixelsAt, dib.stride * static_cast<uint64_t>(dib.height));
    return dib;
}

}  // namespace bmp

// A picture of the given size whose pixels fill writes; raises 7 when its
// pixels cannot be held.
DecodedPicture NewPicture(int32_t width, int32_t height,
                          const std::function<void(std::vector<uint32_t>&)>& fill) {
    DecodedPicture picture;
    picture.width = width;
    picture.height = height;
    try {
        picture.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                              0);
    } catch (const std::bad_alloc&) {
        Raise(err::OutOfMemory);
    }
    fill(picture.pixels);
    return picture;
}

DecodedPicture FromDib(const ico::Dib& dib) {
    return NewPicture(dib.width, dib.height,
                      [&](std::vector<uint32_t>& pixels) { ico::CopyDib(dib, pixels); });
}

bool StartsWith(Bytes data, std::string_view magic) {
    return data.size() >= magic.size() &&
           std::equal(magic.begin(), magic.end(), data.begin(),
                      [](char m, unsigned char b) { return static_cast<unsigned char>(m) == b; });
}

DecodedPicture ReadWithStb(Bytes data, int64_t maxPixels) {
    if (IsPng(data)) {
        CheckPngChunks(data);
    } else if (StartsWith(data, "\xFF\xD8")) {
        CheckJpegHuffmanTables(data);
    } else if (!StartsWith(data, "BM") && !StartsWith(data, "GIF8")) {
        Raise(err::InvalidPicture);
    }
    const int length = static_cast<int>(data.size());
    const StbImage image = DecodeWithStb(
        [&](int* x, int* y, int* channels) {
            return stbi_info_from_memory(data.data(), length, x, y, channels);
        },
        [&](int* x, int* y, int* channels) {
            return stbi_load_from_memory(data.data(), length, x, y, channels, 4);
        },
        maxPixels);
    return NewPicture(image.width, image.height,
                      [&](std::vector<uint32_t>& pixels) { CopyRgba(image.rgba.get(), pixels); });
}

// The whole file named by path: 53 when it names no ordinary file, 7 when
// it holds more than kMaxFileSize bytes.
std::string ReadFile(const std::string& path) {
    FileContent content = ReadOrdinaryFile(path, kMaxFileSize);
    switch (content.outcome) {
        case FileContent::Outcome::Read:
            return std::move(content.bytes);
        case FileContent::Outcome::TooLarge:
            Raise(err::OutOfMemory);
        case FileContent::Outcome::Unreadable:
            Raise(err::InvalidPicture);
        default:
            Raise(err::FileNotFound);
    }
}

Bytes BytesOf(const std::string& bytes) {
    return {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
}

// An icon or cursor file's image, with its opacity and hot spot.
struct IconImage {
    DecodedPicture picture;
    std::vector<uint8_t> opacity;
    uint16_t type = 0;  // 1 icon, 2 cursor
    int32_t hotspotX = 0;
    int32_t hotspotY = 0;
};

// The rest of reading a file that starts with an icon directory.
IconImage ReadIconFile(Bytes data, int64_t maxPixels) {
    const ico::Entry entry = ico::LargestImage(data);
    IconImage out;
    out.type = ReadU16(data, 2);
    out.hotspotX = entry.hotspotX;
    out.hotspotY = entry.hotspotY;
    if (IsPng(entry.image)) {
        CheckPngChunks(entry.image);
        const int length = static_cast<int>(entry.image.size());
        const StbImage png = DecodeWithStb(
            [&](int* x, int* y, int* channels) {
                return stbi_info_from_memory(entry.image.data(), length, x, y, channels);
            },
            [&](int* x, int* y, int* channels) {
                return stbi_load_from_memory(entry.image.data(), length, x, y, channels, 4);
            },
            maxPixels);
        out.picture = NewPicture(png.width, png.height, [&](std::vector<uint32_t>& pixels) {
            CopyRgba(png.rgba.get(), pixels);
        });
        out.opacity.resize(out.picture.pixels.size());
        for (std::size_t i = 0; i < out.opacity.size(); ++i) {
            out.opacity[i] = png.rgba.get()[i * 4 + 3];
        }
        return out;
    }
    const ico::Dib dib = ico::ReadDib(entry.image, maxPixels);
    out.picture = FromDib(dib);
    out.opacity = ico::DibOpacity(dib);
    return out;
}

}  // namespace

DecodedPicture ReadPictureFile(const std::string& path, int64_t maxPixels) {
    return DecodePicture(ReadFile(path), maxPixels);
}

std::string ReadPictureFileBytes(const std::string& path) {
    return ReadFile(path);
}

DecodedPicture DecodePicture(std::string_view bytes, int64_t maxPixels) {
    const Bytes data{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
    // Icons and cursors first: stb does not read them, and a cursor's
    // directory could pass for the header of another format it does read.
    if (ico::IsDirectory(data)) {
        return ReadIconFile(data, maxPixels).picture;
    }
    if (bmp::HasPalette(data)) {
        return FromDib(bmp::ReadPalettedBitmap(data, maxPixels));
    }
    return ReadWithStb(data, maxPixels);
}

DecodedCursor ReadCursorFile(const std::string& path) {
    const std::string bytes = ReadFile(path);
    const Bytes data = BytesOf(bytes);
    if (!ico::IsDirectory(data)) {
        Raise(err::InvalidPicture);
    }
    IconImage image = ReadIconFile(data, kMaxPicturePixels);
    if (image.type != 2) {
        Raise(err::InvalidPicture);
    }
    DecodedCursor cursor;
    cursor.picture = std::move(image.picture);
    cursor.opacity = std::move(image.opacity);
    cursor.hotspotX = std::min(image.hotspotX, cursor.picture.width - 1);
    cursor.hotspotY = std::min(image.hotspotY, cursor.picture.height - 1);
    return cursor;
}

bool LooksLikeCursorFile(const std::string& path) {
    const FileContent content = ReadOrdinaryFile(path, 12, true);
    if (content.outcome != FileContent::Outcome::Read || content.bytes.size() < 12) {
        return false;
    }
    const Bytes head = BytesOf(content.bytes);
    const bool staticCursor = head[0] == 0 && head[1] == 0 && head[2] == 2 && head[3] == 0 &&
                              (head[4] != 0 || head[5] != 0);
    const bool animated = head[0] == 'R' && head[1] == 'I' && head[2] == 'F' && head[3] == 'F' &&
                          head[8] == 'A' && head[9] == 'C' && head[10] == 'O' && head[11] == 'N';
    return staticCursor || animated;
}

}  // namespace scenova::formats
