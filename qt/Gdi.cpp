#include "qt/Gdi.h"

#include <memory>
#include <utility>
#include <vector>

#include "formats/PictureFile.h"
#include "runtime/RuntimeError.h"

namespace scenova::qt {

namespace {

QRgb FromColourRef(uint32_t colour, uint8_t alpha = 255) {
    return qRgba(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                 static_cast<int>((colour >> 16) & 0xFF), alpha);
}

class ImagePixels final : public model::IPixels {
public:
    ImagePixels(QImage image, std::optional<QPoint> hotspot)
        : image(std::move(image)), hotspot(hotspot) {}

    int32_t Width() const override { return image.width(); }
    int32_t Height() const override { return image.height(); }
    std::vector<uint32_t> Read(int32_t x, int32_t y, int32_t width, int32_t height) const override {
        std::vector<uint32_t> out;
        out.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int32_t row = y; row < y + height; ++row) {
            for (int32_t column = x; column < x + width; ++column) {
                const QRgb pixel = image.pixel(column, row);
                out.push_back(
                    static_cast<uint32_t>(qRed(pixel) | qGreen(pixel) << 8 | qBlue(pixel) << 16));
            }
        }
        return out;
    }
    void Write(int32_t x, int32_t y, int32_t width, int32_t height,
               const std::vector<uint32_t>& pixels) override {
        auto next = pixels.begin();
        for (int32_t row = y; row < y + height; ++row) {
            for (int32_t column = x; column < x + width; ++column) {
                image.setPixel(column, row, FromColourRef(*next++));
            }
        }
    }

    QImage image;
    std::optional<QPoint> hotspot;
};

std::unique_ptr<model::IPixels> NewImagePixels(int32_t width, int32_t height) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return nullptr;  // out of memory
    }
    image.fill(Qt::black);
    return std::make_unique<ImagePixels>(std::move(image), std::nullopt);
}

const ImagePixels* PixelsOf(const Picture& picture) {
    return dynamic_cast<const ImagePixels*>(model::Gdi::PixelsOf(picture));
}

}  // namespace

Gdi::Gdi(model::Context& ctx) : model::Gdi(ctx, NewImagePixels) {}

Picture Gdi::LoadPictureFile(const std::string& path) {
    if (formats::LooksLikeCursorFile(path)) {
        const formats::DecodedCursor cursor = formats::ReadCursorFile(path);
        return Adopt(std::make_unique<ImagePixels>(ToQImage(cursor),
                                                   QPoint(cursor.hotspotX, cursor.hotspotY)));
    }
    // A new bitmap each time, as a loaded picture is the caller's to change:
    // the image's pixels are copied when it is first written.
    return Adopt(std::make_unique<ImagePixels>(ImageOf(Pictures().Read(path)), std::nullopt));
}

QImage Gdi::ImageOf(const std::shared_ptr<const formats::DecodedPicture>& decoded) {
    std::erase_if(m_images, [](const auto& entry) { return entry.second.first.expired(); });
    auto& [picture, image] = m_images[decoded.get()];
    if (picture.lock() != decoded) {
        picture = decoded;
        image = ToQImage(*decoded);
    }
    return image;
}

QImage Gdi::Shown(const std::string& path) {
    try {
        return ImageOf(Pictures().Read(path));
    } catch (const RuntimeError& error) {
        if (error.number() == err::OutOfMemory && onPictureRefused) {
            onPictureRefused(path, error);
        }
        return QImage();
    }
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
    const ImagePixels* pixels = PixelsOf(picture);
    return pixels ? pixels->image : QImage();
}

std::optional<QPoint> HotspotOf(const Picture& picture) {
    const ImagePixels* pixels = PixelsOf(picture);
    return pixels ? pixels->hotspot : std::nullopt;
}

}  // namespace scenova::qt
