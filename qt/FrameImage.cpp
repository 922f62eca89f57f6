#include "qt/FrameImage.h"

#include <QVideoFrame>
#include <QVideoFrameFormat>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace scenova::qt {

namespace {

// Y'CbCr to R'G'B' in 16.16 fixed point: the luma's offset and scale, and
// the chroma's four weights.
struct Matrix {
    int yOffset;
    int yScale;
    int crToR;
    int cbToG;
    int crToG;
    int cbToB;
};

Matrix MatrixOf(const QVideoFrameFormat& format) {
    // A frame that names no colour space is BT.601, as Qt's conversion takes it.
    const QVideoFrameFormat::ColorSpace space = format.colorSpace();
    double kr = 0.299;
    double kb = 0.114;
    if (space == QVideoFrameFormat::ColorSpace_BT709) {
        kr = 0.2126;
        kb = 0.0722;
    } else if (space == QVideoFrameFormat::ColorSpace_BT2020) {
        kr = 0.2627;
        kb = 0.0593;
    }
    const bool full = format.colorRange() == QVideoFrameFormat::ColorRange_Full ||
                      space == QVideoFrameFormat::ColorSpace_AdobeRgb;
    const double yScale = full ? 1.0 : 255.0 / 219.0;
    const double cScale = full ? 1.0 : 255.0 / 224.0;
    const double kg = 1.0 - kr - kb;
    const auto fixed = [](double value) { return static_cast<int>(value * 65536.0 + 0.5); };
    return {full ? 0 : 16,
            fixed(yScale),
            fixed(2.0 * (1.0 - kr) * cScale),
            fixed(2.0 * kb * (1.0 - kb) / kg * cScale),
            fixed(2.0 * kr * (1.0 - kr) / kg * cScale),
            fixed(2.0 * (1.0 - kb) * cScale)};
}

// The shift of a count's inverse (see FrameImage).
constexpr int kInverseShift = 40;

// 16.16 fixed point to a channel, clamped: a look-up, as three of them
// make each pixel. Every matrix keeps a value's whole part within
// [-kClampBelow, kClampAbove).
constexpr int kClampBelow = 512;
constexpr int kClampAbove = 1024;
const std::array<uint8_t, kClampBelow + kClampAbove> kClamped = [] {
    std::array<uint8_t, kClampBelow + kClampAbove> table{};
    for (int at = 0; at < kClampBelow + kClampAbove; ++at) {
        table[static_cast<std::size_t>(at)] =
            static_cast<uint8_t>(std::clamp(at - kClampBelow, 0, 255));
    }
    return table;
}();

uint8_t Clamp(int value) {
    return kClamped[static_cast<std::size_t>((value >> 16) + kClampBelow)];
}

}  // namespace

QImage FrameImage(const QVideoFrame& frame, QSize size) {
    const QVideoFrameFormat::PixelFormat pixels = frame.pixelFormat();
    const bool planar =
        pixels == QVideoFrameFormat::Format_YUV420P || pixels == QVideoFrameFormat::Format_YV12;
    const bool interleaved =
        pixels == QVideoFrameFormat::Format_NV12 || pixels == QVideoFrameFormat::Format_NV21;
    const int width = frame.width();
    const int height = frame.height();
    size = size.boundedTo(QSize(width, height));
    QVideoFrame mapped = frame;
    if ((!planar && !interleaved) || size.isEmpty() || width < 2 || height < 2 ||
        !mapped.map(QVideoFrame::ReadOnly)) {
        const QImage image = frame.toImage();
        return size.isEmpty() || image.size() == size
                   ? image
                   : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const Matrix m = MatrixOf(frame.surfaceFormat());
    const uchar* luma = mapped.bits(0);
    const int lumaLine = mapped.bytesPerLine(0);
    // Planar: U then V (YV12: V then U), a plane each; else one plane of
    // pairs, U first (NV21: V first).
    const bool swap =
        pixels == QVideoFrameFormat::Format_YV12 || pixels == QVideoFrameFormat::Format_NV21;
    const uchar* first = mapped.bits(1);
    const uchar* second = planar ? mapped.bits(2) : mapped.bits(1) + 1;
    const int chromaLine = mapped.bytesPerLine(1);
    const int step = planar ? 1 : 2;
    const uchar* cb = swap ? second : first;
    const uchar* cr = swap ? first : second;

    // Each shown pixel covers source columns [x0, x1) and rows [y0, y1): the
    // mean of their luma, and the chroma sample at their middle.
    struct Column {
        int x0;
        int x1;
        std::ptrdiff_t chroma;
    };
    std::vector<Column> columns(static_cast<std::size_t>(size.width()));
    for (int x = 0; x < size.width(); ++x) {
        const int x0 = static_cast<int>(int64_t{x} * width / size.width());
        const int x1 = std::max(x0 + 1, static_cast<int>(int64_t{x + 1} * width / size.width()));
        columns[static_cast<std::size_t>(x)] = {x0, x1,
                                                (std::min((x0 + x1) / 2, width - 1) / 2) * step};
    }
    // The chroma's share of red, green and blue, then a pixel of it.
    struct Chroma {
        int r;
        int g;
        int b;
    };
    const auto chroma = [&m](int u, int v) {
        return Chroma{m.crToR * v, m.cbToG * u + m.crToG * v, m.cbToB * u};
    };
    const auto rgb = [&m](int yy, const Chroma& c) {
        const int base = (yy - m.yOffset) * m.yScale + (1 << 15);
        return qRgb(Clamp(base + c.r), Clamp(base - c.g), Clamp(base + c.b));
    };
    // At the frame's own size each pixel is one sample: no sums, no division
    // (most of the cost of a small video's frame).
    const bool whole = size == QSize(width, height);
    // A pixel's mean divides by its count of samples: by a multiplication
    // with the count's inverse, as exact for these sums (below 2^24, counts
    // up to 2^16) and without a division per pixel.
    std::vector<int> down;
    std::vector<uint64_t> inverse;
    if (!whole) {
        down.resize(static_cast<std::size_t>(width));
        const int most = (height + size.height() - 1) / size.height() *
                         ((width + size.width() - 1) / size.width());
        if (most <= 1 << 16) {
            inverse.resize(static_cast<std::size_t>(most) + 1);
            for (std::size_t count = 1; count < inverse.size(); ++count) {
                inverse[count] = ((uint64_t{1} << kInverseShift) + count - 1) / count;
            }
        }
    }
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        const int y0 = static_cast<int>(int64_t{y} * height / size.height());
        const int y1 = std::max(y0 + 1, static_cast<int>(int64_t{y + 1} * height / size.height()));
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::ptrdiff_t chromaRow =
            static_cast<std::ptrdiff_t>(std::min((y0 + y1) / 2, height - 1) / 2) * chromaLine;
        const uchar* cbRow = cb + chromaRow;
        const uchar* crRow = cr + chromaRow;
        const uchar* top = luma + static_cast<std::ptrdiff_t>(y0) * lumaLine;
        if (whole) {
            // Two pixels share a chroma sample.
            for (int x = 0; x < width; x += 2) {
                const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(x / 2) * step;
                const Chroma c = chroma(cbRow[at] - 128, crRow[at] - 128);
                out[x] = rgb(top[x], c);
                if (x + 1 < width) {
                    out[x + 1] = rgb(top[x + 1], c);
                }
            }
            continue;
        }
        // The rows' luma summed down each source column first (a loop the
        // compiler vectorises), then across each pixel's columns.
        std::fill(down.begin(), down.end(), 0);
        for (int row = y0; row < y1; ++row) {
            const uchar* line = luma + static_cast<std::ptrdiff_t>(row) * lumaLine;
            for (std::size_t at = 0; at < down.size(); ++at) {
                down[at] += line[at];
            }
        }
        const int rows = y1 - y0;
        for (int x = 0; x < size.width(); ++x) {
            const Column& column = columns[static_cast<std::size_t>(x)];
            int sum = 0;
            for (int at = column.x0; at < column.x1; ++at) {
                sum += down[static_cast<std::size_t>(at)];
            }
            const int count = rows * (column.x1 - column.x0);
            const int mean = inverse.empty()
                                 ? (sum + count / 2) / count
                                 : static_cast<int>((static_cast<uint64_t>(sum + count / 2) *
                                                     inverse[static_cast<std::size_t>(count)]) >>
                                                    kInverseShift);
            out[x] = rgb(mean, chroma(cbRow[column.chroma] - 128, crRow[column.chroma] - 128));
        }
    }
    mapped.unmap();
    return image;
}

}  // namespace scenova::qt
