#pragma once

#include <QImage>
#include <QUrl>
#include <QVideoFrame>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Video.h"
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
    // The last frame as painted, at the size shown.
    const QImage& Frame() const { return m_frame; }
    // A message for the learner over the picture (none when empty): what
    // keeps the video from playing.
    void ShowMessage(const QString& text);
    const QString& Message() const { return m_message; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QVideoFrame m_source;
    QImage m_frame;
    QString m_message;
};

// The video player on Qt Multimedia: a QMediaPlayer with sound, its frames
// through a QVideoSink onto a VideoWidget; the model keeps the range and the
// signal schedule. The length is read from the file when it opens (the
// player tells its own only later). A range pauses at its end; each signal
// comes when the player's position reaches its time, a precise timer waking
// for it. Stop and Pause both hold the picture where it is; a place shown at
// or past the end shows the last frame. The host may
// change the speed; signals keep to the media's times.
class Video final : public ContainedControl<model::Video>,
                    public std::enable_shared_from_this<Video> {
public:
    static std::shared_ptr<Video> Create(Context& ctx, std::string name, Twips twips,
                                         QWidget* parent);
    Video(Context& ctx, std::string name, Twips twips);
    ~Video() override;

    // The host's speed, 0.5 to 1.5 times.
    void SetRate(double rate);
    double Rate() const { return m_rate; }
    // Told of every frame shown (for the host's start-up figure).
    std::function<void()> onFrame;
    // Told of every failure of the media, in words for the learner (shown
    // over the picture too).
    std::function<void(const std::string&)> onFailure;
    VideoWidget* View() const;

private:
    std::optional<double> OpenMedia(const std::string& path) override;
    void CloseMedia() override;
    void PlayMedia(double seconds) override;
    void PauseMedia() override;
    void ShowMedia(double seconds) override;
    void Rebase() override { m_startSeconds = MediaSeconds(); }
    double Elapsed() const override { return MediaSeconds() - m_startSeconds; }
    bool Passed(double seconds) const override { return seconds <= Elapsed(); }
    void WakeAfter(double seconds) override;
    void CancelWake() override;
    void Post(std::function<void()> event) override;

    // Where the player is, in seconds.
    double MediaSeconds() const;
    // Where the last frame shows, in seconds.
    double LastFrameSeconds() const;
    void SeekPlayer(double seconds);
    // Calls Due() when the wake's time has come, else sets the timer for it.
    void Check();
    void MediaStatus(int status);
    // Playback failed: the learner is told, the model stops, and the file
    // is loaded afresh so that Play tries again.
    void Failed(const QString& why);
    void Retry();

    std::unique_ptr<QMediaPlayer> m_player;
    std::unique_ptr<QAudioOutput> m_audio;
    std::unique_ptr<QVideoSink> m_sink;
    std::unique_ptr<QTimer> m_timer;

    double m_rate = 1.0;
    double m_lengthSeconds = 0.0;
    // The media position the clock counts from, and the wake asked for.
    double m_startSeconds = 0.0;
    std::optional<double> m_wake;
    // The player reached the end of the media while playing.
    bool m_mediaEnded = false;
    // Until the player has loaded the file it forgets where it is sent; the
    // place is kept (in milliseconds) and given to it once loaded.
    bool m_loaded = false;
    bool m_loading = false;
    std::optional<qint64> m_pendingMs;
    QUrl m_source;
    // The player failed and has not been given the file again.
    bool m_failed = false;
};

}  // namespace scenova::qt
