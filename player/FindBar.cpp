#include "player/FindBar.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <map>

#include "controls/RichText.h"
#include "qt/Strings.h"

namespace scenova::player {

namespace {

constexpr int kMostCounted = 999;  // matches counted for "n of m"

}  // namespace

FindBar::FindBar(std::function<const qt::QtWindow&()> lesson)
    : QToolBar(QStringLiteral("Find in the transcript")),
      m_lesson(std::move(lesson)),
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
    connect(m_field, &QLineEdit::textChanged, this, [this] {
        // As the learner types, the first match from the one shown on.
        Search(true, m_match ? m_match->start : 0, -1);
    });
    hide();
}

void FindBar::Open() {
    show();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void FindBar::Close() {
    hide();
    const qt::QtWindow& lesson = m_lesson();
    if (lesson.rtfText) {
        lesson.rtfText->ShowFound(0, 0);
        if (lesson.rtfText->Widget() && lesson.rtfText->Widget()->isVisible()) {
            lesson.rtfText->Widget()->setFocus(Qt::OtherFocusReason);
        }
    }
    m_match.reset();
}

void FindBar::Next() {
    Search(true, m_match ? m_match->start + 1 : 0, -1);
}

void FindBar::Previous() {
    Search(false, 0, m_match ? m_match->end - 1 : -1);
}

bool FindBar::PlayFound() {
    const qt::QtWindow& lesson = m_lesson();
    if (!m_match || !lesson.rtfText) {
        return false;
    }
    qt::RichText& text = *lesson.rtfText;
    // The line holding the match, else (a speaker's name) the line after it.
    int32_t link = text.LinkIndexAt(m_match->start);
    const auto& links = text.Links();
    for (std::size_t i = 0; link < 0 && i < links.size(); ++i) {
        if (links[i].start >= m_match->start) {
            link = static_cast<int32_t>(i);
        }
    }
    return link >= 0 && text.UserClickLink(link, 1);
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

void FindBar::Search(bool forward, int32_t from, int32_t to) {
    const qt::QtWindow& lesson = m_lesson();
    const std::string wanted = qt::ToStdString(m_field->text());
    if (!lesson.rtfText || wanted.empty()) {
        Show(std::nullopt);
        return;
    }
    const formats::PackedText& text = lesson.rtfText->Text();
    const auto length = static_cast<int32_t>(text.size());
    to = to < 0 ? length : to;
    const int32_t flags = forward ? controls::find_flags::Down : 0;
    auto match = formats::FindInText(text, from, forward ? length : to, flags, wanted);
    if (!match) {
        // Round the end of the text.
        match = formats::FindInText(text, 0, length, flags, wanted);
    }
    Show(match);
}

void FindBar::Show(std::optional<formats::TextMatch> match) {
    m_match = match;
    const qt::QtWindow& lesson = m_lesson();
    if (lesson.rtfText) {
        lesson.rtfText->ShowFound(match ? match->start : 0, match ? match->end : 0);
    }
    if (!match) {
        m_status->setText(m_field->text().isEmpty() ? QString() : QStringLiteral("Not found"));
        return;
    }
    const formats::PackedText& text = lesson.rtfText->Text();
    const std::string wanted = qt::ToStdString(m_field->text());
    int count = 0;
    int index = 0;
    for (auto at = formats::FindInText(text, 0, static_cast<int32_t>(text.size()),
                                       controls::find_flags::Down, wanted);
         at && count < kMostCounted;
         at = formats::FindInText(text, at->start + 1, static_cast<int32_t>(text.size()),
                                  controls::find_flags::Down, wanted)) {
        ++count;
        index = at->start == match->start ? count : index;
    }
    m_status->setText(QStringLiteral("%1 of %2").arg(index).arg(count));
}

}  // namespace scenova::player
