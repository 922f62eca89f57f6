#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace scenova::formats {

// True when an ordinary file matches path: a regular file or a symlink to
// one, not a folder, special file or hidden entry (name starting with ".").
// "*" and "?" act as wildcards in the last component only; a wildcard in a
// folder component makes the path invalid. Matching is case-sensitive.
// Never throws; any file system error gives false.
bool FindOrdinaryFile(const std::string& path) noexcept;

// The wildcard match of one file name, as FindOrdinaryFile uses it: "*" any
// run of characters, "?" exactly one (UTF-8) character, "*.*" every name.
bool MatchesWildcard(const std::string& pattern, const std::string& name);

// What reading a file whole gave.
struct FileContent {
    enum class Outcome { Read, Missing, NotAFile, TooLarge, Unreadable };
    Outcome outcome = Outcome::Missing;
    std::string bytes;  // when read
};

// A regular file (or a link to one) opened for reading, closed with the
// object. Anything else, a folder, FIFO, device or socket, is not a file and
// is never opened in a way that could wait for a writer.
class OrdinaryFile {
public:
    explicit OrdinaryFile(const std::string& path);
    ~OrdinaryFile();
    OrdinaryFile(const OrdinaryFile&) = delete;
    OrdinaryFile& operator=(const OrdinaryFile&) = delete;

    // Read when the file is open; its descriptor, -1 otherwise.
    FileContent::Outcome Outcome() const { return m_outcome; }
    int Descriptor() const { return m_fd; }
    // Its size when it was opened.
    std::uint64_t Size() const { return m_size; }

private:
    int m_fd = -1;
    FileContent::Outcome m_outcome = FileContent::Outcome::Missing;
    std::uint64_t m_size = 0;
};

// Reads a regular file (or a link to one) whole, when it holds at most
// maxBytes, or only its first maxBytes with firstBytesOnly, opened as
// OrdinaryFile opens it; a file that grows past maxBytes while it is read is
// too large. Never throws but std::bad_alloc.
FileContent ReadOrdinaryFile(const std::string& path, std::size_t maxBytes,
                             bool firstBytesOnly = false);

}  // namespace scenova::formats
