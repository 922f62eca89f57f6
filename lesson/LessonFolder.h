#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Collection.h"

namespace scenova::lesson {

// A lesson folder: settings.ini, script.txt, and the media/, resources/ and
// video/ folders the host hands to the tool.
struct Lesson {
    std::filesystem::path folder;  // absolute
    std::shared_ptr<Collection> settings;
    std::shared_ptr<ICollection> script;  // its lines, by position
    // Whether settings.ini and script.txt began with a UTF-8 byte order mark
    // (Notepad writes one), which the reader skipped.
    bool settingsMarked = false;
    bool scriptMarked = false;
    // The second language's WebVTT file beside the script (kTranslation),
    // as text; empty without one.
    std::string translation;

    // The folders as the host hands them over: absolute, ending with "/".
    std::string Folder() const;
    std::string MediaFolder() const { return Folder() + "media/"; }
    std::string ResourceFolder() const { return Folder() + "resources/"; }
    std::string VideoFolder() const { return Folder() + "video/"; }
};

class LessonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The most a lesson's files may hold. A script of the most speaker blocks a
// video can signal (32,766), each a speaker and a few lines with their
// times, is under 16 MiB; settings a few hundred lines.
inline constexpr std::size_t kMaxScriptBytes = std::size_t{16} << 20;
inline constexpr std::size_t kMaxSettingsBytes = std::size_t{1} << 20;

// The file holding a lesson's translation, read as the script is.
inline constexpr const char* kTranslation = "translation.vtt";

// Reads a lesson folder; raises LessonError when the folder is missing or a
// file in it cannot be read. A missing settings.ini or script.txt is empty.
Lesson LoadLesson(const std::filesystem::path& folder);

// The text of a lesson's file ("settings.ini", "script.txt" or its
// translation), empty when
// it is missing. Raises LessonError, naming the file and why, when it is not
// an ordinary file (a folder, FIFO, device or socket, or a link to one), holds
// more than its limit above, or cannot be read.
std::string ReadLessonFile(const std::filesystem::path& folder, const std::string& name);

// How a name from the lesson, appended to a place inside the folder ("" or
// "media/"), leaves the lesson folder: an absolute name ("/" or "\\" first,
// or a drive), which names a file there when appended but elsewhere when read
// as a name of its own; ".." climbing out ("/" and "\\" both separate, as
// they do where the component runs); or a link leading out. Empty when it
// stays inside.
std::string HowNameLeaves(const std::filesystem::path& folder, const std::string& place,
                          const std::string& name);

// The UTF-8 byte order mark. At the start of settings.ini or script.txt it
// is read as nothing: taken as text, it would hide the first key or tag.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
inline bool StartsWithByteOrderMark(std::string_view text) {
    return text.starts_with(kByteOrderMark);
}

// One line of settings.ini as the reader takes it.
struct SettingsLine {
    int number = 0;  // from 1
    std::string key;
    std::string value;
    bool skipped = false;   // without '=': not a setting
    bool replaced = false;  // a later line sets the same key (letter case aside)
};
// The lines that are not comments (empty, or starting with ';' or '#').
std::vector<SettingsLine> ReadSettingsLines(std::string_view text);

// settings.ini: one KEY=VALUE a line; key and value trimmed of surrounding
// blanks, the value otherwise kept verbatim; empty lines and lines starting
// with ';' or '#' skipped; a later duplicate key replaces the earlier one.
// Lines without '=' are skipped too. A leading byte order mark is skipped.
std::shared_ptr<Collection> ParseSettings(std::string_view text);

// script.txt: one item a line (a trailing CR removed, empty lines kept,
// a leading byte order mark skipped). The
// collection keeps the text once and the places of its lines that are not
// empty: a run of empty lines takes no memory.
std::shared_ptr<ICollection> ParseScript(std::string_view text);

}  // namespace scenova::lesson
