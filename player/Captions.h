#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

#include "qt/Toolkit.h"

class QLabel;

namespace scenova::player {

// The viewer's caption over the bottom of the video, in proportion to the
// picture however the lesson is zoomed.
class Captions final : public QObject {
public:
    explicit Captions(std::function<const qt::QtWindow&()> lesson) : m_lesson(std::move(lesson)) {}

    // The caption to show (empty: none), and the translation under it.
    void Show(std::string text, std::string translation);
    // Lays it out again over the video as it is now.
    void Update();

private:
    std::function<const qt::QtWindow&()> m_lesson;
    QPointer<QLabel> m_label;
    QPointer<QLabel> m_translationLabel;
    std::string m_text;
    std::string m_translation;
    QSize m_laidOutFor;
};

}  // namespace scenova::player
