#include "formats/FileLookup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>

namespace scenova::formats {

namespace fs = std::filesystem;

namespace {

bool HasWildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

bool IsHidden(const std::string& name) {
    return !name.empty() && name.front() == '.';
}

bool IsOrdinaryFile(const fs::directory_entry& entry) {
    std::error_code error;
    // Follows symlinks: a link to a regular file counts, a dangling one not.
    return !IsHidden(entry.path().filename().string()) && entry.is_regular_file(error) && !error;
}

// The length of the UTF-8 character starting at text[at], at least 1.
std::size_t CharacterLength(const std::string& text, std::size_t at) {
    std::size_t length = 1;
    while (at + length < text.size() &&
           (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

}  // namespace

bool MatchesWildcard(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*") {
        return true;
    }
    // Greedy match that backtracks to the last "*" only: linear in practice,
    // never worse than pattern length times name length.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += CharacterLength(name, n);
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            starN += CharacterLength(name, starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool FindOrdinaryFile(const std::string& path) noexcept {
    try {
        if (path.empty() || path.find('\0') != std::string::npos) {
            return false;
        }
        const fs::path full(path);
        const std::string pattern = full.filename().string();
        const fs::path folder = full.parent_path();
        if (pattern.empty() || HasWildcard(folder.string())) {
            return false;
        }
        std::error_code error;
        if (!HasWildcard(pattern)) {
            return IsOrdinaryFile(fs::directory_entry(full, error)) && !error;
        }
        // A wildcard names an existing file when any matching entry is an
        // ordinary file, as the Windows lookup answers it.
        fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
        for (; !error && it != fs::directory_iterator(); it.increment(error)) {
            if (MatchesWildcard(pattern, it->path().filename().string()) && IsOrdinaryFile(*it)) {
                return true;
            }
        }
        return false;
    } catch (...) {
        // Only allocation can fail here; the lookup never raises.
        return false;
    }
}

OrdinaryFile::OrdinaryFile(const std::string& path) {
    using Outcome = FileContent::Outcome;
    if (path.empty() || path.find('\0') != std::string::npos) {
        return;
    }
    // Without O_NONBLOCK, opening a FIFO would wait for a writer.
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_fd < 0) {
        m_outcome = errno == ENOENT || errno == ENOTDIR ? Outcome::Missing
                    : errno == EISDIR                   ? Outcome::NotAFile
                                                        : Outcome::Unreadable;
        return;
    }
    struct stat status {};
    m_outcome = ::fstat(m_fd, &status) != 0 ? Outcome::Unreadable
                : !S_ISREG(status.st_mode)  ? Outcome::NotAFile
                : status.st_size < 0        ? Outcome::TooLarge
                                            : Outcome::Read;
    if (m_outcome != Outcome::Read) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_size = static_cast<uint64_t>(status.st_size);
}

OrdinaryFile::~OrdinaryFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

FileContent ReadOrdinaryFile(const std::string& path, std::size_t maxBytes, bool firstBytesOnly) {
    using Outcome = FileContent::Outcome;
    FileContent content;
    const OrdinaryFile file(path);
    content.outcome = file.Outcome();
    if (content.outcome != Outcome::Read) {
        return content;
    }
    if (!firstBytesOnly && file.Size() > maxBytes) {
        content.outcome = Outcome::TooLarge;
        return content;
    }
    const int fd = file.Descriptor();
    // Read to the end, one byte past the limit at most: the size given may
    // be stale (a file being written, a file of /proc).
    content.bytes.resize(static_cast<std::size_t>(std::min<uint64_t>(file.Size(), maxBytes)));
    std::size_t used = 0;
    for (;;) {
        if (used == content.bytes.size()) {
            if (firstBytesOnly && used == maxBytes) {
                break;
            }
            if (used > maxBytes) {
                content.outcome = Outcome::TooLarge;
                content.bytes.clear();
                return content;
            }
            const std::size_t most = firstBytesOnly ? maxBytes : maxBytes + 1;
            content.bytes.resize(std::min(most, std::max<std::size_t>(used * 2, 4096)));
        }
        const ssize_t got = ::read(fd, content.bytes.data() + used, content.bytes.size() - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            content.outcome = Outcome::Unreadable;
            content.bytes.clear();
            return content;
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    content.bytes.resize(used);
    return content;
}

}  // namespace scenova::formats
