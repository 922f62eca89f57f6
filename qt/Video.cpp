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
#include "formats/SignalTimes.h"
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
    m_frame = frame.toImage();
    update();
}

void VideoWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_frame.isNull()) {
        return;
    }
    const QSize size = m_frame.size().scaled(this->size(), Qt::KeepAspectRatio);
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
            self->ScheduleNext();
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

void Video::TimeFormat(float format) {
    const double before = UnitsPerSecond();
    const double current = CurrentPosition();
    m_timeFormat = format;
    const double ratio = UnitsPerSecond() / before;
    if (ratio == 1.0) {
        return;
    }
    m_position = current * ratio;
    if (m_state == PlayState::Playing) {
        // Carry on in the new unit; what was passed is not raised again.
        m_end *= ratio;
        m_next = FirstSignalAfter(MediaPosition(), false);
        ScheduleNext();
    }
}

bool Video::OpenMovie(const std::string& path, double position) {
    m_timer->stop();
    m_state = PlayState::Stopped;
    m_open = false;
    m_durationSeconds = 0.0;
    m_position = 0.0;
    m_mediaEnded = false;
    m_loaded = false;
    m_loading = false;
    m_pendingMs.reset();
    if (m_destroyed) {
        return false;
    }
    const std::optional<double> seconds = formats::ProbeMovieSeconds(path);
    if (!seconds) {
        m_player->setSource(QUrl());
        return false;
    }
    m_open = true;
    m_durationSeconds = *seconds;
    m_position = Clamped(position);
    m_player->setSource(QUrl::fromLocalFile(PathToQString(path)));
    SeekPlayer(m_position);
    m_player->pause();  // shows the frame there
    return true;
}

void Video::SetSignalTimes(std::string& times) {
    std::vector<double> parsed = formats::ReadSignalTimes(times);
    std::vector<Signal> byTime;
    byTime.reserve(parsed.size());
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        if (std::isfinite(parsed[i])) {
            byTime.push_back({parsed[i], static_cast<int16_t>(i + 1)});
        }
    }
    std::stable_sort(byTime.begin(), byTime.end(),
                     [](const Signal& a, const Signal& b) { return a.time < b.time; });
    m_signalTimes = std::move(parsed);
    m_byTime = std::move(byTime);
    if (m_state == PlayState::Playing) {
        m_next = FirstSignalAfter(MediaPosition(), false);
        ScheduleNext();
    }
}

void Video::EnableSignals(bool enable) {
    m_signalsEnabled = enable;
}

bool Video::PlayRange(double startTime, double endTime, bool /*lineFlag*/) {
    if (!m_open || m_destroyed || !std::isfinite(startTime) || !std::isfinite(endTime) ||
        startTime < 0.0 || startTime > endTime) {
        return false;
    }
    const double end = std::min(endTime, Duration());
    if (startTime > end) {
        return false;
    }
    m_end = end;
    PlayFrom(startTime);
    return true;
}

void Video::Seek(double position) {
    if (std::isnan(position)) {
        Raise(err::InvalidCall);
    }
    const double target = Clamped(position);
    if (m_state == PlayState::Playing) {
        PlayFrom(target);
        return;
    }
    m_position = target;
    if (m_open && !m_destroyed) {
        SeekPlayer(target);
    }
    PostSignalsAt(target);
}

void Video::Stop() {
    Halt(PlayState::Stopped);
}

void Video::Pause() {
    if (m_state == PlayState::Playing) {
        Halt(PlayState::Paused);
    }
}

double Video::CurrentPosition() {
    if (m_state != PlayState::Playing) {
        return m_position;
    }
    return std::clamp(MediaPosition(), 0.0, m_end);
}

void Video::SetRate(double rate) {
    m_rate = std::clamp(rate, 0.5, 1.5);
    m_player->setPlaybackRate(m_rate);
    if (m_state == PlayState::Playing) {
        ScheduleNext();
    }
}

void Video::Destroy() {
    m_destroyed = true;
    m_timer->stop();
    m_state = PlayState::Stopped;
    m_open = false;
    m_player->stop();
    m_player->setSource(QUrl());
}

double Video::Clamped(double position) const {
    if (std::isnan(position)) {
        return 0.0;
    }
    return std::clamp(position, 0.0, m_open ? m_durationSeconds * UnitsPerSecond() : 0.0);
}

double Video::MediaPosition() const {
    if (m_mediaEnded) {
        return m_durationSeconds * UnitsPerSecond();
    }
    const qint64 ms = m_pendingMs ? *m_pendingMs : m_player->position();
    return static_cast<double>(ms) / 1000.0 * UnitsPerSecond();
}

void Video::SeekPlayer(double position) {
    const qint64 ms = Milliseconds(position / UnitsPerSecond());
    if (m_loaded) {
        m_player->setPosition(ms);
    } else {
        m_pendingMs = ms;
    }
}

void Video::Halt(PlayState state) {
    if (m_state == PlayState::Playing) {
        m_position = CurrentPosition();
        m_timer->stop();
        m_player->pause();
    }
    m_state = state;
}

std::size_t Video::FirstSignalAfter(double position, bool inclusive) const {
    const auto it = inclusive
                        ? std::lower_bound(m_byTime.begin(), m_byTime.end(), position,
                                           [](const Signal& s, double p) { return s.time < p; })
                        : std::upper_bound(m_byTime.begin(), m_byTime.end(), position,
                                           [](double p, const Signal& s) { return p < s.time; });
    return static_cast<std::size_t>(it - m_byTime.begin());
}

void Video::PlayFrom(double position) {
    m_timer->stop();
    m_position = position;
    m_mediaEnded = false;
    PostSignalsAt(position);
    // Times equal to the start were just posted; the timed ones come after.
    m_next = FirstSignalAfter(position, false);
    SeekPlayer(position);
    if (position >= m_end) {
        m_state = PlayState::Stopped;
        m_player->pause();
        PostNotify();
        return;
    }
    m_state = PlayState::Playing;
    m_player->setPlaybackRate(m_rate);
    m_player->play();
    ScheduleNext();
}

void Video::ScheduleNext() {
    if (m_state != PlayState::Playing || m_destroyed) {
        return;
    }
    const bool signalNext = m_next < m_byTime.size() && m_byTime[m_next].time <= m_end;
    const double target = signalNext ? m_byTime[m_next].time : m_end;
    const double now = MediaPosition();
    const double aheadMs = (target - now) / UnitsPerSecond() * 1000.0;
    if (aheadMs > kEarlyMs) {
        // Woken at the moment the player should get there; if it is late
        // (it was still starting or buffering), this runs again.
        const double wallMs = aheadMs / m_rate;
        m_timer->start(static_cast<int>(std::clamp(std::floor(wallMs), 1.0, 1e9)));
        return;
    }
    if (!signalNext) {
        m_position = m_end;
        m_state = PlayState::Stopped;
        m_player->pause();
        RaiseNotify();
        return;
    }
    const int16_t number = m_byTime[m_next].number;
    ++m_next;
    // The rest of the schedule is looked at after the handler, unless the
    // handler replaces it (stop, seek, another range).
    m_timer->start(0);
    if (m_signalsEnabled) {
        RaiseSignal(number);
    }
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
                    self->ScheduleNext();
                });
            }
            break;
        case QMediaPlayer::EndOfMedia:
            if (m_state == PlayState::Playing) {
                m_mediaEnded = true;
                ScheduleNext();
            }
            break;
        default:
            break;
    }
}

void Video::PostSignalsAt(double position) {
    if (!m_open || !m_signalsEnabled || m_destroyed) {
        return;
    }
    const auto [first, last] =
        std::equal_range(m_byTime.begin(), m_byTime.end(), Signal{position, 0},
                         [](const Signal& a, const Signal& b) { return a.time < b.time; });
    for (auto it = first; it != last; ++it) {
        QTimer::singleShot(0, m_player.get(), [weak = weak_from_this(), number = it->number] {
            const auto self = weak.lock();
            if (self && !self->m_destroyed && self->m_signalsEnabled) {
                self->RaiseSignal(number);
            }
        });
    }
}

void Video::PostNotify() {
    QTimer::singleShot(0, m_player.get(), [weak = weak_from_this()] {
        const auto self = weak.lock();
        if (self && !self->m_destroyed) {
            self->RaiseNotify();
        }
    });
}

void Video::RaiseSignal(int16_t number) {
    const auto handler = m_events.SignalEvent;  // the handler may Advise anew
    m_ctx.Raise(m_name, "SignalEvent", handler, number);
}

void Video::RaiseNotify() {
    const auto handler = m_events.Notify;
    m_ctx.Raise(m_name, "Notify", handler);
}

}  // namespace scenova::qt
