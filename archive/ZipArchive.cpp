// Packed lessons read and written with libzip (Debian: libzip-dev).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <set>

#include "archive/PackedLesson.h"
#include "lesson/LessonFolder.h"
#include "runtime/Convert.h"
#include "runtime/Utf8.h"

namespace scenova::archive {

namespace fs = std::filesystem;
using lesson::LessonError;

namespace {

std::string Count(std::uint64_t n) {
    std::string digits = std::to_string(n);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

std::uint64_t Little(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

// Reads count bytes at offset of the archive; false when they are not there.
using ReadAt = std::function<bool(std::uint64_t offset, std::size_t count, unsigned char* out)>;

// What the archive's end records claim of its central directory: libzip
// allocates for every entry they count and reads the directory whole before
// anything can be checked. Every end record in the tail counts (the one
// libzip picks among several is its own choice), its ZIP64 record too.
std::string HowDirectoryFails(std::uint64_t size, const ReadAt& read) {
    constexpr std::size_t kEndRecord = 22;
    if (size < kEndRecord) {
        return {};  // no end record: libzip tells
    }
    const std::uint64_t tailSize = std::min<std::uint64_t>(size, kEndRecord + 0xFFFF);
    std::vector<unsigned char> tail(tailSize);
    if (!read(size - tailSize, tail.size(), tail.data())) {
        return {};  // libzip tells what is wrong
    }
    for (std::size_t at = 0; at + kEndRecord <= tail.size(); ++at) {
        const unsigned char* end = &tail[at];
        if (Little(end, 4) != 0x06054b50) {
            continue;
        }
        std::uint64_t entries = std::max(Little(end + 8, 2), Little(end + 10, 2));
        std::uint64_t directory = Little(end + 12, 4);
        const std::uint64_t where = size - tailSize + at;
        std::array<unsigned char, 20> locator{};
        std::array<unsigned char, 56> record{};
        if (where >= locator.size() &&
            read(where - locator.size(), locator.size(), locator.data()) &&
            Little(locator.data(), 4) == 0x07064b50 &&
            read(Little(locator.data() + 8, 8), record.size(), record.data()) &&
            Little(record.data(), 4) == 0x06064b50) {
            entries =
                std::max({entries, Little(record.data() + 24, 8), Little(record.data() + 32, 8)});
            directory = std::max(directory, Little(record.data() + 40, 8));
        }
        if (entries > kMostEntries) {
            return "its directory counts " + Count(entries) + " entries, more than the " +
                   Count(kMostEntries) + " a packed lesson may hold";
        }
        if (directory > kMostDirectoryBytes) {
            return "its directory takes " + Count(directory) + " bytes, more than " +
                   Count(kMostDirectoryBytes >> 20) + " MiB";
        }
    }
    return {};
}

// Why an entry's name may not be unpacked inside a lesson folder; empty
// when it may.
std::string HowNameFails(std::string_view name) {
    if (name.empty()) {
        return "has no name";
    }
    if (name.size() > kLongestName) {
        return "has a name longer than " + Count(kLongestName) + " bytes";
    }
    if (name.front() == '/') {
        return "is an absolute name, which leaves the lesson folder";
    }
    if (name.size() > 1 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]))) {
        return "names a drive, which leaves the lesson folder";
    }
    if (name.find('\\') != std::string_view::npos) {
        return "holds a backslash, which separates folders where the lesson may be unpacked";
    }
    if (name.find(':') != std::string_view::npos) {
        return "holds a colon, which names a drive or a file's stream where the lesson may be "
               "unpacked";
    }
    if (std::any_of(name.begin(), name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
        return "holds a control character";
    }
    if (!utf8::IsValid(name)) {
        return "has a name that is not UTF-8";
    }
    std::string_view rest = name.ends_with('/') ? name.substr(0, name.size() - 1) : name;
    for (std::size_t start = 0; start <= rest.size();) {
        const std::size_t end = std::min(rest.find('/', start), rest.size());
        const std::string_view part = rest.substr(start, end - start);
        if (part == "..") {
            return "has \"..\" in its name, which climbs out of the lesson folder";
        }
        if (part.empty() || part == ".") {
            return "has an empty or \".\" part in its name";
        }
        start = end + 1;
    }
    return {};
}

// A ZIP archive's error as text.
std::string ErrorText(zip_error_t& error) {
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

}  // namespace

struct Archive::Impl {
    zip_t* zip = nullptr;
    std::string name;  // for messages
    std::uint64_t size = 0;
    std::vector<Entry> entries;

    ~Impl() {
        if (zip != nullptr) {
            zip_discard(zip);
        }
    }

    [[noreturn]] void Refuse(const std::string& entry, const std::string& why) const {
        throw LessonError(name + ": the entry \"" + utf8::Printable(entry) + "\" " + why);
    }

    // Opens the source (taking it) and checks every entry.
    void Open(zip_source_t* source) {
        zip_error_t error;
        zip_error_init(&error);
        zip = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (zip == nullptr) {
            zip_source_free(source);
            throw LessonError(
                name + " is neither a lesson folder nor a packed lesson: " + ErrorText(error));
        }
        zip_error_fini(&error);
        Check();
    }

    void Check() {
        const zip_int64_t count = zip_get_num_entries(zip, 0);
        std::map<std::string, std::string> names;  // by their letters in one case, without "/"
        std::uint64_t total = 0;
        for (zip_int64_t index = 0; index < count; ++index) {
            zip_stat_t stat;
            zip_stat_init(&stat);
            if (zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &stat) != 0 ||
                (stat.valid & ZIP_STAT_NAME) == 0 || (stat.valid & ZIP_STAT_SIZE) == 0) {
                throw LessonError(name + ": entry " + Count(static_cast<std::uint64_t>(index) + 1) +
                                  " cannot be read: " + zip_strerror(zip));
            }
            Entry entry{stat.name, stat.size, false};
            if (entries.size() == kMostEntries) {
                Refuse(entry.name, "is one more than the " + Count(kMostEntries) +
                                       " entries a packed lesson may hold");
            }
            if (const std::string why = HowNameFails(entry.name); !why.empty()) {
                Refuse(entry.name, why);
            }
            entry.folder = entry.name.ends_with('/');
            if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 &&
                stat.encryption_method != ZIP_EM_NONE) {
                Refuse(entry.name, "is encrypted: a packed lesson's files are not");
            }
            zip_uint8_t system = 0;
            zip_uint32_t attributes = 0;
            if (zip_file_get_external_attributes(zip, static_cast<zip_uint64_t>(index), 0, &system,
                                                 &attributes) == 0 &&
                system == ZIP_OPSYS_UNIX) {
                const zip_uint32_t type = (attributes >> 16) & S_IFMT;
                if (type == S_IFLNK) {
                    Refuse(entry.name, "is a link: a packed lesson holds files and folders only");
                }
                if (type != 0 && type != (entry.folder ? S_IFDIR : S_IFREG)) {
                    Refuse(entry.name, entry.folder || type != S_IFDIR
                                           ? "is no ordinary file or folder (a device, FIFO "
                                             "or socket)"
                                           : "is a folder whose name does not end with \"/\"");
                }
            }
            if (entry.folder && entry.size != 0) {
                Refuse(entry.name, "is a folder that holds data");
            }
            const std::size_t most = entry.name == "script.txt"     ? lesson::kMaxScriptBytes
                                     : entry.name == "settings.ini" ? lesson::kMaxSettingsBytes
                                                                    : 0;
            if (most != 0 && entry.size > most) {
                Refuse(entry.name, "holds more than " + Count(most >> 20) +
                                       " MiB, more than a lesson's " + entry.name + " needs");
            }
            total += std::min(entry.size, kMostBytes + 1);
            if (total > kMostBytes) {
                Refuse(entry.name, "takes the lesson past " + Count(kMostBytes >> 30) +
                                       " GiB expanded, more than a packed lesson may hold");
            }
            if (total > kMostExpansion * size) {
                Refuse(entry.name, "takes the lesson past " + Count(kMostExpansion) +
                                       " times the archive's size expanded (" + Count(total) +
                                       " bytes of " + Count(size) + ")");
            }
            const std::string bare =
                UCase(entry.folder ? entry.name.substr(0, entry.name.size() - 1) : entry.name);
            if (const auto [it, added] = names.emplace(bare, entry.name); !added) {
                Refuse(entry.name, it->second == entry.name
                                       ? "appears twice"
                                       : "differs from \"" + utf8::Printable(it->second) +
                                             "\" only in letter case: the two would be one file "
                                             "where case is not told apart");
            }
            entries.push_back(std::move(entry));
        }
        // A file's name may not lead into another file.
        for (const Entry& entry : entries) {
            for (auto slash = entry.name.find('/');
                 slash != std::string::npos && slash + 1 < entry.name.size();
                 slash = entry.name.find('/', slash + 1)) {
                const auto it = names.find(UCase(entry.name.substr(0, slash)));
                if (it != names.end() && !it->second.ends_with('/')) {
                    Refuse(entry.name,
                           "lies inside \"" + utf8::Printable(it->second) + "\", which is a file");
                }
            }
        }
    }
};

Archive::Archive(std::unique_ptr<Impl> impl) : m(std::move(impl)) {}
Archive::~Archive() = default;

std::unique_ptr<Archive> Archive::Open(const fs::path& file) {
    auto impl = std::make_unique<Impl>();
    impl->name = file.string();
    // Not waited on when it is a FIFO; a link to an ordinary file is read.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        const std::string why = std::strerror(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        throw LessonError("cannot read " + impl->name + ": " + why);
    }
    if (!S_ISREG(status.st_mode) || static_cast<std::uint64_t>(status.st_size) > kMostBytes) {
        ::close(fd);
        throw LessonError(impl->name +
                          (S_ISREG(status.st_mode)
                               ? " holds more than 4 GiB, more than a packed lesson may"
                               : " is neither a lesson folder nor an ordinary file: a "
                                 "packed lesson must be one"));
    }
    impl->size = static_cast<std::uint64_t>(status.st_size);
    const std::string why = HowDirectoryFails(
        impl->size, [fd](std::uint64_t offset, std::size_t count, unsigned char* out) {
            return ::pread(fd, out, count, static_cast<off_t>(offset)) ==
                   static_cast<ssize_t>(count);
        });
    if (!why.empty()) {
        ::close(fd);
        throw LessonError(impl->name + ": " + why);
    }
    FILE* stream = ::fdopen(fd, "rb");
    if (stream == nullptr) {
        ::close(fd);
        throw LessonError("cannot read " + impl->name + ": " + std::strerror(errno));
    }
    zip_error_t error;
    zip_error_init(&error);
    // Only the size it had when opened is read.
    zip_source_t* source =
        zip_source_filep_create(stream, 0, static_cast<zip_int64_t>(impl->size), &error);
    if (source == nullptr) {
        std::fclose(stream);
        throw LessonError("cannot read " + impl->name + ": " + ErrorText(error));
    }
    zip_error_fini(&error);
    impl->Open(source);
    return std::unique_ptr<Archive>(new Archive(std::move(impl)));
}

std::unique_ptr<Archive> Archive::Open(std::string_view bytes, const std::string& name) {
    auto impl = std::make_unique<Impl>();
    impl->name = name;
    impl->size = bytes.size();
    const std::string why = HowDirectoryFails(
        bytes.size(), [bytes](std::uint64_t offset, std::size_t count, unsigned char* out) {
            if (offset > bytes.size() || count > bytes.size() - offset) {
                return false;
            }
            std::memcpy(out, bytes.data() + offset, count);
            return true;
        });
    if (!why.empty()) {
        throw LessonError(name + ": " + why);
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source == nullptr) {
        throw LessonError("cannot read " + name + ": " + ErrorText(error));
    }
    zip_error_fini(&error);
    impl->Open(source);
    return std::unique_ptr<Archive>(new Archive(std::move(impl)));
}

const std::vector<Entry>& Archive::Entries() const {
    return m->entries;
}

void Archive::Read(std::size_t index, const std::function<void(std::string_view)>& take) const {
    const Entry& entry = m->entries.at(index);
    zip_file_t* file = zip_fopen_index(m->zip, index, 0);
    if (file == nullptr) {
        m->Refuse(entry.name, std::string("cannot be read: ") + zip_strerror(m->zip));
    }
    struct Closer {
        zip_file_t* file;
        ~Closer() { zip_fclose(file); }
    } closer{file};
    std::vector<char> buffer(std::size_t{64} << 10);
    std::uint64_t got = 0;
    for (;;) {
        // One byte past what it declares, to tell that it holds more.
        const auto want =
            static_cast<zip_uint64_t>(std::min<std::uint64_t>(buffer.size(), entry.size + 1 - got));
        const zip_int64_t n = zip_fread(file, buffer.data(), want);
        if (n < 0) {
            m->Refuse(entry.name, std::string("cannot be read: ") + zip_file_strerror(file));
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::uint64_t>(n);
        if (got > entry.size) {
            m->Refuse(entry.name,
                      "holds more than the " + Count(entry.size) + " bytes it declares");
        }
        take(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    }
    if (got < entry.size) {
        m->Refuse(entry.name, "holds less than the " + Count(entry.size) + " bytes it declares");
    }
}

namespace {

// Kinds of file already compressed, which deflate would only slow.
bool Compressed(const fs::path& file) {
    static const std::set<std::string> kinds = {".webm", ".mp4", ".m4v", ".mkv",  ".ogv", ".ogg",
                                                ".mp3",  ".png", ".jpg", ".jpeg", ".gif"};
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return kinds.contains(extension);
}

bool Contains(const fs::path& folder, const fs::path& path) {
    const auto [end, rest] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return end == folder.end() && rest != path.end();
}

}  // namespace

PackResult Pack(const fs::path& folder, const fs::path& file) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        throw LessonError("no lesson folder at " + folder.string());
    }
    const fs::path folderReal = fs::weakly_canonical(folder, error);
    const fs::path fileReal = fs::weakly_canonical(fs::absolute(file, error), error);
    if (!error && Contains(folderReal, fileReal)) {
        throw LessonError(file.string() +
                          " is inside the lesson folder, which would pack it too: write it "
                          "elsewhere");
    }
    PackResult result;
    std::vector<std::pair<std::string, bool>> entries;  // name, folder
    fs::recursive_directory_iterator walk(folder, error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        const std::string name = walk->path().lexically_relative(folder).generic_string();
        const fs::file_status status = walk->symlink_status(error);
        const bool hidden = walk->path().filename().string().starts_with('.');
        if (hidden || !(fs::is_regular_file(status) || fs::is_directory(status))) {
            result.leftOut.push_back(name + (hidden                   ? ": hidden"
                                             : fs::is_symlink(status) ? ": a link"
                                                                      : ": not an ordinary file"));
            walk.disable_recursion_pending();
            continue;
        }
        entries.emplace_back(fs::is_directory(status) ? name + "/" : name,
                             fs::is_directory(status));
        if (!fs::is_directory(status)) {
            result.bytes += walk->file_size(error);
        }
        if (entries.size() > kMostEntries || result.bytes > kMostBytes) {
            throw PackRefused(folder.string() + " holds more than " +
                              (result.bytes > kMostBytes
                                   ? Count(kMostBytes >> 30) + " GiB"
                                   : Count(kMostEntries) + " files and folders") +
                              ", more than a packed lesson may");
        }
    }
    if (error) {
        throw LessonError("cannot read " + folder.string() + ": " + error.message());
    }
    if (entries.empty()) {
        throw LessonError(folder.string() + " holds nothing to pack");
    }
    std::sort(entries.begin(), entries.end());
    std::sort(result.leftOut.begin(), result.leftOut.end());

    // libzip writes a file of its own beside the one it is given and
    // renames it into place at the end; this one is read back before it
    // replaces the old file.
    const std::string written = file.string() + ".new-" + std::to_string(::getpid());
    int code = 0;
    zip_t* zip = zip_open(written.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (zip == nullptr) {
        zip_error_t failure;
        zip_error_init_with_code(&failure, code);
        throw LessonError("cannot write " + file.string() + ": " + ErrorText(failure));
    }
    const auto fail = [&](const std::string& why) {
        zip_discard(zip);
        ::unlink(written.c_str());
        throw LessonError("cannot write " + file.string() + ": " + why);
    };
    for (const auto& [name, isFolder] : entries) {
        if (isFolder) {
            if (zip_dir_add(zip, name.c_str(), ZIP_FL_ENC_UTF_8) < 0) {
                fail(name + ": " + zip_strerror(zip));
            }
            ++result.folders;
            continue;
        }
        zip_source_t* source = zip_source_file(zip, (folder / name).c_str(), 0, 0);
        const zip_int64_t index =
            source == nullptr ? -1 : zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            const std::string why = zip_strerror(zip);
            zip_source_free(source);
            fail(name + ": " + why);
        }
        if (Compressed(name)) {
            zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
        }
        ++result.files;
    }
    if (zip_close(zip) != 0) {
        fail(zip_strerror(zip));
    }
    try {
        result.packedBytes = fs::file_size(written, error);
        Archive::Open(fs::path(written));
    } catch (const LessonError& refused) {
        ::unlink(written.c_str());
        std::string why = refused.what();
        if (why.starts_with(written)) {
            why.replace(0, written.size(), file.string());
        }
        throw PackRefused("the packed lesson would be refused: " + why + "; nothing written");
    }
    if (std::rename(written.c_str(), file.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(written.c_str());
        throw LessonError("cannot write " + file.string() + ": " + why);
    }
    return result;
}

}  // namespace scenova::archive
