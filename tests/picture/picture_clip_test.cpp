// Cutting a rectangle out of a bitmap into a picture, over the headless gdi32.

#include "picture/CPictureClip.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "headless/HeadlessPlatform.h"
#include "tests/support/TraceMatchers.h"

namespace scenova {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The headless platform whose picture creation always fails.
class NoPicturePlatform final : public Platform, public IOlePro32 {
public:
    explicit NoPicturePlatform(headless::HeadlessPlatform& base) : m_base(base) {}
    IUser32& user32() override { return m_base.user32(); }
    IGdi32& gdi32() override { return m_base.gdi32(); }
    IOlePro32& olepro32() override { return *this; }
    IScreen& screen() override { return m_base.screen(); }
    IToolkit& toolkit() override { return m_base.toolkit(); }
    Picture OleCreatePictureIndirect(const PictDesc&, bool) override { return nullptr; }

private:
    headless::HeadlessPlatform& m_base;
};

class PictureClipTest : public ::testing::Test {
protected:
    // A source whose every pixel has its own colour, in the given depth.
    int32_t Source(int32_t width, int32_t height, int32_t depth) {
        const int32_t bitmap = gdi.CreateBitmap(width, height, depth);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                gdi.SetPixel(bitmap, x, y,
                             depth == 1 ? ((x + y) % 2 ? 0xFFFFFFu : 0u)
                                        : static_cast<uint32_t>(x | y << 12));
            }
        }
        return bitmap;
    }
    std::vector<std::string> Lines() { return testing::Untimed(platform.GetTrace().Lines()); }

    headless::HeadlessPlatform platform;
    headless::Gdi& gdi = platform.HeadlessGdi();
    CPictureClip clipper{platform};
};

TEST_F(PictureClipTest, CopiesTheRectangleInTheSourceDepthAndLeavesNoDeviceContext) {
    const int32_t source = Source(640, 480, 32);
    Picture clip = clipper.CreatePictureClip(source, 100, 50, 200, 100);
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->Width(), 200);
    EXPECT_EQ(clip->Height(), 100);
    EXPECT_EQ(gdi.BitsPerPixel(clip->Handle()), 32);
    EXPECT_EQ(gdi.GetPixel(clip->Handle(), 0, 0), gdi.GetPixel(source, 100, 50));
    EXPECT_EQ(gdi.GetPixel(clip->Handle(), 199, 99), gdi.GetPixel(source, 299, 149));
    EXPECT_EQ(gdi.LiveDCs(), 0u);
    EXPECT_EQ(gdi.SelectedBitmap(0), 0);
    EXPECT_EQ(gdi.LiveBitmaps(), 2u);

    // The source stays the caller's; the copy goes with its picture.
    clip.reset();
    EXPECT_EQ(gdi.LiveBitmaps(), 1u);
    EXPECT_EQ(gdi.BitmapWidth(source), 640);
}

TEST_F(PictureClipTest, TheCopyIsMadeForTheContextThatHoldsTheSource) {
    const int32_t source = Source(8, 8, 1);
    const std::string s = std::to_string(source);
    platform.GetTrace().Clear();
    Picture clip = clipper.CreatePictureClip(source, 1, 2, 4, 3);
    ASSERT_TRUE(clip);
    EXPECT_EQ(gdi.BitsPerPixel(clip->Handle()), 1);
    EXPECT_EQ(gdi.GetPixel(clip->Handle(), 0, 0), gdi.GetPixel(source, 1, 2));
    EXPECT_EQ(gdi.GetPixel(clip->Handle(), 1, 0), gdi.GetPixel(source, 2, 2));
    const std::string c = std::to_string(clip->Handle());
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 11u);
    // Two device contexts, the source selected before the copy is created.
    EXPECT_EQ(lines[0].substr(0, 28), "> gdi32.CreateCompatibleDC(0");
    EXPECT_EQ(lines[1].substr(0, 28), "> gdi32.CreateCompatibleDC(0");
    EXPECT_THAT(lines[2], ::testing::EndsWith(", " + s + ")"));
    EXPECT_THAT(lines[3], ::testing::StartsWith("> gdi32.CreateCompatibleBitmap("));
    EXPECT_THAT(lines[3], ::testing::EndsWith(", 4, 3)"));
    EXPECT_THAT(lines[4], ::testing::EndsWith(", " + c + ")"));
    EXPECT_THAT(lines[5], ::testing::EndsWith(", 1, 2, 13369376)"));
    EXPECT_THAT(lines[7], ::testing::StartsWith("> gdi32.DeleteDC("));
    EXPECT_THAT(lines[9], ::testing::StartsWith("> gdi32.DeleteDC("));
    EXPECT_EQ(lines[10], "> olepro32.OleCreatePictureIndirect(<pictdesc bitmap " + c + ">, True)");
    EXPECT_EQ(gdi.LiveDCs(), 0u);
}

TEST_F(PictureClipTest, NoBitmapGivesNoPictureAndTouchesNothing) {
    platform.GetTrace().Clear();
    EXPECT_FALSE(clipper.CreatePictureClip(0, 0, 0, 10, 10));
    EXPECT_THAT(Lines(), IsEmpty());
}

TEST_F(PictureClipTest, ACopyNoPictureTookIsFreed) {
    const int32_t source = Source(16, 16, 32);
    NoPicturePlatform failing(platform);
    CPictureClip clipperWithoutPictures(failing);
    EXPECT_FALSE(clipperWithoutPictures.CreatePictureClip(source, 0, 0, 8, 8));
    EXPECT_EQ(gdi.LiveBitmaps(), 1u);
    EXPECT_EQ(gdi.LiveDCs(), 0u);
}

}  // namespace
}  // namespace scenova
