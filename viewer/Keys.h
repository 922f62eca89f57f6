#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace scenova::viewer {

// What a person can ask of a lesson by key, beside the lesson's own controls.
enum class Command : uint8_t {
    None,  // a line of the key list only: the focused part takes the key itself
    PlayOrStop,
    Back,
    Forward,
    RepeatLine,
    PauseAfterLines,
    Loop,
    Transcript,
    Faster,
    Slower,
    Captions,
    Translation,
    FullScreen,
    Leave,
    Find,
    FindNext,
    FindPrevious,
    ZoomIn,
    ZoomOut,
    ZoomFit,
    Keys,
};

// Where a key works: a browser keeps some keys for itself (its own full
// screen, zoom, find and help). A player is Desktop or Page.
enum class Where : uint8_t { Everywhere, Desktop, Page };

struct KeyRow {
    std::string_view keys;  // as the key list writes them: "Space", "Shift+S", "Ctrl+F"
    std::string_view what;  // what they do
    Command command;
    Where where = Where::Everywhere;
};

// Every key, in the order the key list shows them.
std::span<const KeyRow> KeyRows();
// The key list shown in Help and on the page: a key and what it does, a line
// each, the keys of that player only.
std::string KeyList(Where player);

// A key as a player names it, by the key list's names ("Space", "Left",
// "F3", "Esc", "R", "?", "+"), with the modifiers held.
struct Key {
    std::string_view name;
    bool shift = false;
    bool ctrl = false;
};
// A key as the key list writes it ("P", "Shift+S", "Ctrl++"); the name
// views the text.
Key KeyNamed(std::string_view keys);
// The command of a key in that player; None when it has none.
Command CommandOf(Key key, Where player);

}  // namespace scenova::viewer
