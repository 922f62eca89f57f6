#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scenova::formats {

// A button of a bar script.
struct BarButton {
    std::string name;
    std::string picture;  // a file in the bar's image folder
    int32_t left = 0;     // in the bar's units
    int32_t top = 0;
};

// Bar scripts (a bar's LoadScript) are a text format of our own, one button
// a line:
//
//     # name, picture, left, top
//     Culture Tips, tips.bmp, 120, 4
//
// Fields are separated by commas and trimmed of blanks; the name may hold
// blanks but no comma, the picture is a file name, left and top are whole
// numbers (a minus sign allowed). Blank lines and lines starting with '#'
// are skipped; a UTF-8 byte order mark and CR line ends are accepted. The
// buttons come in the order of the file, a name given twice twice.
//
// A missing or unreadable file raises 53; a malformed line raises 5, naming
// the file and line, and then no button of the file is returned.
std::vector<BarButton> ReadBarScript(const std::string& path);
// The same for the text of a script; fileName names it in errors.
std::vector<BarButton> ParseBarScript(std::string_view content, const std::string& fileName);

}  // namespace scenova::formats
