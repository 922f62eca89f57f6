#include "player/KeyMap.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <string>

namespace scenova::player {

viewer::Command KeyMap::CommandOf(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier)) {
        return viewer::Command::None;
    }
    // Qt's portable names are the key list's ("Space", "Esc", "F3", "?").
    const std::string name = QKeySequence(key).toString(QKeySequence::PortableText).toStdString();
    return viewer::CommandOf({.name = name,
                              .shift = modifiers.testFlag(Qt::ShiftModifier),
                              .ctrl = modifiers.testFlag(Qt::ControlModifier)},
                             viewer::Where::Desktop);
}

bool KeyMap::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const viewer::Command command = CommandOf(key->key(), key->modifiers());
    return command != viewer::Command::None && m_run(command);
}

}  // namespace scenova::player
