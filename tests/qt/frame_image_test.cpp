// Video frames made into pictures at the size shown: the same colours as Qt's
// own conversion, in every 4:2:0 layout, at full size and halved.

#include <gtest/gtest.h>

#include <QVideoFrame>
#include <QVideoFrameFormat>

#include <algorithm>
#include <cstdlib>

#include "qt/FrameImage.h"

namespace scenova::test {
namespace {

// The largest difference of a channel between two pictures of one size.
int Difference(const QImage& a, const QImage& b) {
    int most = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return most;
}

// A 64 by 48 frame of ramps (smooth, so that halving keeps them), or of one
// colour: Y, then U and V as functions of the place.
QVideoFrame Frame(QVideoFrameFormat format, int (*y)(int, int), int (*u)(int, int),
                  int (*v)(int, int)) {
    QVideoFrame frame(format);
    EXPECT_TRUE(frame.map(QVideoFrame::WriteOnly));
    const int width = frame.width();
    for (int row = 0; row < frame.height(); ++row) {
        for (int x = 0; x < width; ++x) {
            frame.bits(0)[row * frame.bytesPerLine(0) + x] = static_cast<uchar>(y(x, row));
        }
    }
    const auto layout = format.pixelFormat();
    const bool planar =
        layout == QVideoFrameFormat::Format_YUV420P || layout == QVideoFrameFormat::Format_YV12;
    const bool swap =
        layout == QVideoFrameFormat::Format_YV12 || layout == QVideoFrameFormat::Format_NV21;
    for (int row = 0; row < frame.height() / 2; ++row) {
        for (int x = 0; x < width / 2; ++x) {
            const auto first = static_cast<uchar>(swap ? v(x, row) : u(x, row));
            const auto second = static_cast<uchar>(swap ? u(x, row) : v(x, row));
            uchar* line = frame.bits(1) + row * frame.bytesPerLine(1);
            if (planar) {
                line[x] = first;
                frame.bits(2)[row * frame.bytesPerLine(2) + x] = second;
            } else {
                line[2 * x] = first;
                line[2 * x + 1] = second;
            }
        }
    }
    frame.unmap();
    return frame;
}

TEST(FrameImage, EveryLayoutGivesQtsColoursAtFullAndHalfSizeAndHDIsBT709) {
    using F = QVideoFrameFormat;
    for (const F::PixelFormat layout :
         {F::Format_YUV420P, F::Format_YV12, F::Format_NV12, F::Format_NV21}) {
        const QVideoFrame frame = Frame(
            F(QSize(64, 48), layout), [](int x, int) { return 16 + 200 * x / 64; },
            [](int, int y) { return 40 + 180 * y / 24; },
            [](int x, int) { return 220 - 180 * x / 32; });
        const QImage qts = frame.toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_LE(Difference(qt::FrameImage(frame, frame.size() * 2), qts), 3) << layout;
        const QSize half = frame.size() / 2;
        const QImage small = qt::FrameImage(frame, half);
        ASSERT_EQ(small.size(), half);
        EXPECT_LE(
            Difference(small, qts.scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)), 8)
            << layout;
        // BT.709's red, where BT.601 would give an orange.
        F hd(QSize(64, 48), layout);
        hd.setColorSpace(F::ColorSpace_BT709);
        const QImage red =
            qt::FrameImage(Frame(
                               hd, [](int, int) { return 63; }, [](int, int) { return 102; },
                               [](int, int) { return 240; }),
                           half);
        const QRgb pixel = red.pixel(5, 5);
        EXPECT_TRUE(qRed(pixel) >= 253 && qGreen(pixel) <= 2 && qBlue(pixel) <= 2)
            << layout << " " << qRed(pixel) << "," << qGreen(pixel) << "," << qBlue(pixel);
    }
}

}  // namespace
}  // namespace scenova::test
