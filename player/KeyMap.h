#pragma once

#include <QObject>

#include <functional>

#include "viewer/Keys.h"

namespace scenova::player {

// The viewer's keys wherever the keyboard is in the player's window: a key
// that the focused part does not take itself (the slider its arrows, the
// transcript Up, Down and Enter, a button Enter, a text field its letters)
// comes on to the part's window, where this filter, installed on the lesson
// window, the area around it and the player's window, names it as the
// viewer does and runs its command.
class KeyMap final : public QObject {
public:
    // run returns whether the key did something (else it goes on).
    explicit KeyMap(std::function<bool(viewer::Command)> run) : m_run(std::move(run)) {}

    // The command of a key pressed with these modifiers; None when none.
    static viewer::Command CommandOf(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(viewer::Command)> m_run;
};

}  // namespace scenova::player
