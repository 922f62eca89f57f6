#include "headless/Gdi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Win32Constants.h"
#include "runtime/RuntimeError.h"
#include "tests/controls/gdi_contract.h"
#include "tests/support/Errors.h"
#include "tests/support/HeadlessWorld.h"
#include "tests/support/TempDir.h"

namespace scenova::headless {
namespace {

// A colour that tells every pixel of a source up to 1024x1024 apart.
uint32_t Pattern(int32_t x, int32_t y) {
    return 0x100000u | static_cast<uint32_t>(x) | static_cast<uint32_t>(y) << 10;
}

class GdiTest : public ::testing::Test {
protected:
    int32_t MakeSource(int32_t width, int32_t height) {
        const int32_t bitmap = gdi.CreateBitmap(width, height, 32);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                gdi.SetPixel(bitmap, x, y, Pattern(x, y));
            }
        }
        return bitmap;
    }

    // The clipping sequence the component runs. With bitmapFirst the new
    // bitmap is made before the source is selected: the ordering fault.
    Picture Clip(int32_t hBmp, int32_t x, int32_t y, int32_t cx, int32_t cy,
                 bool bitmapFirst = false) {
        const int32_t source = gdi.CreateCompatibleDC(0);
        const int32_t target = gdi.CreateCompatibleDC(0);
        int32_t bitmap = 0;
        if (bitmapFirst) {
            bitmap = gdi.CreateCompatibleBitmap(source, cx, cy);
        }
        const int32_t oldSource = gdi.SelectObject(source, hBmp);
        if (!bitmapFirst) {
            bitmap = gdi.CreateCompatibleBitmap(source, cx, cy);
        }
        const int32_t oldTarget = gdi.SelectObject(target, bitmap);
        gdi.BitBlt(target, 0, 0, cx, cy, source, x, y, win::SRCCOPY);
        gdi.SelectObject(source, oldSource);
        gdi.DeleteDC(source);
        gdi.SelectObject(target, oldTarget);
        gdi.DeleteDC(target);
        PictDesc desc;
        desc.picType = win::PICTYPE_BITMAP;
        desc.hbitmap = bitmap;
        return gdi.OleCreatePictureIndirect(desc, true);
    }

    scenova::testing::HeadlessWorld world;
    Gdi gdi{world};
};

TEST_F(GdiTest, CopiesOnlyThePartInsideBothBitmaps) {
    const int32_t source = MakeSource(10, 10);

    Picture beyond = Clip(source, 6, 7, 5, 5);
    ASSERT_TRUE(beyond);
    EXPECT_EQ(gdi.GetPixel(beyond->Handle(), 0, 0), Pattern(6, 7));
    EXPECT_EQ(gdi.GetPixel(beyond->Handle(), 3, 2), Pattern(9, 9));
    EXPECT_EQ(gdi.GetPixel(beyond->Handle(), 4, 0), 0u);
    EXPECT_EQ(gdi.GetPixel(beyond->Handle(), 4, 2), 0u);
    EXPECT_EQ(gdi.GetPixel(beyond->Handle(), 3, 3), 0u);

    Picture before = Clip(source, -2, -1, 4, 4);
    ASSERT_TRUE(before);
    EXPECT_EQ(gdi.GetPixel(before->Handle(), 2, 1), Pattern(0, 0));
    EXPECT_EQ(gdi.GetPixel(before->Handle(), 3, 3), Pattern(1, 2));
    EXPECT_EQ(gdi.GetPixel(before->Handle(), 1, 1), 0u);
    EXPECT_EQ(gdi.GetPixel(before->Handle(), 3, 0), 0u);

    // Far outside and at the ends of the integer range: nothing copied.
    Picture outside = Clip(source, 30000, -30000, 3, 3);
    ASSERT_TRUE(outside);
    EXPECT_EQ(gdi.GetPixel(outside->Handle(), 0, 0), 0u);
    const int32_t dc = gdi.CreateCompatibleDC(0);
    const int32_t src = gdi.CreateCompatibleDC(0);
    gdi.SelectObject(dc, outside->Handle());
    gdi.SelectObject(src, source);
    EXPECT_TRUE(gdi.BitBlt(dc, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX, src, INT32_MIN,
                           INT32_MAX, win::SRCCOPY));
    EXPECT_TRUE(gdi.BitBlt(dc, 0, 0, -5, 3, src, 0, 0, win::SRCCOPY));
    EXPECT_EQ(gdi.GetPixel(outside->Handle(), 0, 0), 0u);
    gdi.SelectObject(dc, gdi.StockBitmap());
    gdi.DeleteDC(dc);
    gdi.DeleteDC(src);
}

TEST_F(GdiTest, BitmapsBeyondTheSizeLimitAreRefused) {
    const int32_t dc = gdi.CreateCompatibleDC(0);
    for (const auto& [cx, cy] : std::vector<std::pair<int32_t, int32_t>>{
             {0, 5}, {-1, 5}, {16385, 1}, {1, 16385}, {16384, 16384}, {INT32_MAX, 2}}) {
        EXPECT_EQ(gdi.CreateCompatibleBitmap(dc, cx, cy), 0) << cx << "x" << cy;
    }
    EXPECT_EQ(gdi.CreateBitmap(2, 2, 24), 0);
    EXPECT_EQ(gdi.LiveBitmaps(), 0u);
    gdi.DeleteDC(dc);
}

// A bitmap made while the source DC still holds the stock bitmap takes its
// format: the ordering fault, and the clip of an invalid bitmap.
TEST_F(GdiTest, BitmapMadeForTheStockBitmapIsMonochrome) {
    const int32_t source = MakeSource(8, 8);
    gdi.SetPixel(source, 2, 3, 0x00FFFFFF);
    Picture picture = Clip(source, 2, 3, 4, 4, /*bitmapFirst=*/true);
    ASSERT_TRUE(picture);
    EXPECT_EQ(gdi.BitsPerPixel(picture->Handle()), 1);
    // Colour is lost: white stays white, every other colour turns black.
    EXPECT_EQ(gdi.GetPixel(picture->Handle(), 0, 0), 0x00FFFFFFu);
    EXPECT_EQ(gdi.GetPixel(picture->Handle(), 1, 0), 0u);
    picture.reset();
    gdi.DeleteObject(source);
    for (int32_t hBmp : {0, 12345, -7}) {
        picture = Clip(hBmp, 0, 0, 10, 10);
        ASSERT_TRUE(picture);
        EXPECT_EQ(gdi.BitsPerPixel(picture->Handle()), 1);
        EXPECT_EQ(gdi.GetPixel(picture->Handle(), 9, 9), 0u);
    }
    picture.reset();
    EXPECT_EQ(gdi.LiveDCs(), 0u);
    EXPECT_EQ(gdi.LiveBitmaps(), 0u);
}

// Picture files written by the tests into a folder of their own.
class GdiLoadTest : public GdiTest {
protected:
    std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) {
        return dir.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    std::string Path(const std::string& name) const { return (dir.Path() / name).string(); }
    int32_t LoadError(const std::string& path) {
        return scenova::testing::ErrorOf([&] { gdi.LoadPictureFile(path); });
    }

    scenova::testing::TempDir dir;
};

// A 2x2 24-bit BMP: red, green on top; blue, white below (the bottom row
// first in the file, or the top one, with a negative height).
std::vector<unsigned char> TinyBmp(bool topDown = false) {
    const std::string bmp = scenova::testing::ReadFile(
        std::string(SCENOVA_SOURCE_DIR) +
        (topDown ? "/tests/data/tiny_top_down.bmp" : "/tests/data/tiny.bmp"));
    return {bmp.begin(), bmp.end()};
}

TEST_F(GdiLoadTest, LoadsBmpIntoAnOwned32BitBitmap) {
    for (const bool topDown : {false, true}) {
        Picture picture = gdi.LoadPictureFile(Write("tiny.bmp", TinyBmp(topDown)));
        ASSERT_TRUE(picture) << topDown;
        EXPECT_EQ(picture->Width(), 2);
        EXPECT_EQ(picture->Height(), 2);
        const int32_t bitmap = picture->Handle();
        EXPECT_EQ(gdi.BitsPerPixel(bitmap), 32);
        EXPECT_EQ(gdi.GetPixel(bitmap, 0, 0), 0x000000FFu) << topDown;  // red
        EXPECT_EQ(gdi.GetPixel(bitmap, 1, 0), 0x0000FF00u) << topDown;  // green
        EXPECT_EQ(gdi.GetPixel(bitmap, 0, 1), 0x00FF0000u) << topDown;  // blue
        EXPECT_EQ(gdi.GetPixel(bitmap, 1, 1), 0x00FFFFFFu) << topDown;
        picture.reset();
        EXPECT_EQ(gdi.LiveBitmaps(), 0u);
    }
}

TEST_F(GdiLoadTest, FilesThatAreNotPicturesOrTooLargeAreRefused) {
    const std::string text = "not a picture\n";
    std::vector<unsigned char> truncated = TinyBmp();
    truncated.resize(40);
    std::vector<unsigned char> huge = TinyBmp();
    huge[18] = 0x01;  // width 0x4001 = 16385, refused before decoding
    huge[19] = 0x40;
    // A Huffman table of 16 x 17 = 272 codes: the sanitizers see stb write
    // past its 256 when the file reaches it.
    std::vector<unsigned char> codes = {0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x13, 0x10};
    codes.insert(codes.end(), 16, 17);
    const struct {
        std::string path;
        int32_t error;
    } rows[] = {
        {Write("notes.bmp", {text.begin(), text.end()}), err::InvalidPicture},
        {Write("empty.png", {}), err::InvalidPicture},
        {Write("cut.bmp", truncated), err::InvalidPicture},
        // A kind a picture cannot be, here one that stb read past its end.
        {Write("cut.ppm", {'P', '6', '\n', '2', ' ', '2', '\n', '2', '5', '5', '\n', 1, 2}),
         err::InvalidPicture},
        {Write("huge.bmp", huge), err::OutOfMemory},
        {Write("codes.jpg", codes), err::InvalidPicture},
        {Path("absent.bmp"), err::FileNotFound},
        {"", err::FileNotFound},
        {dir.Path().string(), err::FileNotFound},
        {std::string("tiny.bmp\0x", 10), err::FileNotFound},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LoadError(row.path), row.error) << row.path;
    }
    EXPECT_EQ(gdi.LiveBitmaps(), 0u);
}

}  // namespace
}  // namespace scenova::headless

namespace scenova::test {
using HeadlessGdiFactory = GdiFactory<scenova::testing::HeadlessWorld, headless::Gdi>;
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, GdiContract, HeadlessGdiFactory);
}  // namespace scenova::test
