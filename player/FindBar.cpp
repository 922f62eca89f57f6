#include "player/FindBar.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <map>

#include "controls/RichText.h"
#include "qt/Strings.h"

namespace scenova::player {

FindBar::FindBar(std::function<const qt::QtWindow&()> lesson, viewer::Viewer& viewer)
    : QToolBar(QStringLiteral("Find in the transcript")),
      m_lesson(std::move(lesson)),
      m_viewer(viewer),
      m_field(new QLineEdit),
      m_status(new QLabel) {
    setObjectName(QStringLiteral("find"));
    setMovable(false);
    setFloatable(false);
    auto* label = new QLabel(QStringLiteral("Find in the transcript: "));
    label->setBuddy(m_field);
    addWidget(label);
    m_field->setAccessibleName(QStringLiteral("Find in the transcript"));
    m_field->setClearButtonEnabled(true);
    m_field->setMaximumWidth(320);
    m_field->installEventFilter(this);
    addWidget(m_field);
    addAction(QStringLiteral("Previous"), this, [this] {
        Previous();
    })->setToolTip(QStringLiteral("The line found before (Shift+F3, Up)"));
    addAction(QStringLiteral("Next"), this, [this] {
        Next();
    })->setToolTip(QStringLiteral("The next line found (F3, Down)"));
    addAction(QStringLiteral("Play"), this, [this] {
        PlayFound();
    })->setToolTip(QStringLiteral("Play the line found (Enter)"));
    m_status->setMinimumWidth(90);
    m_status->setContentsMargins(8, 0, 8, 0);
    addWidget(m_status);
    addAction(QStringLiteral("Close"), this, [this] {
        Close();
    })->setToolTip(QStringLiteral("Close the find bar (Esc)"));
    connect(m_field, &QLineEdit::textChanged, this, [this] { Search(viewer::FindStep::Typed); });
    hide();
}

void FindBar::Open() {
    show();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void FindBar::Close() {
    hide();
    m_viewer.EndFind();
    const qt::QtWindow& lesson = m_lesson();
    if (lesson.rtfText && lesson.rtfText->Widget() && lesson.rtfText->Widget()->isVisible()) {
        lesson.rtfText->Widget()->setFocus(Qt::OtherFocusReason);
    }
}

void FindBar::Next() {
    Search(viewer::FindStep::Next);
}

void FindBar::Previous() {
    Search(viewer::FindStep::Previous);
}

bool FindBar::PlayFound() {
    return m_viewer.PlayFound();
}

QString FindBar::Status() const {
    return m_status->text();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        // The field's own keys: Enter plays the match, the arrows go round,
        // Esc closes the bar.
        using Act = void (*)(FindBar&);
        static const std::map<int, Act> kKeys{
            {Qt::Key_Return, [](FindBar& bar) { bar.PlayFound(); }},
            {Qt::Key_Enter, [](FindBar& bar) { bar.PlayFound(); }},
            {Qt::Key_Down, [](FindBar& bar) { bar.Next(); }},
            {Qt::Key_Up, [](FindBar& bar) { bar.Previous(); }},
            {Qt::Key_Escape, [](FindBar& bar) { bar.Close(); }},
        };
        if (const auto key = kKeys.find(static_cast<QKeyEvent*>(event)->key());
            key != kKeys.end()) {
            key->second(*this);
            return true;
        }
    }
    return QToolBar::eventFilter(watched, event);
}

void FindBar::Search(viewer::FindStep step) {
    m_viewer.Find(qt::ToStdString(m_field->text()), step);
    m_status->setText(qt::ToQString(m_viewer.FindStatus()));
}

}  // namespace scenova::player
