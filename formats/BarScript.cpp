#include "formats/BarScript.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "runtime/RuntimeError.h"

namespace scenova::formats {

namespace {

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kBlanks = " \t";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Digits with an optional minus sign, within 32 bits.
bool ParseWhole(std::string_view text, int32_t& value) {
    if (text.empty()) {
        return false;
    }
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

// A bar script of a thousand buttons is some 50 KiB.
constexpr std::uintmax_t kMaxBarScriptBytes = std::uintmax_t{1} << 20;

// The file whole: 53 when it is no regular file, 7 past the limit. (Also
// built for the Windows tests' fake controls, so only the standard library.)
std::string ReadWholeFile(const std::string& path) {
    std::error_code error;
    if (path.empty() || path.find('\0') != std::string::npos ||
        !std::filesystem::is_regular_file(std::filesystem::path(path), error)) {
        Raise(err::FileNotFound);
    }
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(path), error);
    if (!error && size > kMaxBarScriptBytes) {
        Raise(err::OutOfMemory);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Raise(err::FileNotFound);
    }
    // What the file held when its size was taken: one that grows is not
    // followed.
    std::string content(static_cast<std::size_t>(error ? kMaxBarScriptBytes : size), '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad()) {
        Raise(err::FileNotFound);
    }
    content.resize(static_cast<std::size_t>(in.gcount()));
    return content;
}

}  // namespace

std::vector<BarButton> ParseBarScript(std::string_view content, const std::string& fileName) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (content.starts_with(kByteOrderMark)) {
        content.remove_prefix(kByteOrderMark.size());
    }
    std::vector<BarButton> buttons;
    int lineNumber = 0;
    while (!content.empty()) {
        ++lineNumber;
        const auto newline = content.find('\n');
        std::string_view line = content.substr(0, newline);
        content =
            newline == std::string_view::npos ? std::string_view() : content.substr(newline + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        line = Trim(line);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto fail = [&](std::string_view detail) {
            Raise(err::InvalidCall, fileName + " line " + std::to_string(lineNumber) +
                                        ": expected name, picture, left, top" +
                                        std::string(detail));
        };
        std::vector<std::string_view> fields;
        for (;;) {
            const auto comma = line.find(',');
            fields.push_back(Trim(line.substr(0, comma)));
            if (comma == std::string_view::npos) {
                break;
            }
            line.remove_prefix(comma + 1);
        }
        if (fields.size() != 4 || fields[0].empty() || fields[1].empty()) {
            fail("");
        }
        int32_t left = 0;
        int32_t top = 0;
        if (!ParseWhole(fields[2], left)) {
            fail("; left is not a whole number");
        }
        if (!ParseWhole(fields[3], top)) {
            fail("; top is not a whole number");
        }
        buttons.push_back({std::string(fields[0]), std::string(fields[1]), left, top});
    }
    return buttons;
}

std::vector<BarButton> ReadBarScript(const std::string& path) {
    return ParseBarScript(ReadWholeFile(path), std::filesystem::path(path).filename().string());
}

}  // namespace scenova::formats
