#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lesson/LessonFolder.h"

namespace scenova::archive {

// A lesson as one file: a ZIP archive of the lesson folder's files and
// folders, named by their paths inside it ("settings.ini", "media/play.bmp",
// a folder's name ending with "/"). It comes from anyone, so that every
// failure below raises lesson::LessonError naming the archive and the entry.
inline constexpr std::string_view kPackedExtension = ".scenova";

// The most a packed lesson may hold: a lesson of a few hundred pictures and
// pages and a video or two is far below each. The expansion bounds what a
// few bytes may make the reader write; deflate itself expands at most about
// 1,030 times, so a lesson of ordinary files never reaches it.
inline constexpr std::size_t kMostEntries = 4096;
inline constexpr std::uint64_t kMostBytes = std::uint64_t{4} << 30;  // the file; all expanded
inline constexpr std::uint64_t kMostExpansion = 1000;
inline constexpr std::size_t kLongestName = 1024;
// The central directory: 4,096 entries with their longest names and some
// extra fields. libzip holds it in memory whole, so it is bounded before
// libzip reads it.
inline constexpr std::uint64_t kMostDirectoryBytes = std::uint64_t{16} << 20;

struct Entry {
    std::string name;        // UTF-8, with "/"; a folder's ends with "/"
    std::uint64_t size = 0;  // expanded, as the archive declares it
    bool folder = false;
};

// A packed lesson open for reading, its entries already checked: a name that
// is absolute (a "/" or a drive first), holds a backslash, a colon, "..", an
// empty or "." part, a control character or bytes that are not UTF-8; a link, device,
// FIFO or socket; an encrypted entry; two entries whose names differ at most
// in letter case (they would be one file where case is not told apart, as
// it is not in the component's names); an entry inside one that is a file;
// settings.ini or script.txt past the folder's limits; more than
// kMostEntries entries; more than kMostBytes or kMostExpansion times the
// archive's size in all, expanded. Each is refused naming the entry.
class Archive {
public:
    // The file, an ordinary one of at most kMostBytes.
    static std::unique_ptr<Archive> Open(const std::filesystem::path& file);
    // Bytes in memory, which must outlive the archive; name is for messages.
    static std::unique_ptr<Archive> Open(std::string_view bytes, const std::string& name);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    const std::vector<Entry>& Entries() const;
    // Hands the entry's bytes to take, piece by piece, never more than it
    // declares: one that holds more is refused as soon as its next byte is
    // read, as is one that holds less or fails its checksum.
    void Read(std::size_t index, const std::function<void(std::string_view)>& take) const;

    struct Impl;

private:
    explicit Archive(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m;
};

// What Pack wrote, and the entries of the folder it left out with why
// ("NAME: hidden").
struct PackResult {
    std::size_t files = 0;
    std::size_t folders = 0;
    std::uint64_t bytes = 0;        // the files'
    std::uint64_t packedBytes = 0;  // the archive's
    std::vector<std::string> leftOut;
};

// A folder whose packed form the reader would refuse (files named alike
// but for letter case, names that are not UTF-8, too much in all).
class PackRefused : public lesson::LessonError {
public:
    using lesson::LessonError::LessonError;
};

// Writes the lesson folder as a packed lesson: its ordinary files and
// folders, but hidden ones (a name starting with ".") and links, devices,
// FIFOs and sockets, which are left out. Pictures and movies already
// compressed are stored, the rest deflated. The archive is written beside
// the file and read back before it takes the file's place, so that a lesson
// the reader would refuse, or a write that fails, leaves the old file as it
// was. Raises PackRefused, or lesson::LessonError when the folder cannot be
// read or the file written.
PackResult Pack(const std::filesystem::path& folder, const std::filesystem::path& file);

// A lesson as it is given: a folder as it is, or a packed lesson whose
// entries are written into a folder named after it ("market" of
// "market.scenova") inside a new private temporary folder (mode 0700), which
// goes with this object. Anything that is not a folder is read as a packed
// lesson. Raises lesson::LessonError; nothing is left behind then.
class LessonPlace {
public:
    explicit LessonPlace(const std::filesystem::path& given);
    ~LessonPlace();
    LessonPlace(const LessonPlace&) = delete;
    LessonPlace& operator=(const LessonPlace&) = delete;

    // The lesson folder to read.
    const std::filesystem::path& Folder() const { return m_folder; }
    bool Packed() const { return !m_temporary.empty(); }

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_temporary;
};

// Whether a lesson given so is read as a packed one: it is there and no folder.
bool IsPacked(const std::filesystem::path& given);

}  // namespace scenova::archive
