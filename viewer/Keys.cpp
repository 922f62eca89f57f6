#include "viewer/Keys.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace scenova::viewer {

namespace {

using enum Command;
constexpr Where kDesktop = Where::Desktop;

constexpr std::array kRows{
    KeyRow{"Space", "Play, or stop while playing", PlayOrStop},
    KeyRow{"Left", "Back one speaker", Back},
    KeyRow{"Right", "On to the next speaker", Forward},
    KeyRow{"R", "The line again (the one spoken now, or the last one heard)", RepeatLine},
    KeyRow{"P", "Pause after each line on or off (Space goes on)", PauseAfterLines},
    KeyRow{"L", "Play the line again and again, on or off", Loop},
    KeyRow{"T", "Hide or show the transcript", Transcript},
    KeyRow{"S", "Faster (up to 1.5 times)", Faster},
    KeyRow{"Shift+S", "Slower (down to half speed)", Slower},
    KeyRow{"C", "Captions over the video on or off", Captions},
    KeyRow{"G", "The translation of each line on or off (a lesson with one)", Translation},
    KeyRow{"F", "Full screen on or off", FullScreen},
    KeyRow{"F11", "Full screen on or off", FullScreen, kDesktop},
    KeyRow{"Esc", "Leave the find bar, then full screen", Leave},
    KeyRow{"Ctrl+F", "Find in the transcript", Find, kDesktop},
    KeyRow{"/", "Find in the transcript (Down, Up: the next, the one before; Enter plays it)", Find,
           Where::Page},
    KeyRow{"F3", "The next line found", FindNext, kDesktop},
    KeyRow{"Shift+F3", "The line found before", FindPrevious, kDesktop},
    KeyRow{"Ctrl++", "Larger", ZoomIn, kDesktop},
    KeyRow{"Ctrl+-", "Smaller", ZoomOut, kDesktop},
    KeyRow{"Ctrl+0", "Fit the lesson to the window", ZoomFit, kDesktop},
    KeyRow{"?", "This list of keys", Keys},
    KeyRow{"F1", "This list of keys", Keys, kDesktop},
    KeyRow{"Tab", "The next button, the slider or the transcript", None},
    KeyRow{"Shift+Tab", "The one before", None},
    KeyRow{"Enter", "Press the button, or play the transcript line, that has the keyboard", None},
    KeyRow{"Up, Down", "In the transcript: the line before or after", None},
    KeyRow{"Left, Right", "On the slider: move it one speaker", None},
};

bool Works(const KeyRow& row, Where player) {
    return row.where == Where::Everywhere || row.where == player;
}

// A character that may need Shift to type ("?", "+"): Shift then makes no
// other key. Letters, digits and named keys keep Shift apart.
bool ShiftFree(std::string_view name) {
    return name.size() == 1 && !std::isalnum(static_cast<unsigned char>(name[0]));
}

}  // namespace

std::span<const KeyRow> KeyRows() {
    return kRows;
}

std::string KeyList(Where player) {
    std::size_t width = 0;
    for (const KeyRow& row : kRows) {
        width = std::max(width, row.keys.size());
    }
    std::string list;
    for (const KeyRow& row : kRows) {
        if (Works(row, player)) {
            list += "  " + std::string(row.keys) + std::string(width + 2 - row.keys.size(), ' ') +
                    std::string(row.what) + "\n";
        }
    }
    return list;
}

Key KeyNamed(std::string_view keys) {
    Key key;
    // "Ctrl++" is Ctrl and "+": a prefix needs a key after it.
    for (bool more = true; more;) {
        more = false;
        for (const auto& [prefix, held] : {std::pair{std::string_view("Ctrl+"), &key.ctrl},
                                           std::pair{std::string_view("Shift+"), &key.shift}}) {
            if (keys.starts_with(prefix) && keys.size() > prefix.size()) {
                *held = more = true;
                keys.remove_prefix(prefix.size());
            }
        }
    }
    key.name = keys;
    return key;
}

Command CommandOf(Key key, Where player) {
    if (key.ctrl && key.name == "=") {
        key.name = "+";  // Ctrl and the key that holds "+" unshifted
    }
    // A letter is its key whatever the case it types.
    char letter = 0;
    if (key.name.size() == 1 && key.name[0] >= 'a' && key.name[0] <= 'z') {
        letter = static_cast<char>(key.name[0] - 'a' + 'A');
        key.name = std::string_view(&letter, 1);
    }
    for (const KeyRow& row : kRows) {
        if (row.command == None || !Works(row, player)) {
            continue;
        }
        const Key wanted = KeyNamed(row.keys);
        if (wanted.name == key.name && wanted.ctrl == key.ctrl &&
            (ShiftFree(wanted.name) || wanted.shift == key.shift)) {
            return row.command;
        }
    }
    return None;
}

}  // namespace scenova::viewer
