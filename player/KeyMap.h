#pragma once

#include <QObject>

#include <functional>

#include "qt/Toolkit.h"

namespace scenova::player {

// The lesson window's keys, each a press of a button of its main bar, as a
// click would be (a disabled button does nothing): Space Play or else Stop,
// Left Rewind, Right Forward, T the transcript off or else on.
class KeyMap final : public QObject {
public:
    explicit KeyMap(std::function<const qt::QtWindow&()> window) : m_window(std::move(window)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<const qt::QtWindow&()> m_window;
};

}  // namespace scenova::player
