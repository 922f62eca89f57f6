#include "model/MemoryGdi.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "formats/PictureFile.h"

namespace scenova::model {

namespace {

class MemoryPixels final : public IPixels {
public:
    MemoryPixels(int32_t width, int32_t height, std::vector<uint32_t> pixels)
        : m_width(width), m_height(height), m_pixels(std::move(pixels)) {}

    int32_t Width() const override { return m_width; }
    int32_t Height() const override { return m_height; }
    std::vector<uint32_t> Read(int32_t x, int32_t y, int32_t width, int32_t height) const override {
        std::vector<uint32_t> out;
        out.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int32_t row = y; row < y + height; ++row) {
            const auto from = m_pixels.begin() + At(x, row);
            out.insert(out.end(), from, from + width);
        }
        return out;
    }
    void Write(int32_t x, int32_t y, int32_t width, int32_t height,
               const std::vector<uint32_t>& pixels) override {
        for (int32_t row = 0; row < height; ++row) {
            const auto from = pixels.begin() + static_cast<std::ptrdiff_t>(row) * width;
            std::copy(from, from + width, m_pixels.begin() + At(x, y + row));
        }
    }

private:
    std::ptrdiff_t At(int32_t x, int32_t y) const {
        return static_cast<std::ptrdiff_t>(y) * m_width + x;
    }

    int32_t m_width;
    int32_t m_height;
    std::vector<uint32_t> m_pixels;  // row by row, top row first
};

std::unique_ptr<IPixels> NewMemoryPixels(int32_t width, int32_t height) {
    try {
        return std::make_unique<MemoryPixels>(
            width, height,
            std::vector<uint32_t>(static_cast<std::size_t>(width) *
                                  static_cast<std::size_t>(height)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

MemoryGdi::MemoryGdi(Context& ctx) : Gdi(ctx, NewMemoryPixels) {}

Picture MemoryGdi::LoadPictureFile(const std::string& path) {
    const std::shared_ptr<const formats::DecodedPicture> decoded = Pictures().Read(path);
    // A new bitmap each time, as a loaded picture is the caller's to change.
    std::vector<uint32_t> pixels;
    try {
        pixels = decoded->pixels;
    } catch (const std::bad_alloc&) {
        Raise(err::OutOfMemory);
    }
    if (pixels.size() !=
        static_cast<std::size_t>(decoded->width) * static_cast<std::size_t>(decoded->height)) {
        Raise(err::OutOfMemory);
    }
    return Adopt(
        std::make_unique<MemoryPixels>(decoded->width, decoded->height, std::move(pixels)));
}

}  // namespace scenova::model
