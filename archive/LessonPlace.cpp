#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "archive/PackedLesson.h"
#include "lesson/LessonFolder.h"

namespace scenova::archive {

namespace fs = std::filesystem;
using lesson::LessonError;

bool IsPacked(const fs::path& given) {
    std::error_code error;
    const fs::file_status status = fs::status(given, error);
    return fs::exists(status) && !fs::is_directory(status);
}

namespace {

// Writes all of the text to the descriptor; false when it cannot.
bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

LessonPlace::LessonPlace(const fs::path& given) : m_folder(given) {
    if (!IsPacked(given)) {
        return;  // the folder reader tells what is wrong with it
    }
    const auto archive = Archive::Open(given);
    std::error_code error;
    std::string temporary = (fs::temp_directory_path(error) / "scenova-XXXXXX").string();
    if (error || ::mkdtemp(temporary.data()) == nullptr) {
        throw LessonError("cannot make a temporary folder to unpack " + given.string() + ": " +
                          (error ? error.message() : std::strerror(errno)));
    }
    m_temporary = temporary;
    try {
        // Named as the lesson's folder would be: a lesson's title may be its name.
        std::string name = given.stem().string();
        if (name.empty() || name == "." || name == "..") {
            name = "lesson";
        }
        m_folder = m_temporary / name;
        const auto& entries = archive->Entries();
        const auto fail = [&](const std::string& entry, const std::string& why) {
            throw LessonError(given.string() + ": the entry \"" + entry +
                              "\" cannot be unpacked: " + why);
        };
        if (!fs::create_directory(m_folder, error)) {
            throw LessonError("cannot unpack " + given.string() + ": " + error.message());
        }
        for (std::size_t index = 0; index < entries.size(); ++index) {
            const fs::path path = m_folder / entries[index].name;
            fs::create_directories(entries[index].folder ? path : path.parent_path(), error);
            if (error) {
                fail(entries[index].name, error.message());
            }
            if (entries[index].folder) {
                continue;
            }
            // The names are checked and the folder is new: nothing is there
            // to follow or replace.
            const int fd =
                ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd < 0) {
                fail(entries[index].name, std::strerror(errno));
            }
            try {
                archive->Read(index, [&](std::string_view piece) {
                    if (!WriteAll(fd, piece)) {
                        fail(entries[index].name, std::strerror(errno != 0 ? errno : EIO));
                    }
                });
            } catch (...) {
                ::close(fd);
                throw;
            }
            if (::close(fd) != 0) {
                fail(entries[index].name, std::strerror(errno));
            }
        }
    } catch (...) {
        fs::remove_all(m_temporary, error);
        throw;
    }
}

LessonPlace::~LessonPlace() {
    if (!m_temporary.empty()) {
        std::error_code ignored;
        fs::remove_all(m_temporary, ignored);
    }
}

}  // namespace scenova::archive
