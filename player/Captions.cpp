#include "player/Captions.h"

#include <QLabel>

#include <algorithm>

#include "qt/Strings.h"

namespace scenova::player {

void Captions::Show(std::string text) {
    m_text = std::move(text);
    m_laidOutFor = QSize();
    Update();
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
        m_laidOutFor = QSize();
    }
    if (m_text.empty()) {
        m_label->hide();
        return;
    }
    if (m_laidOutFor == video->size() && m_label->isVisible()) {
        return;
    }
    m_laidOutFor = video->size();
    // Large enough to read across a room, in proportion to the picture.
    const int pixels = std::max(12, video->height() / 16);
    m_label->setStyleSheet(QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 190); "
                                          "font-size: %1px; padding: %2px; border-radius: 4px; }")
                               .arg(pixels)
                               .arg(pixels / 3));
    m_label->setText(qt::ToQString(m_text));
    const int width = video->width() * 9 / 10;
    m_label->setFixedWidth(width);
    m_label->adjustSize();
    m_label->move((video->width() - width) / 2, video->height() - m_label->height() - pixels / 2);
    m_label->show();
    m_label->raise();
}

}  // namespace scenova::player
