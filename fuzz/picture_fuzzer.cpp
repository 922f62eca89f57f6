// The picture and cursor loaders on arbitrary file contents: BMP, PNG, JPEG,
// GIF, icons and cursors with their embedded
// PNGs and bitmaps. The bytes are a real file (in memory, reached by a path)
// read as the platform reads it: the decoder gives a picture within the size
// limits or raises 481 (not a picture) or 7 (too large), the same file reads
// the same every time, the headless gdi32 makes the same picture a bitmap,
// and the cursor check never fails. The script runs it with a malloc limit:
// no few bytes may make the loader take a gigabyte. The same bytes go to the
// AVI header reader.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formats/AviFile.h"
#include "formats/PictureFile.h"
#include "formats/PictureStore.h"
#include "headless/Gdi.h"
#include "runtime/RuntimeError.h"
#include "tests/support/HeadlessWorld.h"

namespace {

// One file for the whole run, rewritten for each input.
class MemoryFile {
public:
    MemoryFile() : m_fd(memfd_create("picture", MFD_CLOEXEC)) {
        if (m_fd < 0) {
            std::abort();
        }
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
    }
    const std::string& Write(const uint8_t* data, std::size_t size) {
        if (ftruncate(m_fd, 0) != 0 ||
            (size > 0 && pwrite(m_fd, data, size, 0) != static_cast<ssize_t>(size))) {
            std::abort();
        }
        return m_path;
    }

private:
    int m_fd;
    std::string m_path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace scenova;
    static MemoryFile file;
    const std::string& path = file.Write(data, size);

    formats::LooksLikeCursorFile(path);

    formats::DecodedPicture decoded;
    try {
        decoded = formats::ReadPictureFile(path);
        const formats::DecodedPicture& picture = decoded;
        if (picture.width <= 0 || picture.height <= 0 || picture.width > formats::kMaxPictureSide ||
            picture.height > formats::kMaxPictureSide ||
            picture.pixels.size() != static_cast<std::size_t>(picture.width) *
                                         static_cast<std::size_t>(picture.height)) {
            std::abort();
        }
        for (uint32_t pixel : picture.pixels) {
            if ((pixel & 0xFF000000) != 0) {
                std::abort();  // a colour reference has no alpha
            }
        }
        if (formats::ReadPictureFile(path).pixels != picture.pixels) {
            std::abort();  // a file shows the same every time
        }
    } catch (const RuntimeError& e) {
        if (e.number() != err::InvalidPicture && e.number() != err::OutOfMemory) {
            std::abort();
        }
    }

    // A lesson's store of 4,096 pixels: the same picture, decoded once, or a
    // bigger one refused as out of memory.
    formats::PictureStore store(4096);
    const bool read = !decoded.pixels.empty();
    try {
        const auto once = store.Read(path);
        if (!read || once->pixels != decoded.pixels || store.Read(path) != once ||
            store.Pixels() > 4096) {
            std::abort();
        }
    } catch (const RuntimeError& e) {
        if (read && (e.number() != err::OutOfMemory || decoded.pixels.size() <= 4096)) {
            std::abort();
        }
    }

    // What the toolkit's LoadPicture gives: the same picture as a bitmap.
    testing::HeadlessWorld world;
    headless::Gdi gdi(world);
    try {
        const Picture picture = gdi.LoadPictureFile(path);
        const int32_t last = decoded.width - 1;
        if (!read || !picture || picture->Width() != decoded.width ||
            picture->Height() != decoded.height ||
            gdi.GetPixel(picture->Handle(), last, 0) != decoded.pixels[last]) {
            std::abort();
        }
    } catch (const RuntimeError&) {
        if (read) {
            std::abort();
        }
    }

    // The movie header reader of the builds without libavformat.
    const auto seconds = formats::AviSeconds({reinterpret_cast<const char*>(data), size});
    if (seconds && !(*seconds > 0)) {
        std::abort();
    }
    return 0;
}
