// The lesson folder reader and the actions reader on arbitrary text: a
// folder with settings.ini and script.txt is written and read back as a host
// reads it, and an actions file is read. Settings keep the last value of a
// key, the script keeps every line, and every action read writes back as a
// line that reads as the same action (the steps a failing session prints
// must replay it). An actions file may be refused only with the number of a
// line it has.
//
// Input: settings.ini, a form feed, script.txt, a form feed, the actions.
// A file whose part is missing (fewer form feeds) is not written. An input
// starting with DEL (0x7F) gives in its second byte what each file is (low
// three bits settings.ini, the next three script.txt; see Kind): a link, a
// FIFO, a folder, a device, a file past its limit. Only an ordinary file
// within its limit, or a link to one, may be read, and anything else is
// refused naming the file, never waited on or read without end.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "lesson/Actions.h"
#include "lesson/LessonFolder.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

namespace {

using namespace scenova;
namespace fs = std::filesystem;

// A folder of this process, in memory where the system offers it.
const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
        fs::path path = base / ("scenova-lesson-fuzz-" + std::to_string(getpid()));
        fs::create_directories(path);
        std::atexit([] { fs::remove_all(Folder()); });
        return path;
    }();
    return folder;
}

enum class Kind {
    File,          // the text
    Link,          // a link to another file, holding the text
    Fifo,          // refused
    Folder,        // refused
    Device,        // a link to /dev/zero: refused
    Dangling,      // a link to nothing: as a missing file
    PastTheLimit,  // the text, then zeros to a byte past the file's limit: refused
    Missing,
};

bool Refused(Kind kind) {
    return kind == Kind::Fifo || kind == Kind::Folder || kind == Kind::Device ||
           kind == Kind::PastTheLimit;
}

void Write(const fs::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) {
        std::abort();
    }
}

// The file as kind says; its size past the limit is a hole, not written.
void Put(const fs::path& path, const std::string_view* text, Kind kind, std::size_t limit) {
    fs::remove_all(path);
    const fs::path elsewhere = path.string() + "-elsewhere";
    switch (text == nullptr ? Kind::Missing : kind) {
        case Kind::File:
            Write(path, *text);
            break;
        case Kind::PastTheLimit:
            Write(path, *text);
            fs::resize_file(path, std::max(limit + 1, text->size()));
            break;
        case Kind::Link:
            Write(elsewhere, *text);
            fs::create_symlink(elsewhere, path);
            break;
        case Kind::Fifo:
            if (mkfifo(path.c_str(), 0600) != 0) {
                std::abort();
            }
            break;
        case Kind::Folder:
            fs::create_directory(path);
            break;
        case Kind::Device:
            fs::create_symlink("/dev/zero", path);
            break;
        case Kind::Dangling:
            fs::create_symlink(path.string() + "-gone", path);
            break;
        case Kind::Missing:
            break;
    }
}

// The lines as a text file has them: "\n" ends one, a CR before it is not
// part of it, a last line without "\n" counts.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void CheckSettings(const ICollection& settings, std::string_view text) {
    // The last setting line: its key has its value, whatever came before.
    std::string_view lastKey, lastValue;
    bool any = false;
    for (std::string_view line : Lines(text)) {
        line = Trim(line);
        const auto equals = line.find('=');
        if (line.empty() || line.front() == ';' || line.front() == '#' ||
            equals == std::string_view::npos) {
            continue;
        }
        lastKey = Trim(line.substr(0, equals));
        lastValue = Trim(line.substr(equals + 1));
        any = true;
    }
    if (any != (settings.Count() > 0) ||
        (any && ToText(settings.Item(UCase(lastKey))) != lastValue)) {
        std::abort();
    }
}

void CheckScript(const ICollection& script, std::string_view text) {
    const auto lines = Lines(text);
    if (script.Count() != static_cast<int32_t>(lines.size())) {
        std::abort();
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (ToText(script.Item(static_cast<int32_t>(i + 1))) != lines[i]) {
            std::abort();
        }
    }
}

bool SameAction(const lesson::Action& a, const lesson::Action& b) {
    return a.kind == b.kind && a.bar == b.bar && a.name == b.name && a.seconds == b.seconds &&
           a.value == b.value && a.left == b.left && a.top == b.top && a.width == b.width &&
           a.height == b.height;
}

void CheckActions(std::string_view text) {
    std::vector<lesson::Action> actions;
    try {
        actions = lesson::ParseActions(text);
    } catch (const lesson::ActionError& e) {
        const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
        if (e.line() < 1 || e.line() > lines) {
            std::abort();
        }
        return;
    }
    for (const lesson::Action& action : actions) {
        if (!SameAction(lesson::ParseAction(action.Text(), action.line), action)) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    Kind kinds[2] = {Kind::File, Kind::File};
    if (rest.size() >= 2 && rest[0] == '\x7F') {
        kinds[0] = static_cast<Kind>(rest[1] & 7);
        kinds[1] = static_cast<Kind>((rest[1] >> 3) & 7);
        rest.remove_prefix(2);
    }
    std::string_view parts[3];
    int count = 0;
    while (count < 3) {
        const auto feed = count < 2 ? rest.find('\f') : std::string_view::npos;
        parts[count++] = rest.substr(0, feed);
        if (feed == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(feed + 1);
    }

    const fs::path& folder = Folder();
    Put(folder / "settings.ini", count > 0 ? &parts[0] : nullptr, kinds[0],
        lesson::kMaxSettingsBytes);
    Put(folder / "script.txt", count > 1 ? &parts[1] : nullptr, kinds[1], lesson::kMaxScriptBytes);
    // Refused, naming the first file read that is no ordinary file within
    // its limit.
    const bool settingsRefused = count > 0 && Refused(kinds[0]);
    if (settingsRefused || (count > 1 && Refused(kinds[1]))) {
        try {
            lesson::LoadLesson(folder);
        } catch (const lesson::LessonError& error) {
            const char* name = settingsRefused ? "/settings.ini " : "/script.txt ";
            if (std::string_view(error.what()).find(name) == std::string_view::npos) {
                std::abort();
            }
            return 0;
        }
        std::abort();
    }
    for (int part = 0; part < 2; ++part) {
        if (count > part && (kinds[part] == Kind::Dangling || kinds[part] == Kind::Missing)) {
            parts[part] = {};
        }
    }
    const lesson::Lesson lesson = lesson::LoadLesson(folder);
    if (lesson.Folder().back() != '/' || lesson.MediaFolder() != lesson.Folder() + "media/") {
        std::abort();
    }
    // A leading byte order mark of the settings or the script is read as nothing.
    for (int part = 0; part < 2; ++part) {
        if (parts[part].substr(0, 3) == "\xEF\xBB\xBF") {
            parts[part].remove_prefix(3);
        }
    }
    CheckSettings(*lesson.settings, parts[0]);
    CheckScript(*lesson.script, parts[1]);
    if (count > 2) {
        CheckActions(parts[2]);
    }
    return 0;
}
