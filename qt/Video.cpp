#include "qt/Video.h"

#include <QAudioOutput>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QPainter>
#include <QRegion>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

#include "formats/MovieFile.h"
#include "qt/FrameImage.h"
#include "qt/Strings.h"
#include "runtime/RuntimeError.h"

namespace scenova::qt {

namespace {

// How far ahead of a signal time the player may be found and the signal
// still count as reached there (the timer never wakes exactly on time).
constexpr double kEarlyMs = 0.5;
// How far before its claimed length a movie may end and still be whole.
constexpr double kCutSeconds = 0.5;
// Half a frame's time when the movie does not tell its frame rate.
constexpr double kHalfFrameSeconds = 0.05;

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

void VideoWidget::ShowMessage(const QString& text) {
    if (text == m_message) {
        return;  // each frame says "no message" again
    }
    m_message = text;
    // It names the lesson's file: a tooltip would read it as markup.
    setToolTip(text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal));
    update();
}

void VideoWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QSize own = m_source.isValid() ? m_source.size() : m_frame.size();
    QRegion black(rect());
    if (!own.isEmpty()) {
        const QSize size = own.scaled(this->size(), Qt::KeepAspectRatio);
        if (m_source.isValid() && m_frame.size() != size.boundedTo(own)) {
            m_frame = FrameImage(m_source, size);
        }
        const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2),
                           size);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_frame);
        // An opaque frame covers its place: only the bars beside it are
        // painted black.
        if (!m_frame.isNull() && !m_frame.hasAlphaChannel()) {
            black -= target;
        }
    }
    for (const QRect& bar : black) {
        painter.fillRect(bar, Qt::black);
    }
    if (!m_message.isEmpty()) {
        const QRect box = rect().adjusted(8, 8, -8, -8);
        painter.fillRect(rect(), QColor(0, 0, 0, 190));
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, m_message);
    }
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
                             if (!self->m_failed) {
                                 widget->ShowMessage(QString());  // it plays again
                             }
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
    QObject::connect(video->m_player.get(), &QMediaPlayer::errorOccurred, view,
                     [weak](QMediaPlayer::Error, const QString& text) {
                         if (const auto self = weak.lock()) {
                             self->Failed(text);
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
    m_failed = false;
    m_pendingMs.reset();
    const std::optional<double> seconds = formats::ProbeMovieSeconds(path);
    m_source = seconds ? QUrl::fromLocalFile(PathToQString(path)) : QUrl();
    if (seconds) {
        m_lengthSeconds = *seconds;
        m_player->setSource(m_source);
    }
    if (VideoWidget* view = View()) {
        // The component tells only the host; the learner sees why too.
        std::error_code error;
        const QString file = PathToQString(std::filesystem::path(path).filename().string());
        view->ShowMessage(seconds ? QString()
                          : std::filesystem::exists(path, error)
                              ? QStringLiteral("The lesson's video %1 cannot be played: it is "
                                               "damaged or not a video.")
                                    .arg(file)
                              : QStringLiteral("The lesson's video %1 is missing.").arg(file));
    }
    return seconds;
}

void Video::CloseMedia() {
    m_player->stop();
    m_player->setSource(QUrl());
}

void Video::PlayMedia(double seconds) {
    Retry();
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
    Retry();
    m_mediaEnded = false;
    SeekPlayer(std::min(seconds, LastFrameSeconds()));
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

double Video::LastFrameSeconds() const {
    // GStreamer shows no frame at the very end: the last frame shows from
    // half a frame's time before it.
    const double rate = m_player->metaData().value(QMediaMetaData::VideoFrameRate).toDouble();
    return std::max(0.0, m_lengthSeconds - (rate > 0 ? 0.5 / rate : kHalfFrameSeconds));
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
        case QMediaPlayer::InvalidMedia:
            Failed(m_player->errorString().isEmpty() ? QStringLiteral("the file cannot be decoded")
                                                     : m_player->errorString());
            break;
        case QMediaPlayer::EndOfMedia:
            if (State() == PlayState::Playing && m_lengthSeconds - MediaSeconds() > kCutSeconds) {
                // The media ends well before the length its file claims.
                Failed(QStringLiteral("the file ends at %1 s, before the %2 s it claims: it is "
                                      "cut short")
                           .arg(MediaSeconds(), 0, 'f', 1)
                           .arg(m_lengthSeconds, 0, 'f', 1));
            } else if (State() == PlayState::Playing) {
                m_mediaEnded = true;
                Check();
            }
            break;
        default:
            break;
    }
}

void Video::Failed(const QString& why) {
    if (m_failed) {
        return;  // told once: the status and the error come for one failure
    }
    m_failed = true;
    const QString text = QStringLiteral("The video cannot be played: %1").arg(why);
    if (VideoWidget* view = View()) {
        view->ShowMessage(text);
    }
    if (onFailure) {
        onFailure(ToStdString(text));
    }
    MediaFailed();
}

void Video::Retry() {
    // A player that failed stays failed: asked to play or show a place, it
    // is given the file again (where to go is kept until it has loaded).
    if (!std::exchange(m_failed, false) || m_source.isEmpty()) {
        return;
    }
    m_loaded = false;
    m_loading = false;
    m_player->setSource(QUrl());
    m_player->setSource(m_source);
}

}  // namespace scenova::qt
