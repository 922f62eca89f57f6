#include "lesson/LessonFolder.h"

#include "formats/FileLookup.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace scenova::lesson {

namespace {

// Calls take(line) for each line of a text file: "\n" ends a line, a CR
// before it is not part of it, a final line without one counts. A byte
// order mark before the first line is not part of it.
template <class Take>
void ForEachLine(std::string_view text, const Take& take) {
    if (StartsWithByteOrderMark(text)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        take(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}

// Script lines by position: the text once, and where each line that is not
// empty lies in it.
class ScriptLines final : public ICollection {
public:
    explicit ScriptLines(std::string_view text) : m_text(text) {
        ForEachLine(std::string_view(m_text), [&](std::string_view line) {
            if (m_count == std::numeric_limits<int32_t>::max()) {
                Raise(err::OutOfMemory);  // more than Count can tell
            }
            ++m_count;
            if (!line.empty()) {
                m_lines.push_back(
                    {m_count, static_cast<std::size_t>(line.data() - m_text.data()), line.size()});
            }
        });
    }
    int32_t Count() const override { return m_count; }
    Variant Item(int32_t index) const override {
        if (index < 1 || index > m_count) {
            Raise(err::SubscriptOutOfRange);
        }
        const auto it =
            std::lower_bound(m_lines.begin(), m_lines.end(), index,
                             [](const Line& line, int32_t n) { return line.number < n; });
        if (it == m_lines.end() || it->number != index) {
            return std::string();
        }
        return m_text.substr(it->offset, it->length);
    }
    Variant Item(std::string_view) const override { Raise(err::InvalidCall); }

private:
    struct Line {
        int32_t number;  // from 1
        std::size_t offset;
        std::size_t length;
    };
    std::string m_text;
    int32_t m_count = 0;
    std::vector<Line> m_lines;
};

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
    ForEachLine(text, [&](std::string_view line) {
        ++number;
        const SettingsLineParts parts = SplitSettingsLine(line);
        if (parts.comment) {
            return;
        }
        SettingsLine& entry = lines.emplace_back();
        entry.number = number;
        if (!parts.setting) {
            entry.skipped = true;
            return;
        }
        const auto [key, value] = *parts.setting;
        entry.key = std::string(key);
        entry.value = std::string(value);
        const auto [it, added] = latest.try_emplace(key, lines.size() - 1);
        if (!added) {
            lines[it->second].replaced = true;
            it->second = lines.size() - 1;
        }
    });
    return lines;
}

std::shared_ptr<Collection> ParseSettings(std::string_view text) {
    // The first line of a key keeps its place; its value is the last one.
    // Keys and values stay views into the text until the collection takes
    // them.
    std::vector<std::pair<std::string_view, std::string_view>> ordered;
    KeyPositions position;
    ForEachLine(text, [&](std::string_view line) {
        const SettingsLineParts parts = SplitSettingsLine(line);
        if (!parts.setting) {
            return;
        }
        const auto [key, value] = *parts.setting;
        if (const auto [it, added] = position.try_emplace(key, ordered.size()); !added) {
            ordered[it->second].second = value;
        } else {
            ordered.emplace_back(key, value);
        }
    });
    auto settings = std::make_shared<Collection>();
    for (const auto& [key, value] : ordered) {
        settings->Add(std::string(value), std::string(key));
    }
    return settings;
}

std::shared_ptr<ICollection> ParseScript(std::string_view text) {
    return std::make_shared<ScriptLines>(text);
}

std::string ReadLessonFile(const std::filesystem::path& folder, const std::string& name) {
    const std::size_t most = name == "settings.ini" ? kMaxSettingsBytes : kMaxScriptBytes;
    const std::string path = (folder / name).string();
    formats::FileContent content = formats::ReadOrdinaryFile(path, most);
    using Outcome = formats::FileContent::Outcome;
    switch (content.outcome) {
        case Outcome::Read:
            return std::move(content.bytes);
        case Outcome::Missing:
            return {};
        case Outcome::NotAFile:
            throw LessonError(path +
                              " is not an ordinary file (a folder, FIFO, device or "
                              "socket): a lesson's " +
                              name + " must be one");
        case Outcome::TooLarge:
            throw LessonError(path + " holds more than " + std::to_string(most >> 20) +
                              " MiB, more than a lesson's " + name + " needs: it is not read");
        case Outcome::Unreadable:
            break;
    }
    throw LessonError("cannot read " + path);
}

std::string HowNameLeaves(const std::filesystem::path& folder, const std::string& place,
                          const std::string& name) {
    if (name.starts_with('/') || name.starts_with('\\') ||
        (name.size() > 1 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0])))) {
        return "is an absolute name, which leaves the lesson folder";
    }
    int depth = 0;
    const std::string relative = place + name;
    for (std::size_t start = 0; start <= relative.size();) {
        const std::size_t end = std::min(relative.find_first_of("/\\", start), relative.size());
        const std::string_view part = std::string_view(relative).substr(start, end - start);
        depth += part == ".." ? -1 : part.empty() || part == "." ? 0 : 1;
        if (depth < 0) {
            return "climbs out of the lesson folder with \"..\"";
        }
        start = end + 1;
    }
    // A name that does not resolve (a missing file) is told elsewhere.
    std::error_code error;
    std::error_code folderError;
    const auto target = std::filesystem::canonical(folder / relative, error);
    const auto inside = std::filesystem::canonical(folder, folderError);
    if (!error && !folderError) {
        const auto path = std::filesystem::relative(target, inside, error).string();
        if (!error && (path == ".." || path.starts_with("../"))) {
            return "leads out of the lesson folder through a link, to " + target.string();
        }
    }
    return {};
}

Lesson LoadLesson(const std::filesystem::path& folder) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(folder, error);
    if (error || !std::filesystem::is_directory(absolute, error)) {
        throw LessonError("no lesson folder at " + folder.string());
    }
    Lesson lesson;
    lesson.folder = absolute.lexically_normal();
    const std::string settings = ReadLessonFile(absolute, "settings.ini");
    lesson.settings = ParseSettings(settings);
    lesson.settingsMarked = StartsWithByteOrderMark(settings);
    const std::string script = ReadLessonFile(absolute, "script.txt");
    lesson.scriptMarked = StartsWithByteOrderMark(script);
    lesson.script = ParseScript(script);
    lesson.translation = ReadLessonFile(absolute, kTranslation);
    return lesson;
}

}  // namespace scenova::lesson
