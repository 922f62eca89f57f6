#include "qt/Video.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

#include <algorithm>
#include <cmath>
#include <limits>

#include "formats/MovieFile.h"
#include "qt/FrameImage.h"
#include "qt/Strings.h"
#include "runtime/RuntimeError.h"

namespace scenova::qt {

namespace {

// How far ahead of a signal time the player may be found and the signal
// still count as reached there (the timer never wakes exactly on time).
constexpr double kEarlyMs = 0.5;

qint64 Milliseconds(double seconds) {
    return static_cast<qint64>(std::llround(seconds * 1000.0));
}

}  // namespace

VideoWidget::VideoWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VideoWidget::Show(const QVideoFrame& frame) {
    // Made into a picture when painted, at the size shown: a frame replaced
    // before it was painted costs nothing.
    m_source = frame;
    m_frame = QImage();
    update();
}

void VideoWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QSize own = m_source.isValid() ? m_source.size() : m_frame.size();
    if (own.isEmpty()) {
        return;
    }
    const QSize size = own.scaled(this->size(), Qt::KeepAspectRatio);
    if (m_source.isValid() && m_frame.size() != size.boundedTo(own)) {
        m_frame = FrameImage(m_source, size);
    }
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_frame);
}

std::shared_ptr<Video> Video::Create(Context& ctx, std::string name, Twips twips, QWidget* parent) {
    auto video = std::make_shared<Video>(ctx, std::move(name), twips);
    auto* view = new VideoWidget(parent);
    const std::weak_ptr<Video> weak = video;
    video->m_player->setAudioOutput(video->m_audio.get());
    video->m_player->setVideoSink(video->m_sink.get());
    QObject::connect(video->m_sink.get(), &QVideoSink::videoFrameChanged, view,
                     [weak](const QVideoFrame& frame) {
                         const auto self = weak.lock();
                         if (!self || !frame.isValid()) {
                             return;
                         }
                         if (VideoWidget* widget = self->View()) {
                             widget->Show(frame);
                         }
                         if (self->onFrame) {
                             self->onFrame();
                         }
                     });
    QObject::connect(video->m_player.get(), &QMediaPlayer::mediaStatusChanged, view,
                     [weak](QMediaPlayer::MediaStatus status) {
                         if (const auto self = weak.lock()) {
                             self->MediaStatus(status);
                         }
                     });
    QObject::connect(video->m_timer.get(), &QTimer::timeout, view, [weak] {
        if (const auto self = weak.lock()) {
            self->Check();
        }
    });
    video->Attach(view);
    return video;
}

Video::Video(Context& ctx, std::string name, Twips twips)
    : ContainedControl(ctx, std::move(name), twips, false),
      m_player(std::make_unique<QMediaPlayer>()),
      m_audio(std::make_unique<QAudioOutput>()),
      m_sink(std::make_unique<QVideoSink>()),
      m_timer(std::make_unique<QTimer>()) {
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
}

Video::~Video() {
    m_timer->stop();
    m_player->stop();
}

VideoWidget* Video::View() const {
    return static_cast<VideoWidget*>(m_widget.data());
}

std::optional<double> Video::OpenMedia(const std::string& path) {
    m_mediaEnded = false;
    m_loaded = false;
    m_loading = false;
    m_pendingMs.reset();
    const std::optional<double> seconds = formats::ProbeMovieSeconds(path);
    if (seconds) {
        m_lengthSeconds = *seconds;
        m_player->setSource(QUrl::fromLocalFile(PathToQString(path)));
    }
    return seconds;
}

void Video::CloseMedia() {
    m_player->stop();
    m_player->setSource(QUrl());
}

void Video::PlayMedia(double seconds) {
    m_mediaEnded = false;
    SeekPlayer(seconds);
    m_startSeconds = seconds;
    m_player->setPlaybackRate(m_rate);
    m_player->play();
}

void Video::PauseMedia() {
    m_player->pause();
}

void Video::ShowMedia(double seconds) {
    m_mediaEnded = false;
    SeekPlayer(seconds);
    m_player->pause();  // shows the frame there
}

void Video::WakeAfter(double seconds) {
    // Looked at once the event loop runs again: the handler of a signal
    // runs before anything after it is raised.
    m_wake = seconds;
    m_timer->start(0);
}

void Video::CancelWake() {
    m_wake.reset();
    m_timer->stop();
}

void Video::Post(std::function<void()> event) {
    QTimer::singleShot(0, m_player.get(), std::move(event));
}

void Video::SetRate(double rate) {
    m_rate = std::clamp(rate, 0.5, 1.5);
    m_player->setPlaybackRate(m_rate);
    if (m_wake) {
        Check();
    }
}

double Video::MediaSeconds() const {
    if (m_mediaEnded) {
        return m_lengthSeconds;
    }
    const qint64 ms = m_pendingMs ? *m_pendingMs : m_player->position();
    return static_cast<double>(ms) / 1000.0;
}

void Video::SeekPlayer(double seconds) {
    const qint64 ms = Milliseconds(seconds);
    if (m_loaded) {
        m_player->setPosition(ms);
    } else {
        m_pendingMs = ms;
    }
}

void Video::Check() {
    if (!m_wake) {
        return;
    }
    const double aheadMs = (*m_wake - Elapsed()) * 1000.0;
    if (aheadMs > kEarlyMs) {
        // Woken at the moment the player should get there; if it is late
        // (it was still starting or buffering), this runs again.
        const double wallMs = aheadMs / m_rate;
        m_timer->start(static_cast<int>(std::clamp(std::floor(wallMs), 1.0, 1e9)));
        return;
    }
    m_wake.reset();
    Due();
}

void Video::MediaStatus(int status) {
    switch (status) {
        case QMediaPlayer::LoadedMedia:
        case QMediaPlayer::BufferingMedia:
        case QMediaPlayer::BufferedMedia:
            // The player takes a place only once it has dealt with its own
            // news of the load: the kept place goes to it just after.
            if (!m_loaded && !m_loading) {
                m_loading = true;
                QTimer::singleShot(0, m_player.get(), [weak = weak_from_this()] {
                    const auto self = weak.lock();
                    if (!self || !self->m_loading) {
                        return;
                    }
                    self->m_loading = false;
                    self->m_loaded = true;
                    if (self->m_pendingMs) {
                        self->m_player->setPosition(
                            *std::exchange(self->m_pendingMs, std::nullopt));
                    }
                    self->Check();
                });
            }
            break;
        case QMediaPlayer::EndOfMedia:
            if (State() == PlayState::Playing) {
                m_mediaEnded = true;
                Check();
            }
            break;
        default:
            break;
    }
}

}  // namespace scenova::qt
