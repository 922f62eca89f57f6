#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/LessonRun.h"
#include "authoring/LessonScript.h"

namespace scenova::authoring {

struct CheckResult {
    std::vector<Finding> findings;  // sorted by file and line
    int errors = 0;
    int warnings = 0;  // notes count as neither
    // The lesson folder's files the lesson uses, whether or not they are
    // there, as lexically normal paths: settings.ini, script.txt, the files
    // the component opened (pictures, cursors, bar scripts, the video, and
    // the WebM beside it that browsers are given) and its resources.
    std::set<std::string> used;
    // The lesson's title as the learner reads it ("" when it shows none).
    std::string title;
    std::optional<FirstView> firstView;
};

// Checks a lesson folder with the component's own procedures: its settings
// applied by the settings procedures, its script read with the parser's own
// pieces and started on the headless platform, every file it names opened
// as what it has to be. Raises lesson::LessonError when there is no folder.
CheckResult CheckLesson(const std::filesystem::path& folder);

// "FILE:LINE: severity: message [code]", its control characters escaped
// (utf8::Printable): lesson text may hold any.
std::string FormatFinding(const Finding& finding);
// A JSON string, valid UTF-8 whatever the text holds: a byte that is not
// UTF-8 becomes U+FFFD, control characters (DEL and C1 too) \u escapes.
std::string JsonString(std::string_view text);
// The same fields as one JSON object, valid UTF-8 whatever the text holds;
// with a document, "doc" links the code's row in it.
std::string FormatFindingJson(const Finding& finding, const std::string& doc = {});
// The closing line: "LESSON: 2 errors, 1 warning", or as a JSON object.
std::string FormatSummary(const std::string& lesson, const CheckResult& result, bool json);

}  // namespace scenova::authoring
