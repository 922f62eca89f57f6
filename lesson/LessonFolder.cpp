#include "lesson/LessonFolder.h"

#include "runtime/Convert.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace scenova::lesson {

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The lines of a text file: "\n" ends a line; a final line without one counts.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    for (auto& line : lines) {
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
    }
    return lines;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.is_open() || in.bad()) {
        throw LessonError("cannot read " + path.string());
    }
    return content;
}

}  // namespace

std::string Lesson::Folder() const {
    std::string text = folder.string();
    if (text.empty() || text.back() != '/') {
        text += '/';
    }
    return text;
}

namespace {

// A line of settings.ini: a comment (empty, or starting with ';' or '#'), a
// line without '=', or KEY=VALUE with both trimmed. The views are into the
// line.
struct SettingsLineParts {
    bool comment = false;
    std::optional<std::pair<std::string_view, std::string_view>> setting;
};
SettingsLineParts SplitSettingsLine(std::string_view line) {
    SettingsLineParts parts;
    const std::string_view trimmed = TrimBlanks(line);
    parts.comment = trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#';
    const auto equals = trimmed.find('=');
    if (!parts.comment && equals != std::string_view::npos) {
        parts.setting.emplace(TrimBlanks(trimmed.substr(0, equals)),
                              TrimBlanks(trimmed.substr(equals + 1)));
    }
    return parts;
}

// Keys are compared as the collection compares them, without letter case.
using KeyPositions = std::unordered_map<std::string_view, std::size_t, UCaseHash, UCaseEqual>;

}  // namespace

std::vector<SettingsLine> ReadSettingsLines(std::string_view text) {
    std::vector<SettingsLine> lines;
    KeyPositions latest;
    int number = 0;
    for (std::string_view line : Lines(text)) {
        SettingsLine& entry = lines.emplace_back();
        entry.number = ++number;
        const SettingsLineParts parts = SplitSettingsLine(line);
        entry.comment = parts.comment;
        if (!parts.setting) {
            entry.skipped = true;
            continue;
        }
        const auto [key, value] = *parts.setting;
        entry.key = std::string(key);
        entry.value = std::string(value);
        const auto [it, added] = latest.try_emplace(key, lines.size() - 1);
        if (!added) {
            lines[it->second].replaced = true;
            it->second = lines.size() - 1;
        }
    }
    return lines;
}

std::shared_ptr<Collection> ParseSettings(std::string_view text) {
    // The first line of a key keeps its place; its value is the last one.
    // Keys and values stay views into the text until the collection takes
    // them.
    std::vector<std::pair<std::string_view, std::string_view>> ordered;
    KeyPositions position;
    for (std::string_view line : Lines(text)) {
        const SettingsLineParts parts = SplitSettingsLine(line);
        if (!parts.setting) {
            continue;
        }
        const auto [key, value] = *parts.setting;
        if (const auto [it, added] = position.try_emplace(key, ordered.size()); !added) {
            ordered[it->second].second = value;
        } else {
            ordered.emplace_back(key, value);
        }
    }
    auto settings = std::make_shared<Collection>();
    for (const auto& [key, value] : ordered) {
        settings->Add(std::string(value), std::string(key));
    }
    return settings;
}

std::shared_ptr<Collection> ParseScript(std::string_view text) {
    auto script = std::make_shared<Collection>();
    for (std::string_view line : Lines(text)) {
        script->Add(std::string(line));
    }
    return script;
}

Lesson LoadLesson(const std::filesystem::path& folder) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(folder, error);
    if (error || !std::filesystem::is_directory(absolute, error)) {
        throw LessonError("no lesson folder at " + folder.string());
    }
    Lesson lesson;
    lesson.folder = absolute.lexically_normal();
    const auto settingsFile = absolute / "settings.ini";
    const auto scriptFile = absolute / "script.txt";
    lesson.settings = std::filesystem::exists(settingsFile, error)
                          ? ParseSettings(ReadFile(settingsFile))
                          : std::make_shared<Collection>();
    lesson.script = std::filesystem::exists(scriptFile, error) ? ParseScript(ReadFile(scriptFile))
                                                               : std::make_shared<Collection>();
    return lesson;
}

}  // namespace scenova::lesson
