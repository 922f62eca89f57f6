#pragma once

#include <QToolBar>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "qt/Toolkit.h"
#include "viewer/Viewer.h"

class QLabel;
class QLineEdit;

namespace scenova::player {

// Finds text in the transcript with the search the lesson's own lines are
// found by (any case): the match is marked and scrolled into view as the
// learner types; Next and Previous (F3, Shift+F3, Down, Up) go round the
// matches; Enter plays the line holding the match, as a click on it would;
// Esc closes the bar and gives the keyboard back to the transcript.
class FindBar final : public QToolBar {
public:
    FindBar(std::function<const qt::QtWindow&()> lesson, viewer::Viewer& viewer);

    // Shows the bar with the keyboard in its field.
    void Open();
    void Close();
    void Next();
    void Previous();
    // Plays the line of the match; false without one.
    bool PlayFound();
    QLineEdit* Field() const { return m_field; }
    // What the bar says of the search ("2 of 5", "Not found").
    QString Status() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Search(viewer::FindStep step);

    std::function<const qt::QtWindow&()> m_lesson;
    viewer::Viewer& m_viewer;
    QLineEdit* m_field;
    QLabel* m_status;
};

}  // namespace scenova::player
