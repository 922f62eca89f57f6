#include "player/Captions.h"

#include <QLabel>

#include <algorithm>

#include "module/Module1.h"
#include "qt/Strings.h"

namespace scenova::player {

namespace {

constexpr int kTickMs = 100;

}  // namespace

Captions::Captions(std::function<const qt::QtWindow&()> lesson) : m_lesson(std::move(lesson)) {
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, [this] { Update(); });
}

void Captions::SetShown(bool shown) {
    m_shown = shown;
    if (shown) {
        m_tick.start();
    } else {
        m_tick.stop();
    }
    Update();
}

std::string Captions::Current() const {
    const qt::QtWindow& lesson = m_lesson();
    if (!lesson.movOrvMovie || !lesson.rtfText) {
        return std::string();
    }
    const double at = lesson.movOrvMovie->CurrentPosition();
    const auto& cues = Module1::Get().g_Cues;
    const auto& links = lesson.rtfText->Links();
    for (std::size_t cue = 0; cue < cues.size(); ++cue) {
        if (cues[cue].StartTime <= at && at < cues[cue].EndTime) {
            // Each line's link carries its cue's number.
            const auto link = std::find_if(links.begin(), links.end(), [&](const auto& l) {
                return l.userID == static_cast<int32_t>(cue);
            });
            return link == links.end()
                       ? std::string()
                       : lesson.rtfText->LinkName(static_cast<int32_t>(link - links.begin()));
        }
    }
    return std::string();
}

void Captions::Update() {
    const qt::QtWindow& lesson = m_lesson();
    QWidget* video = lesson.movOrvMovie ? lesson.movOrvMovie->Widget() : nullptr;
    if (video == nullptr) {
        return;
    }
    if (!m_label || m_label->parentWidget() != video) {
        delete m_label;
        m_label = new QLabel(video);
        m_label->setObjectName(QStringLiteral("captions"));
        // The lesson's text, shown as it is: never read as markup.
        m_label->setTextFormat(Qt::PlainText);
        m_label->setAlignment(Qt::AlignCenter);
        m_label->setWordWrap(true);
        m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    const QString text = m_shown ? qt::ToQString(Current()) : QString();
    if (text.isEmpty()) {
        m_label->hide();
        return;
    }
    // Large enough to read across a room, in proportion to the picture.
    const int pixels = std::max(12, video->height() / 16);
    m_label->setStyleSheet(QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 190); "
                                          "font-size: %1px; padding: %2px; border-radius: 4px; }")
                               .arg(pixels)
                               .arg(pixels / 3));
    m_label->setText(text);
    const int width = video->width() * 9 / 10;
    m_label->setFixedWidth(width);
    m_label->adjustSize();
    m_label->move((video->width() - width) / 2, video->height() - m_label->height() - pixels / 2);
    m_label->show();
    m_label->raise();
}

}  // namespace scenova::player
