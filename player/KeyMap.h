#pragma once

#include <QObject>

#include <functional>
#include <span>
#include <string>

namespace scenova::player {

// What a key asks of the player.
enum class Command {
    None,  // a line of the key list only: the focused part takes the key itself
    PlayOrStop,
    Rewind,
    Forward,
    Transcript,
    Faster,
    Slower,
    Captions,
    Find,
    FindNext,
    FindPrevious,
    Keys,
    FullScreen,
    Leave,
    ZoomIn,
    ZoomOut,
    ZoomFit,
};

struct KeyBinding {
    const char* keys;  // as QKeySequence reads them ("Space", "Shift+S", "Ctrl+F")
    const char* what;  // what they do, for the key list
    Command command;
};

// Every key of the player, in the order the key list shows them.
std::span<const KeyBinding> KeyBindings();
// The key list: a key and what it does, a line each.
std::string KeyList();

// The player's keys wherever the keyboard is in its window: a key that the
// focused part does not take itself (the slider its arrows, the transcript
// Up, Down and Enter, a button Enter, a text field its letters)
// comes on to the part's window, where this filter, installed on the lesson
// window, the area around it and the player's window, carries it out.
class KeyMap final : public QObject {
public:
    // run returns whether the key did something (else it goes on).
    explicit KeyMap(std::function<bool(Command)> run) : m_run(std::move(run)) {}

    // The command of a key pressed with these modifiers; None when none.
    static Command CommandOf(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(Command)> m_run;
};

}  // namespace scenova::player
