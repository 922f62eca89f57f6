#pragma once

#include <QToolBar>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "formats/TextSearch.h"
#include "qt/Toolkit.h"

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
    explicit FindBar(std::function<const qt::QtWindow&()> lesson);

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
    std::optional<formats::TextMatch> Match() const { return m_match; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The match from `from` on (or, backwards, the last one ending by `to`),
    // going round the text's end.
    void Search(bool forward, int32_t from, int32_t to);
    void Show(std::optional<formats::TextMatch> match);

    std::function<const qt::QtWindow&()> m_lesson;
    QLineEdit* m_field;
    QLabel* m_status;
    std::optional<formats::TextMatch> m_match;
};

}  // namespace scenova::player
