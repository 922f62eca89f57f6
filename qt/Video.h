#pragma once

#include <QImage>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/Video.h"
#include "model/Contained.h"
#include "qt/ContainedControl.h"

class QAudioOutput;
class QMediaPlayer;
class QTimer;
class QVideoFrame;
class QVideoSink;

namespace scenova::qt {

// Shows the frames of the video: the last one, scaled to fit and centred on
// black. A plain widget, so that the window's picture holds the frame.
class VideoWidget final : public QWidget {
public:
    explicit VideoWidget(QWidget* parent);
    void Show(const QVideoFrame& frame);
    const QImage& Frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage m_frame;
};

// The video player on Qt Multimedia: a QMediaPlayer with sound, its frames
// through a QVideoSink onto a VideoWidget.
//
// Positions are in the unit chosen by TimeFormat (1 milliseconds, anything
// else seconds). The length is read from the file when it opens (the player
// tells its own only later). PlayRange plays from its start and pauses at
// its end, raising Notify; while playing, SignalEvent k is raised when the
// player's position reaches the k-th signal time, a precise timer waking at
// each. Events caused by a call (signals at the start of a range or where a
// seek lands, the end of an empty range) are posted and come when pending
// events are processed; signals are checked against EnableSignals when
// posted and again when delivered. Stop and Pause both hold the picture
// where it is. The host may change the speed; signals keep to the media's
// times. A destroyed player raises nothing.
class Video final : public ContainedControl<model::Contained<controls::IVideo>>,
                    public std::enable_shared_from_this<Video> {
public:
    enum class PlayState { Stopped, Playing, Paused };

    static std::shared_ptr<Video> Create(Context& ctx, std::string name, Twips twips,
                                         QWidget* parent);
    Video(Context& ctx, std::string name, Twips twips);
    ~Video() override;
    Video(const Video&) = delete;
    Video& operator=(const Video&) = delete;

    void Advise(controls::VideoEvents events) override { m_events = std::move(events); }
    void TimeFormat(float format) override;
    // True when the file holds a movie whose length can be told (as every
    // platform probes it); the movie then stands at position, clamped.
    bool OpenMovie(const std::string& path, double position) override;
    void SetSignalTimes(std::string& times) override;
    void EnableSignals(bool enable) override;
    void SetPlayMode(int16_t mode) override { m_playMode = mode; }
    // False, changing nothing, without a movie, for a bound that is not a
    // finite number, for startTime < 0, startTime > endTime or startTime
    // beyond Duration.
    bool PlayRange(double startTime, double endTime, bool lineFlag) override;
    // Clamped into 0..Duration; NaN raises 5. While playing, playback goes
    // on from there to the same end.
    void Seek(double position) override;
    void Stop() override;
    void Pause() override;
    double CurrentPosition() override;
    double Duration() override { return m_open ? m_durationSeconds * UnitsPerSecond() : 0.0; }

    // The host's speed, 0.5 to 1.5 times.
    void SetRate(double rate);
    double Rate() const { return m_rate; }
    PlayState State() const { return m_state; }
    // Positions a second: 1000 with TimeFormat 1, else 1.
    double UnitsPerSecond() const { return m_timeFormat == 1.0f ? 1000.0 : 1.0; }
    bool IsOpen() const { return m_open; }
    const std::vector<double>& SignalTimes() const { return m_signalTimes; }
    // Told of every frame shown (for the host's start-up figure).
    std::function<void()> onFrame;
    VideoWidget* View() const;

    void Destroy();

private:
    struct Signal {
        double time;
        int16_t number;
    };

    double Clamped(double position) const;
    // Where the player is, in the control's unit.
    double MediaPosition() const;
    void SeekPlayer(double position);
    void Halt(PlayState state);
    void PlayFrom(double position);
    std::size_t FirstSignalAfter(double position, bool inclusive) const;
    void ScheduleNext();
    void PostSignalsAt(double position);
    void PostNotify();
    void RaiseSignal(int16_t number);
    void RaiseNotify();
    void MediaStatus(int status);

    controls::VideoEvents m_events;
    std::unique_ptr<QMediaPlayer> m_player;
    std::unique_ptr<QAudioOutput> m_audio;
    std::unique_ptr<QVideoSink> m_sink;
    std::unique_ptr<QTimer> m_timer;

    float m_timeFormat = 0.0f;
    bool m_open = false;
    double m_durationSeconds = 0.0;
    std::vector<double> m_signalTimes;
    std::vector<Signal> m_byTime;  // finite times by time, equal ones in list order
    bool m_signalsEnabled = false;
    int16_t m_playMode = 0;
    PlayState m_state = PlayState::Stopped;
    double m_rate = 1.0;
    // Stopped or paused: where the movie stands.
    double m_position = 0.0;
    double m_end = 0.0;
    // The player reached the end of the media while playing.
    bool m_mediaEnded = false;
    // Until the player has loaded the file it forgets where it is sent; the
    // place is kept (in milliseconds) and given to it once loaded.
    bool m_loaded = false;
    bool m_loading = false;
    std::optional<qint64> m_pendingMs;
    std::size_t m_next = 0;
};

}  // namespace scenova::qt
