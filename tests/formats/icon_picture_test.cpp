// Icon and cursor files as pictures: built byte by byte here, so that every
// field the reader reads can be set to what a damaged file holds.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formats/PictureFile.h"
#include "formats/PictureStore.h"
#include "runtime/RuntimeError.h"
#include "tests/support/Errors.h"
#include "tests/support/TempDir.h"

namespace scenova::formats {
namespace {

using scenova::testing::ErrorOf;
using Bytes = std::vector<unsigned char>;

void Put16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}
void Put32(Bytes& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}
void Set32(Bytes& out, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
    }
}

// The colour reference of test colour i: red in the lowest byte.
uint32_t Colour(int i) {
    return static_cast<uint32_t>(0x10 + i) | static_cast<uint32_t>(0x80 + i) << 8 |
           static_cast<uint32_t>(0xF0 - i) << 16;
}

// The colour a test image has at x, y: colour (y * width + x) modulo the
// colours its depth can tell apart.
int ColourIndex(int x, int y, int width, int bitsPerPixel) {
    const int colours = bitsPerPixel >= 8 ? 256 : 1 << bitsPerPixel;
    return (y * width + x) % colours;
}

// A bitmap image as icons hold it: the info header with twice the height,
// the palette, the colour rows bottom-up, then the transparency mask.
Bytes Dib(int width, int height, int bitsPerPixel) {
    Bytes dib;
    const bool paletted = bitsPerPixel <= 8;
    const uint32_t colours = paletted ? 1u << bitsPerPixel : 0;
    for (uint32_t field : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(2 * height)}) {
        Put32(dib, field);
    }
    Put16(dib, 1);
    Put16(dib, static_cast<uint32_t>(bitsPerPixel));
    for (uint32_t field : {0u, 0u, 0u, 0u, colours, 0u}) {
        Put32(dib, field);
    }
    for (uint32_t i = 0; i < colours; ++i) {
        const uint32_t c = Colour(static_cast<int>(i));
        dib.insert(dib.end(),
                   {static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 8),
                    static_cast<unsigned char>(c), 0});
    }
    const std::size_t stride = (static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    for (int y = height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < width; ++x) {
            const int index = ColourIndex(x, y, width, bitsPerPixel);
            if (paletted) {
                const int bit = x * bitsPerPixel;
                row[bit / 8] |= static_cast<unsigned char>(index << (8 - bitsPerPixel - bit % 8));
            } else {
                const uint32_t c = Colour(index);
                unsigned char* p = &row[static_cast<std::size_t>(x * bitsPerPixel / 8)];
                p[0] = static_cast<unsigned char>(c >> 16);
                p[1] = static_cast<unsigned char>(c >> 8);
                p[2] = static_cast<unsigned char>(c);
            }
        }
        dib.insert(dib.end(), row.begin(), row.end());
    }
    dib.resize(dib.size() + (static_cast<std::size_t>(width) + 31) / 32 * 4 * height, 0);
    return dib;
}

struct Image {
    int directoryWidth;
    int directoryHeight;
    Bytes data;
};

// An icon (type 1) or cursor (type 2) file holding the images in order.
Bytes Container(uint16_t type, const std::vector<Image>& images) {
    Bytes file;
    Put16(file, 0);
    Put16(file, type);
    Put16(file, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (const Image& image : images) {
        file.push_back(static_cast<unsigned char>(image.directoryWidth));
        file.push_back(static_cast<unsigned char>(image.directoryHeight));
        file.insert(file.end(), {0, 0});
        Put16(file, 1);   // hot spot x of a cursor, planes of an icon
        Put16(file, 32);  // hot spot y of a cursor, depth of an icon
        Put32(file, static_cast<uint32_t>(image.data.size()));
        Put32(file, offset);
        offset += static_cast<uint32_t>(image.data.size());
    }
    for (const Image& image : images) {
        file.insert(file.end(), image.data.begin(), image.data.end());
    }
    return file;
}

// A PNG of 3x2 test colours, half transparent (tests/data/README.md).
Bytes Png() {
    const std::string png =
        testing::ReadFile(std::string(SCENOVA_SOURCE_DIR) + "/tests/data/icon_image.png");
    return {png.begin(), png.end()};
}

class IconPictureTest : public ::testing::Test {
protected:
    std::string Write(const Bytes& bytes) {
        return dir.Write("picture.cur", std::string(bytes.begin(), bytes.end()));
    }
    int32_t LoadError(const Bytes& bytes) {
        const std::string path = Write(bytes);
        return ErrorOf([&] { ReadPictureFile(path); });
    }
    // Each pixel of the picture, expecting test colour ColourIndex.
    void ExpectTestColours(const DecodedPicture& picture, int width, int height, int bitsPerPixel) {
        ASSERT_EQ(picture.width, width);
        ASSERT_EQ(picture.height, height);
        ASSERT_EQ(picture.pixels.size(), static_cast<std::size_t>(width * height));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                EXPECT_EQ(picture.pixels[static_cast<std::size_t>(y * width + x)],
                          Colour(ColourIndex(x, y, width, bitsPerPixel)))
                    << "at " << x << "," << y;
            }
        }
    }

    testing::TempDir dir;
};

TEST_F(IconPictureTest, BitmapImagesOfEveryDepthKeepTheirColoursRightSideUp) {
    // 5 pixels wide, so every depth pads its rows; 1 bit per pixel uses the
    // last bits of a byte.
    for (int bitsPerPixel : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bitsPerPixel);
        for (uint16_t type : {1, 2}) {
            const Bytes file = Container(type, {{5, 3, Dib(5, 3, bitsPerPixel)}});
            ExpectTestColours(ReadPictureFile(Write(file)), 5, 3, bitsPerPixel);
        }
    }
}

TEST_F(IconPictureTest, TheLargestImageIsTakenWhereverItStands) {
    const Bytes file = Container(
        1, {{4, 4, Dib(4, 4, 8)}, {0, 0, Dib(6, 2, 24)}, {16, 16, Dib(3, 3, 32)}, {8, 8, {}}});
    // 0 in the directory stands for 256, so the second image is the largest.
    ExpectTestColours(ReadPictureFile(Write(file)), 6, 2, 24);
}

TEST_F(IconPictureTest, EmbeddedPngImagesAreDecodedDroppingAlpha) {
    ExpectTestColours(ReadPictureFile(Write(Container(1, {{3, 2, Png()}}))), 3, 2, 32);
    Bytes cut = Png();
    cut.resize(cut.size() / 2);
    EXPECT_EQ(LoadError(Container(1, {{3, 2, cut}})), err::InvalidPicture);
}

TEST_F(IconPictureTest, DamagedFilesAreRefusedCleanly) {
    const Bytes good = Container(2, {{4, 4, Dib(4, 4, 4)}});
    constexpr std::size_t kEntry = 6;
    constexpr std::size_t kImage = 22;  // the info header
    struct Row {
        const char* what;
        std::size_t at;
        uint32_t value;
        int32_t error;
    };
    const std::vector<Row> rows = {
        {"image beyond the file", kEntry + 12, 0x10000, err::InvalidPicture},
        {"image size beyond the file", kEntry + 8, 0x10000, err::InvalidPicture},
        {"offset and size wrapping round 32 bits", kEntry + 8, 0xFFFFFFF0, err::InvalidPicture},
        {"an empty image", kEntry + 8, 0, err::InvalidPicture},
        {"header size below the info header", kImage, 12, err::InvalidPicture},
        {"header size beyond the image", kImage, 0x1000, err::InvalidPicture},
        {"no width", kImage + 4, 0, err::InvalidPicture},
        {"negative width", kImage + 4, 0xFFFFFFFC, err::InvalidPicture},
        {"odd doubled height", kImage + 8, 7, err::InvalidPicture},
        {"negative height", kImage + 8, 0xFFFFFFF8, err::InvalidPicture},
        {"16 bits per pixel", kImage + 12, 1 | 16 << 16, err::InvalidPicture},
        {"compressed", kImage + 16, 2, err::InvalidPicture},
        {"more colours than the depth has", kImage + 32, 17, err::InvalidPicture},
        {"rows beyond the image", kImage + 8, 2 * 64, err::InvalidPicture},
        {"wider than a bitmap may be", kImage + 4, 16385, err::OutOfMemory},
        {"too many pixels", kImage + 4, 16384, err::OutOfMemory},  // with 16384 rows below
        {"directory entry count beyond the file", 4, 0x0100 | 2, err::InvalidPicture},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Bytes bad = good;
        Set32(bad, row.at, row.value);
        if (row.error == err::OutOfMemory && row.value == 16384) {
            Set32(bad, kImage + 8, 2 * 16384);
        }
        if (row.at == 4) {  // only the count, not the first entry's sides
            bad[6] = good[6];
            bad[7] = good[7];
        }
        EXPECT_EQ(LoadError(bad), row.error);
    }
    // A palette shorter than the depth leaves the colours it lacks black.
    Bytes fewColours = good;
    Set32(fewColours, kImage + 32, 2);
    fewColours.erase(fewColours.begin() + kImage + 40 + 8, fewColours.begin() + kImage + 40 + 64);
    Set32(fewColours, kEntry + 8, static_cast<uint32_t>(fewColours.size() - kImage));
    const DecodedPicture picture = ReadPictureFile(Write(fewColours));
    EXPECT_EQ(picture.pixels.at(1), Colour(1));
    EXPECT_EQ(picture.pixels.at(2), 0u);
}

// A bitmap file of the test image: the file header, then the image as an
// icon holds it with the height not doubled (the mask after it is unused).
Bytes BitmapFile(int width, int height, int bitsPerPixel) {
    Bytes image = Dib(width, height, bitsPerPixel);
    Set32(image, 8, static_cast<uint32_t>(height));
    const uint32_t colours = bitsPerPixel <= 8 ? 1u << bitsPerPixel : 0;
    Bytes file = {'B', 'M'};
    Put32(file, static_cast<uint32_t>(14 + image.size()));
    Put32(file, 0);
    Put32(file, 14 + 40 + 4 * colours);
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

TEST_F(IconPictureTest, PalettedBitmapFilesShowThePaletteTheHeaderNames) {
    for (int bitsPerPixel : {1, 4, 8}) {
        SCOPED_TRACE(bitsPerPixel);
        ExpectTestColours(ReadPictureFile(Write(BitmapFile(5, 3, bitsPerPixel))), 5, 3,
                          bitsPerPixel);
    }
    // The header names two colours; the bytes up to the pixels hold more,
    // which are not the palette: the indexes past two are black (a reader
    // sizing the palette from that gap showed them, and for an index past
    // even the gap, whatever its memory held).
    Bytes fewColours = BitmapFile(5, 3, 4);
    Set32(fewColours, 14 + 32, 2);
    const DecodedPicture picture = ReadPictureFile(Write(fewColours));
    ASSERT_EQ(picture.pixels.size(), 15u);
    for (int i = 0; i < 15; ++i) {
        const int index = ColourIndex(i % 5, i / 5, 5, 4);
        EXPECT_EQ(picture.pixels[i], index < 2 ? Colour(index) : 0u) << i;
    }
}

// Cursors keep what a picture drops: where the screen shows through, and
// the hot spot. The sample lesson's two cursors are one of each kind: a
// 1-bit image with its mask and a 32-bit one with alpha.
TEST_F(IconPictureTest, CursorsKeepTheirTransparencyAndHotSpot) {
    const std::string resources = std::string(SCENOVA_SOURCE_DIR) + "/examples/market/resources/";
    struct Case {
        std::string file;
        int32_t hotspotX, hotspotY;
        int x, y;  // a pixel of the outline
        uint32_t outline;
    };
    for (const Case& c :
         {Case{"link.cur", 12, 0, 12, 0, 0x000000}, Case{"button.cur", 0, 0, 0, 0, 0x001E3C}}) {
        const DecodedCursor cursor = ReadCursorFile(resources + c.file);
        ASSERT_EQ(cursor.picture.width, 32) << c.file;
        ASSERT_EQ(cursor.opacity.size(), 32u * 32u) << c.file;
        EXPECT_EQ(cursor.hotspotX, c.hotspotX) << c.file;
        EXPECT_EQ(cursor.hotspotY, c.hotspotY) << c.file;
        const auto at = [&](int x, int y) { return static_cast<std::size_t>(y * 32 + x); };
        EXPECT_EQ(cursor.picture.pixels[at(c.x, c.y)], c.outline) << c.file;
        EXPECT_EQ(cursor.opacity[at(c.x, c.y)], 255) << c.file;
        EXPECT_EQ(cursor.opacity[at(31, 31)], 0) << c.file;  // a corner the pointer leaves clear
    }
    const std::string icon = Write(Container(1, {{4, 4, Dib(4, 4, 24)}}));
    EXPECT_EQ(ErrorOf([&] { ReadCursorFile(icon); }), err::InvalidPicture);
    EXPECT_EQ(ErrorOf([&] { ReadCursorFile(resources + "nav.bar"); }), err::InvalidPicture);
}

// A lesson's pictures: each file decoded once however often and however it
// is named, all of them within the lesson's budget (past it 7, before the
// pixels are decoded); a file that changes is decoded anew, what it held let
// go.
TEST_F(IconPictureTest, ALessonsPicturesAreDecodedOnceWithinItsBudget) {
    const auto put = [&](const std::string& name, int width, int height) {
        const Bytes file = BitmapFile(width, height, 24);
        return dir.Write(name, std::string(file.begin(), file.end()));
    };
    const std::string a = put("media/a.bmp", 8, 8);
    const std::string b = put("media/b.bmp", 8, 4);
    PictureStore store(90);
    const auto first = store.Read(a);
    EXPECT_EQ(store.Read(dir.Folder() + "media/../media/a.bmp"), first);
    EXPECT_EQ(store.Pixels(), 64);
    EXPECT_EQ(ErrorOf([&] { store.Read(b); }), err::OutOfMemory);
    put("media/a.bmp", 4, 4);
    EXPECT_EQ(store.Read(a)->width, 4);
    EXPECT_EQ(store.Pixels(), 16);
}

}  // namespace
}  // namespace scenova::formats
