#include "formats/PictureStore.h"

#include <filesystem>
#include <functional>
#include <string_view>
#include <system_error>
#include <utility>

#include "runtime/RuntimeError.h"

namespace scenova::formats {

std::shared_ptr<const DecodedPicture> PictureStore::Read(const std::string& path) {
    const std::string bytes = ReadPictureFileBytes(path);
    std::error_code error;
    const std::string key = std::filesystem::canonical(path, error).string();
    Entry& entry = m_entries[error ? path : key];
    const std::size_t hash = std::hash<std::string_view>{}(bytes);
    if (entry.size != bytes.size() || entry.hash != hash || (!entry.picture && !entry.error)) {
        // The file holds something else now: what it held is let go.
        if (entry.picture) {
            m_pixels -= static_cast<int64_t>(entry.picture->pixels.size());
        }
        entry = Entry{bytes.size(), hash, nullptr, 0};
        try {
            entry.picture =
                std::make_shared<const DecodedPicture>(DecodePicture(bytes, m_budget - m_pixels));
            m_pixels += static_cast<int64_t>(entry.picture->pixels.size());
        } catch (const RuntimeError& failure) {
            entry.error = failure.number();
        }
    }
    if (entry.error != 0) {
        Raise(entry.error);
    }
    return entry.picture;
}

}  // namespace scenova::formats
