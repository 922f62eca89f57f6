#include "player/KeyMap.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <algorithm>
#include <array>

namespace scenova::player {

namespace {

constexpr std::array kBindings{
    KeyBinding{"Space", "Play, or stop while playing", Command::PlayOrStop},
    KeyBinding{"Left", "Back one speaker", Command::Rewind},
    KeyBinding{"Right", "On to the next speaker", Command::Forward},
    KeyBinding{"T", "Hide or show the transcript", Command::Transcript},
    KeyBinding{"S", "Faster (up to 1.5 times)", Command::Faster},
    KeyBinding{"Shift+S", "Slower (down to half speed)", Command::Slower},
    KeyBinding{"C", "Captions over the video on or off", Command::Captions},
    KeyBinding{"Ctrl+F", "Find in the transcript", Command::Find},
    KeyBinding{"F3", "The next line found", Command::FindNext},
    KeyBinding{"Shift+F3", "The line found before", Command::FindPrevious},
    KeyBinding{"F11", "Full screen on or off", Command::FullScreen},
    KeyBinding{"Esc", "Leave the find bar, then full screen", Command::Leave},
    KeyBinding{"Ctrl++", "Larger", Command::ZoomIn},
    KeyBinding{"Ctrl+-", "Smaller", Command::ZoomOut},
    KeyBinding{"Ctrl+0", "Fit the lesson to the window", Command::ZoomFit},
    KeyBinding{"?", "This list of keys", Command::Keys},
    KeyBinding{"F1", "This list of keys", Command::Keys},
    KeyBinding{"Tab", "The next button, the slider or the transcript", Command::None},
    KeyBinding{"Shift+Tab", "The one before", Command::None},
    KeyBinding{"Enter", "Press the button, or play the transcript line, that has the keyboard",
               Command::None},
    KeyBinding{"Up, Down", "In the transcript: the line before or after", Command::None},
    KeyBinding{"Left, Right", "On the slider: move it one speaker", Command::None},
};

// A key whose character may need Shift ("?", "+"): Shift makes no other key.
bool ShiftFree(int key) {
    return key > Qt::Key_Space && key <= Qt::Key_AsciiTilde &&
           !(key >= Qt::Key_A && key <= Qt::Key_Z);
}

}  // namespace

std::span<const KeyBinding> KeyBindings() {
    return kBindings;
}

std::string KeyList() {
    std::size_t width = 0;
    for (const KeyBinding& binding : kBindings) {
        width = std::max(width, std::string_view(binding.keys).size());
    }
    std::string list;
    for (const KeyBinding& binding : kBindings) {
        const std::string keys = binding.keys;
        list += "  " + keys + std::string(width + 2 - keys.size(), ' ') + binding.what + "\n";
    }
    return list;
}

Command KeyMap::CommandOf(int key, Qt::KeyboardModifiers modifiers) {
    modifiers &= ~Qt::KeypadModifier;
    if (key == Qt::Key_Equal && modifiers == Qt::ControlModifier) {
        key = Qt::Key_Plus;  // Ctrl and the key that holds "+" unshifted
    }
    if (ShiftFree(key)) {
        modifiers &= ~Qt::ShiftModifier;
    }
    for (const KeyBinding& binding : kBindings) {
        if (binding.command == Command::None) {
            continue;
        }
        const QKeyCombination wanted = QKeySequence(QString::fromLatin1(binding.keys))[0];
        Qt::KeyboardModifiers wantedModifiers = wanted.keyboardModifiers();
        if (ShiftFree(key)) {
            wantedModifiers &= ~Qt::ShiftModifier;
        }
        if (wanted.key() == key && wantedModifiers == modifiers) {
            return binding.command;
        }
    }
    return Command::None;
}

bool KeyMap::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const Command command = CommandOf(key->key(), key->modifiers());
    return command != Command::None && m_run(command);
}

}  // namespace scenova::player
