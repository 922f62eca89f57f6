// The lesson folder reader and the actions reader on arbitrary text: a
// folder with settings.ini and script.txt is written and read back as a host
// reads it, and an actions file is read. Settings keep the last value of a
// key, the script keeps every line, and every action read writes back as a
// line that reads as the same action (the steps a failing session prints
// must replay it). An actions file may be refused only with the number of a
// line it has.
//
// Input: settings.ini, a form feed, script.txt, a form feed, the actions.
// A file whose part is missing (fewer form feeds) is not written.

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

void Put(const fs::path& path, const std::string_view* text) {
    if (text == nullptr) {
        fs::remove(path);
        return;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text->data(), static_cast<std::streamsize>(text->size()));
    if (!out) {
        std::abort();
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
    Put(folder / "settings.ini", count > 0 ? &parts[0] : nullptr);
    Put(folder / "script.txt", count > 1 ? &parts[1] : nullptr);
    const lesson::Lesson lesson = lesson::LoadLesson(folder);
    if (lesson.Folder().back() != '/' || lesson.MediaFolder() != lesson.Folder() + "media/") {
        std::abort();
    }
    CheckSettings(*lesson.settings, count > 0 ? parts[0] : std::string_view());
    CheckScript(*lesson.script, count > 1 ? parts[1] : std::string_view());
    if (count > 2) {
        CheckActions(parts[2]);
    }
    return 0;
}
