// The packed lesson reader on any bytes, opened from memory, every entry it
// accepts read as unpacking reads it. An entry accepted has a name that
// stays inside the lesson folder, and no more of it is handed out than it
// declares, all of them together within the expansion allowed; anything
// else is refused with lesson::LessonError.
//
// Input: the bytes of a packed lesson (.scenova, a ZIP archive).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "archive/PackedLesson.h"
#include "lesson/LessonFolder.h"

namespace {

using namespace scenova;

bool StaysInside(std::string_view name) {
    return !name.empty() && name.front() != '/' && name.find('\\') == std::string_view::npos &&
           name != ".." && !name.starts_with("../") &&
           name.find("/../") == std::string_view::npos && !name.ends_with("/..") &&
           name.find(':') == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<archive::Archive> packed;
    try {
        packed = archive::Archive::Open(bytes, "fuzz.scenova");
    } catch (const lesson::LessonError&) {
        return 0;
    }
    const auto& entries = packed->Entries();
    std::uint64_t total = 0;
    if (entries.size() > archive::kMostEntries) {
        std::abort();
    }
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const archive::Entry& entry = entries[index];
        total += entry.size;
        if (!StaysInside(entry.name) || total > archive::kMostExpansion * size) {
            std::abort();
        }
        std::uint64_t got = 0;
        try {
            packed->Read(index, [&](std::string_view piece) {
                got += piece.size();
                if (got > entry.size) {
                    std::abort();
                }
            });
        } catch (const lesson::LessonError&) {
            continue;
        }
        if (got != entry.size) {
            std::abort();
        }
    }
    return 0;
}
