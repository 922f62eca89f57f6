#include "player/Captions.h"

#include <QLabel>

#include <algorithm>

#include "qt/Strings.h"

namespace scenova::player {

namespace {

QLabel* CaptionLabel(QWidget* video, const char* name) {
    auto* label = new QLabel(video);
    label->setObjectName(QString::fromLatin1(name));
    // The lesson's text, shown as it is: never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

}  // namespace

void Captions::Show(std::string text, std::string translation) {
    m_text = std::move(text);
    m_translation = std::move(translation);
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
        delete m_translationLabel;
        m_label = CaptionLabel(video, "captions");
        m_translationLabel = CaptionLabel(video, "translation");
        m_laidOutFor = QSize();
    }
    if (m_text.empty()) {
        m_label->hide();
        m_translationLabel->hide();
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
    // The second language under the line, smaller and quieter.
    int below = 0;
    if (m_translation.empty()) {
        m_translationLabel->hide();
    } else {
        m_translationLabel->setStyleSheet(
            QStringLiteral("QLabel { color: #d8d8d8; background: rgba(0, 0, 0, 160); "
                           "font-size: %1px; font-style: italic; padding: %2px; }")
                .arg(pixels * 4 / 5)
                .arg(pixels / 4));
        m_translationLabel->setText(qt::ToQString(m_translation));
        m_translationLabel->setFixedWidth(width);
        m_translationLabel->adjustSize();
        below = m_translationLabel->height();
        m_translationLabel->move((video->width() - width) / 2,
                                 video->height() - below - pixels / 2);
        m_translationLabel->show();
        m_translationLabel->raise();
    }
    m_label->move((video->width() - width) / 2,
                  video->height() - below - m_label->height() - pixels / 2);
    m_label->show();
    m_label->raise();
}

}  // namespace scenova::player
