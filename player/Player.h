#pragma once

#include <QAction>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/PackedLesson.h"
#include "lesson/Actions.h"
#include "lesson/LessonFolder.h"
#include "model/Record.h"
#include "qt/QtPlatform.h"
#include "viewer/Viewer.h"

namespace scenova {
class CScenova;
}

namespace scenova::player {

class Captions;
class FindBar;
class HostWindow;
class KeyMap;
class PlayerManager;
class Viewing;

// The desktop player: the host window with one lesson tool in it on the Qt
// platform. It creates the tool for a lesson folder, initialises and shows
// it, passes on what the user asks through the menus and keys, and carries
// out scripted actions in real time.
class Player {
public:
    struct Options {
        // Keep opened lessons in the recent list (off for tests).
        bool rememberLessons = true;
    };

    explicit Player(Options options);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Shuts down the lesson open before and opens this one, a folder or a
    // packed lesson (unpacked while it is open). False when it is no lesson
    // or cannot be read (the lesson open before stays),
    // or (Status then 1) the tool could not start; the host's panel says why.
    // Keys pressed while the lesson starts are carried out once it has.
    bool Open(const std::filesystem::path& lesson);
    // Reads a lesson folder, with no display needed; raises LessonError when
    // it cannot be read or is no lesson.
    static lesson::Lesson ReadLesson(const std::filesystem::path& folder);
    // IToolTalk_Shutdown, then the tool is released.
    void Close();

    HostWindow& Window() { return *m_window; }
    qt::QtPlatform& Platform() { return *m_platform; }
    // The lesson's window with its controls.
    const qt::QtWindow& Lesson() const { return m_platform->Window(); }
    bool HasTool() const { return m_tool != nullptr; }

    void SetSpeed(double rate) { m_viewer->SetRate(rate); }
    double Speed() const { return m_viewer->Rate(); }

    // Does what a key of the player asks; false when it does nothing now.
    bool Run(viewer::Command command);
    Viewing& View() { return *m_viewing; }
    viewer::Viewer& Viewer() { return *m_viewer; }
    FindBar& Find() { return *m_find; }
    // The window listing the keys (made when first shown).
    QWidget* KeysWindow() const { return m_keysWindow; }

    // Carries out the actions in order, in real time (advance waits), then
    // calls done. A line that cannot be carried out is reported on err.
    void RunActions(std::vector<lesson::Action> actions, std::function<void()> done);

    // 1 once a host call has failed, else 0.
    int Status() const { return m_status; }
    // When the first video frame was shown.
    std::optional<std::chrono::steady_clock::time_point> FirstFrameAt() const {
        return m_firstFrame;
    }
    // For every signal raised while the video played: how far past its time
    // the video was when the signal reached the window, in milliseconds.
    const std::vector<double>& SignalDelaysMs() const { return m_signalDelaysMs; }
    // Called with every problem the player itself meets (for the command).
    std::function<void(const std::string&)> onProblem;

private:
    class ActionRunner;
    class Actions;
    class Records;

    // A host call: a run-time error fails it, as the COM boundary does.
    template <class Call>
    bool HostCall(const char* member, Call&& call);
    bool Start(lesson::Lesson lesson, const std::filesystem::path& given,
               std::unique_ptr<archive::LessonPlace> place);
    void Do(const lesson::Action& action);
    void Problem(const std::string& text);
    void Loaded(const qt::QtWindow& window);
    // The keys, the view menu, captions and find (in PlayerView.cpp).
    void SetUpView();
    void ShowKeys();
    // The commands of the player's own (find, full screen, zoom, the keys).
    bool Own(viewer::Command command);
    void ShowModes();
    void Event(const model::Record& record);

    Options m_options;
    std::unique_ptr<qt::QtPlatform> m_platform;
    std::unique_ptr<HostWindow> m_window;
    std::unique_ptr<KeyMap> m_keys;
    std::unique_ptr<Viewing> m_viewing;
    std::unique_ptr<Captions> m_captions;
    std::unique_ptr<Actions> m_screen;  // the viewer's host
    std::unique_ptr<viewer::Viewer> m_viewer;
    QTimer* m_tick = nullptr;   // the viewer's, the host window's child
    FindBar* m_find = nullptr;  // the host window's
    QPointer<QWidget> m_keysWindow;
    QPointer<QAction> m_captionsItem;
    QPointer<QAction> m_translationItem;
    QPointer<QAction> m_pauseItem;
    QPointer<QAction> m_loopItem;
    int32_t m_hostWindow = 0;
    lesson::Lesson m_lesson;
    // The lesson as the learner named it (the packed file, or the folder),
    // by which it is remembered; where a packed one is unpacked.
    std::filesystem::path m_given;
    std::unique_ptr<archive::LessonPlace> m_place;
    std::shared_ptr<PlayerManager> m_manager;
    std::unique_ptr<CScenova> m_tool;
    std::unique_ptr<ActionRunner> m_runner;
    std::unique_ptr<Records> m_records;
    int m_status = 0;
    bool m_shutDown = false;  // by an action: Close does not shut down twice
    // While a lesson starts, the tool yields to the event loop: the keys
    // pressed then wait for the lesson.
    bool m_starting = false;
    std::vector<viewer::Command> m_waitingKeys;
    std::optional<std::chrono::steady_clock::time_point> m_firstFrame;
    std::vector<double> m_signalDelaysMs;
    std::string m_lastProblem;
};

}  // namespace scenova::player
