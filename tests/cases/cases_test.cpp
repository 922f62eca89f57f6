// Trace cases: each folder of tests/cases/ is a lesson played by the scenova
// command with the full trace. See tests/cases/README.md for the format.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "cli/Player.h"
#include "runtime/FloatChars.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"

namespace scenova::cli {
namespace {

namespace fs = std::filesystem;
const fs::path kCases = fs::path(SCENOVA_SOURCE_DIR) / "tests/cases";
using scenova::testing::Lines;
using scenova::testing::ReadFile;

// `*` matches any run of characters.
bool Matches(std::string_view pattern, std::string_view text) {
    const auto star = pattern.find('*');
    if (star == std::string_view::npos) {
        return pattern == text;
    }
    if (text.substr(0, star) != pattern.substr(0, star)) {
        return false;
    }
    for (std::size_t at = star; at <= text.size(); ++at) {
        if (Matches(pattern.substr(star + 1), text.substr(at))) {
            return true;
        }
    }
    return false;
}

bool StartsWithDigit(std::string_view text) {
    return !text.empty() && std::isdigit(static_cast<unsigned char>(text[0]));
}

// A pattern starting with a digit is matched against the whole line; any
// other against the line without its time.
bool LineMatches(const std::string& pattern, const std::string& line) {
    const auto space = line.find(' ');
    if (StartsWithDigit(pattern) || !StartsWithDigit(line) || space == std::string::npos) {
        return Matches(pattern, line);
    }
    return Matches(pattern, std::string_view(line).substr(space + 1));
}

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kCases)) {
        if (entry.is_directory() && entry.path().filename() != "base") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class TraceCase : public ::testing::TestWithParam<std::string> {};

TEST_P(TraceCase, Plays) {
    const fs::path source = kCases / GetParam();
    scenova::testing::TempDir lesson;
    const auto options = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
    std::string settings;
    if (!fs::exists(source / "bare")) {
        fs::copy(kCases / "base", lesson.Path(), options);
        settings = ReadFile(kCases / "base/settings.ini");
    }
    fs::copy(source, lesson.Path(), options);
    // A later key wins: the case's settings come after the shared ones.
    lesson.Write("settings.ini", settings + ReadFile(source / "settings.ini"));
    fs::create_directories(lesson.Path() / "video");
    fs::copy_file(fs::path(SCENOVA_SOURCE_DIR) / "tests/data/six_seconds.avi",
                  lesson.Path() / "video/lesson.avi", options);

    PlayOptions play;
    play.lesson = lesson.Path();
    play.trace = !fs::exists(source / "timeline");
    const std::vector<std::string> expected = Lines(ReadFile(source / "expected.txt"));
    for (const std::string& line : expected) {
        if (line.rfind("until ", 0) == 0) {
            FloatFromChars(line.data() + 6, line.data() + line.size(), play.until.emplace());
        }
    }
    std::ostringstream out, err;
    int status = 2;  // as the command ends on actions it cannot read
    try {
        play.actions = lesson::ParseActions(ReadFile(source / "actions.txt"));
        status = Play(play, out, err);
    } catch (const lesson::ActionError& error) {
        err << error.what() << '\n';
    }
    const std::string text =
        scenova::testing::ReplaceAll(out.str() + err.str(), lesson.Folder(), "<lesson>/");
    const std::vector<std::string> output = Lines(text);

    // Expected lines in order; "!" lines must not occur between the lines
    // around them.
    std::size_t next = 0;
    std::vector<std::string> absent;
    int wanted = 0;
    bool only = false;
    const auto fail = [&](const std::string& why) {
        ADD_FAILURE() << GetParam() << ": " << why << "\n--- output ---\n" << text;
    };
    const auto checkAbsent = [&](std::size_t from, std::size_t to) {
        for (const std::string& pattern : absent) {
            for (std::size_t i = from; i < to && i < output.size(); ++i) {
                if (LineMatches(pattern, output[i])) {
                    fail("unexpected line " + std::to_string(i + 1) + ": " + output[i]);
                }
            }
        }
        absent.clear();
    };
    for (const std::string& line : expected) {
        if (line.empty() || line[0] == '#' || line.rfind("until ", 0) == 0) {
            continue;
        }
        if (line.rfind("exit ", 0) == 0) {
            wanted = std::stoi(line.substr(5));
        } else if (line == "only") {
            only = true;
        } else if (line[0] == '!') {
            absent.push_back(line.substr(1));
        } else {
            if (only) {
                absent.push_back("*");
            }
            const std::size_t from = next;
            while (next < output.size() && !LineMatches(line, output[next])) {
                ++next;
            }
            if (next == output.size()) {
                return fail("no line after line " + std::to_string(from) + " matches: " + line);
            }
            checkAbsent(from, next);
            ++next;
        }
    }
    if (only) {
        absent.push_back("*");
    }
    checkAbsent(next, output.size());
    EXPECT_EQ(status, wanted) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Cases, TraceCase, ::testing::ValuesIn(CaseNames()), [](const auto& info) {
    std::string name = info.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

}  // namespace
}  // namespace scenova::cli
