#include "formats/FileLookup.h"

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

}  // namespace scenova::formats
