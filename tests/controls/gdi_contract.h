#pragma once

// What picture clipping relies on from gdi32, on every platform. Include in
// one source file of a test program and instantiate with a GdiFactory.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/Gdi32.h"
#include "platform/Win32Constants.h"

namespace scenova::test {

// The factory for a platform's table of the model (model::Gdi), made from a
// context.
template <class Context, class Table>
struct GdiFactory {
    Context ctx;
    Table gdi{ctx};

    IGdi32& Gdi() { return gdi; }
    int32_t Bitmap(int32_t width, int32_t height) { return gdi.CreateBitmap(width, height, 32); }
    void SetPixel(int32_t bitmap, int32_t x, int32_t y, uint32_t colour) {
        gdi.SetPixel(bitmap, x, y, colour);
    }
    uint32_t GetPixel(int32_t bitmap, int32_t x, int32_t y) {
        return gdi.GetPixel(bitmap, x, y).value_or(0xFFFFFFFFu);
    }
};

template <class F>
class GdiContract : public ::testing::Test {
protected:
    F factory;
    IGdi32& gdi = factory.Gdi();
};

TYPED_TEST_SUITE_P(GdiContract);

// A copy onto an overlapping place of the same bitmap reads every pixel as
// it was before the copy began.
TYPED_TEST_P(GdiContract, ACopyWithinOneBitmapReadsItAsItWas) {
    const int32_t bitmap = this->factory.Bitmap(4, 1);
    for (int32_t x = 0; x < 4; ++x) {
        this->factory.SetPixel(bitmap, x, 0, 0x10u * static_cast<uint32_t>(x + 1));
    }
    const int32_t dc = this->gdi.CreateCompatibleDC(0);
    const int32_t old = this->gdi.SelectObject(dc, bitmap);
    EXPECT_TRUE(this->gdi.BitBlt(dc, 1, 0, 3, 1, dc, 0, 0, win::SRCCOPY));
    this->gdi.SelectObject(dc, old);
    this->gdi.DeleteDC(dc);
    std::vector<uint32_t> pixels;
    for (int32_t x = 0; x < 4; ++x) {
        pixels.push_back(this->factory.GetPixel(bitmap, x, 0));
    }
    EXPECT_EQ(pixels, (std::vector<uint32_t>{0x10, 0x10, 0x20, 0x30}));
}

REGISTER_TYPED_TEST_SUITE_P(GdiContract, ACopyWithinOneBitmapReadsItAsItWas);

}  // namespace scenova::test
