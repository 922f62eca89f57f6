#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <string>

#include "qt/Toolkit.h"

class QLabel;

namespace scenova::player {

// The line spoken now, over the bottom of the video: the transcript's line
// (with its speaker) of the cue whose time holds the video's position,
// nothing between cues. Off until the learner turns it on.
class Captions final : public QObject {
public:
    explicit Captions(std::function<const qt::QtWindow&()> lesson);

    void SetShown(bool shown);
    bool Shown() const { return m_shown; }
    // The caption of the video's position now (empty between cues).
    std::string Current() const;
    // Shows it (at once, not only at the next tick).
    void Update();

private:
    std::function<const qt::QtWindow&()> m_lesson;
    QPointer<QLabel> m_label;
    QTimer m_tick;
    bool m_shown = false;
};

}  // namespace scenova::player
