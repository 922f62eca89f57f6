#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "formats/PictureFile.h"

namespace scenova::formats {

// What a lesson's pictures may hold together: as much as one picture may,
// 64 megapixels (256 MiB of 32-bit pixels). A real lesson's backdrop and
// buttons are a few megapixels.
inline constexpr int64_t kLessonPicturePixels = kMaxPicturePixels;

// The pictures of one lesson, each file decoded once however often it is
// named (a bar's buttons may share one bitmap), within the lesson's budget.
// For one thread.
class PictureStore {
public:
    explicit PictureStore(int64_t budget = kLessonPicturePixels) : m_budget(budget) {}

    // The picture in the file at path. The file is read each time (it is
    // known by where it lies, whatever the path's spelling, and by what it
    // holds), decoded only when it holds what it did not before. Raises as
    // ReadPictureFile does, 7 also when its pixels would take the lesson's
    // pictures past the budget, before they are decoded; a file that failed
    // so fails again without being decoded.
    std::shared_ptr<const DecodedPicture> Read(const std::string& path);

    // The pixels of the pictures held.
    int64_t Pixels() const { return m_pixels; }

private:
    struct Entry {
        std::size_t size = 0;
        std::size_t hash = 0;
        std::shared_ptr<const DecodedPicture> picture;  // or the error
        int32_t error = 0;
    };
    int64_t m_budget;
    int64_t m_pixels = 0;
    std::map<std::string, Entry> m_entries;  // by the file's canonical path
};

}  // namespace scenova::formats
