#include "player/KeyMap.h"

#include <QKeyEvent>

#include "qt/Toolkit.h"

namespace scenova::player {

bool KeyMap::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto& window = m_window();
    if (!window.frmRose) {
        return false;
    }
    qt::ButtonBar& bar = *window.frmRose;
    const auto enabled = [&](const char* name) {
        return bar.StateOf(name) == controls::button_state::Enabled;
    };
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier) {
        return false;
    }
    switch (key->key()) {
        case Qt::Key_Space:
            bar.UserPress(enabled("btnVideoPlay") ? "btnVideoPlay" : "btnVideoStop");
            return true;
        case Qt::Key_Left:
            bar.UserPress("btnVideoRew");
            return true;
        case Qt::Key_Right:
            bar.UserPress("btnVideoFwd");
            return true;
        case Qt::Key_T:
            bar.UserPress(enabled("btnTextOff") ? "btnTextOff" : "btnTextOn");
            return true;
        default:
            return false;
    }
}

}  // namespace scenova::player
