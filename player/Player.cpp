#include "player/Player.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

#include "lesson/Executor.h"
#include "module/Module1.h"
#include "player/Captions.h"
#include "player/HostWindow.h"
#include "player/KeyMap.h"
#include "player/PlayerManager.h"
#include "player/Viewing.h"
#include "qt/Strings.h"
#include "runtime/RuntimeError.h"
#include "tool/CScenova.h"

namespace scenova::player {

// Carries out actions one after the other, letting the event loop run
// between them (and for as long as an advance asks).
class Player::ActionRunner {
public:
    ActionRunner(Player& player, std::vector<lesson::Action> actions, std::function<void()> done)
        : m_player(player), m_actions(std::move(actions)), m_done(std::move(done)) {}

    void Next() {
        if (m_index >= m_actions.size()) {
            if (m_done) {
                std::exchange(m_done, nullptr)();
            }
            return;
        }
        const lesson::Action& action = m_actions[m_index++];
        int wait = 0;
        if (action.kind == lesson::Action::Kind::Advance) {
            wait = static_cast<int>(std::lround(action.seconds * 1000.0));
        } else {
            m_player.Do(action);
        }
        QTimer::singleShot(wait, &m_context, [this] { Next(); });
    }

private:
    Player& m_player;
    std::vector<lesson::Action> m_actions;
    std::function<void()> m_done;
    std::size_t m_index = 0;
    QObject m_context;  // pending steps go with the runner
};

// The records of the lesson's controls: the player looks at their events.
class Player::Records final : public model::RecordSink {
public:
    explicit Records(Player& player) : m_player(player) {}
    void Take(const model::Record& record) override {
        if (record.kind == model::Record::Kind::Event) {
            m_player.Event(record);
        }
    }

private:
    Player& m_player;
};

// The executor's host for scripted actions, and the viewer's (quiet: a key
// that reaches nothing does nothing, as a click on a disabled button).
class Player::Actions final : public viewer::ViewerHost {
public:
    Actions(Player& player, bool quiet) : m_player(player), m_quiet(quiet) {}

    model::Reach User() override { return m_player.Lesson().User(); }
    void Advance(double) override {}
    void Show() override {
        m_player.HostCall("IToolTalk_Show", [](CScenova& tool) { tool.IToolTalk_Show(); });
    }
    void Hide() override {
        m_player.HostCall("IToolTalk_Hide", [](CScenova& tool) { tool.IToolTalk_Hide(); });
    }
    void Startup() override {
        m_player.HostCall("IToolTalk_Startup", [](CScenova& tool) { tool.IToolTalk_Startup(); });
    }
    void Shutdown() override {
        m_player.m_shutDown = m_player.HostCall("IToolTalk_Shutdown", [](CScenova& tool) {
            tool.IToolTalk_Shutdown();
        }) || m_player.m_shutDown;
    }
    void ReleaseInside(const std::string&) override {
        m_player.Problem("release-inside is an action of the headless host only");
    }
    void Move(float left, std::optional<Variant> top, std::optional<Variant> width,
              std::optional<Variant> height) override {
        m_player.HostCall("IToolTalk_Move",
                          [&](CScenova& tool) { tool.IToolTalk_Move(left, top, width, height); });
    }
    void Key(const lesson::Action& action) override {
        const viewer::Command command =
            viewer::CommandOf(viewer::KeyNamed(action.name), viewer::Where::Desktop);
        if (command == viewer::Command::None) {
            Refused(action, Refusal::NoKey,
                    "no key \"" + action.name + "\" in the viewer's key list");
        } else {
            m_player.Run(command);
        }
    }
    void Refused(const lesson::Action& action, Refusal, const std::string& why) override {
        if (!m_quiet) {
            m_player.Problem("line " + std::to_string(action.line) + ": " + why);
        }
    }

    model::Video* Video() override { return m_player.Lesson().movOrvMovie.get(); }
    void ShowRate(double rate) override {
        m_player.m_window->ShowSpeed(rate);
        if (m_player.Lesson().movOrvMovie) {
            m_player.Lesson().movOrvMovie->SetRate(rate);
        }
    }
    void ShowCaption(const std::string& text, const std::string& translation) override {
        m_player.m_captions->Show(text, translation);
        m_player.m_window->ShowTranslation(qt::ToQString(translation));
    }
    void ShowModes() override { m_player.ShowModes(); }
    bool Own(viewer::Command command) override { return m_player.Own(command); }
    void ShowFound(int32_t start, int32_t end) override {
        if (m_player.Lesson().rtfText) {
            m_player.Lesson().rtfText->ShowFound(start, end);
        }
    }

private:
    Player& m_player;
    bool m_quiet;
};

Player::Player(Options options)
    : m_options(options),
      m_platform(std::make_unique<qt::QtPlatform>()),
      m_window(std::make_unique<HostWindow>(options.rememberLessons)) {
    m_hostWindow = m_platform->AddHostWindow(m_window.get(), m_window->Area());
    m_screen = std::make_unique<Actions>(*this, true);
    m_viewer = std::make_unique<viewer::Viewer>(*m_screen);
    SetUpView();
    m_platform->QtToolkit().onLoad = [this](const qt::QtWindow& window) { Loaded(window); };
    qt::Context& ctx = m_platform->Ctx();
    m_records = std::make_unique<Records>(*this);
    ctx.sink = m_records.get();
    ctx.onEventError = [this](const qt::EventError& failure) {
        Problem("the handler of " + failure.event + " ended with " + failure.error.what());
    };
    m_platform->QtGdi().onPictureRefused = [this](const std::string& path,
                                                  const RuntimeError& error) {
        Problem("the picture " + path + " is not shown: " + error.what());
    };
    m_window->onOpen = [this](const std::filesystem::path& folder) {
        // The learner chose the folder: why it does not open is theirs to
        // read, not only the host panel's.
        if (!Open(folder)) {
            // It may quote the lesson: shown as it is, never read as markup.
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Scenova Player"),
                            qt::ToQString(m_lastProblem), QMessageBox::Ok, m_window.get());
            box.setTextFormat(Qt::PlainText);
            box.exec();
        }
    };
    m_window->onSpeed = [this](double rate) { SetSpeed(rate); };
}

Player::~Player() {
    m_runner.reset();
    Close();
    m_platform->Ctx().sink = nullptr;
}

lesson::Lesson Player::ReadLesson(const std::filesystem::path& folder) {
    lesson::Lesson lesson = lesson::LoadLesson(folder);
    // The tool would open an empty grey window on any folder: one with
    // neither of a lesson's files is not taken for a lesson.
    std::error_code error;
    if (!std::filesystem::exists(lesson.folder / "settings.ini", error) &&
        !std::filesystem::exists(lesson.folder / "script.txt", error)) {
        throw lesson::LessonError(lesson.folder.string() +
                                  " is not a lesson folder: it holds neither settings.ini "
                                  "nor script.txt");
    }
    return lesson;
}

bool Player::Open(const std::filesystem::path& given) {
    // Read before the lesson shown is closed: a wrong folder leaves it there.
    lesson::Lesson lesson;
    std::unique_ptr<archive::LessonPlace> place;
    try {
        place = std::make_unique<archive::LessonPlace>(given);
        lesson = ReadLesson(place->Folder());
    } catch (const lesson::LessonError& error) {
        Problem(error.what());
        return false;
    }
    m_starting = true;
    const bool started = Start(std::move(lesson), given, std::move(place));
    m_starting = false;
    for (const viewer::Command command : std::exchange(m_waitingKeys, {})) {
        Run(command);
    }
    return started;
}

bool Player::Start(lesson::Lesson lesson, const std::filesystem::path& given,
                   std::unique_ptr<archive::LessonPlace> place) {
    Close();
    m_lesson = std::move(lesson);
    // The lesson open before is unpacked no more.
    m_given =
        place->Packed() ? std::filesystem::absolute(given).lexically_normal() : m_lesson.folder;
    m_place = std::move(place);
    m_platform->QtGdi().ForgetPictures();
    m_window->Remember(m_given);
    m_window->setWindowTitle(QStringLiteral("Scenova Player — %1")
                                 .arg(qt::PathToQString(m_lesson.folder.filename().string())));
    // The component's process-wide values belong to one lesson at a time.
    Module1::Get().Reset();
    m_manager = std::make_shared<PlayerManager>();
    m_manager->Serve(m_lesson);
    m_manager->log = [this](const std::string& line) { m_window->Log(qt::ToQString(line)); };
    m_manager->resource = [this](const std::string& id, int32_t action, const std::string& value) {
        m_window->Resource(id, action, value, m_lesson.folder);
    };
    m_tool = std::make_unique<CScenova>(*m_platform);
    bool started = false;
    HostCall("IToolTalk_Init", [&](CScenova& tool) {
        std::string id = "scenova-player";
        started = tool.IToolTalk_Init(m_manager, id, m_hostWindow);
    });
    if (!started) {
        Problem("IToolTalk_Init returned False: the tool could not start");
        m_status = 1;
        Close();
        return false;
    }
    if (Lesson().rtfText) {
        // The lesson's settings, read by now, name its culture-tip marker.
        Lesson().rtfText->CultureTipMarker(Module1::Get().g_strCultureTipChar);
    }
    HostCall("IToolTalk_Show", [](CScenova& tool) { tool.IToolTalk_Show(); });
    if (QMdiSubWindow* sub = Lesson().form ? Lesson().form->SubWindow() : nullptr) {
        m_window->Area()->setActiveSubWindow(sub);
    }
    m_viewing->Fit();
    // A faulty translation is told and left out: the lesson plays.
    for (const std::string& failure : m_viewer->SetTranslation(m_lesson.translation)) {
        Problem(failure);
    }
    // The learner's speed, captions and pause come back at once; where they
    // were is offered.
    if (const int32_t block = m_viewer->Recall(m_window->Kept(m_given))) {
        m_window->OfferToGoOn(qt::ToQString(viewer::Viewer::OfferText(block)),
                              [this, block] { m_viewer->GoOn(block); });
    }
    // The keyboard starts on the main bar (Play); its frame shows once it is used.
    if (Lesson().frmRose && Lesson().frmRose->Widget()->isVisible()) {
        Lesson().frmRose->Widget()->setFocus(Qt::OtherFocusReason);
    }
    return true;
}

void Player::Close() {
    if (!m_tool) {
        return;
    }
    m_window->OfferToGoOn(QString(), nullptr);
    if (Lesson().sldVideoSlider) {
        m_window->Keep(m_given, m_viewer->Remembered());
    }
    if (!std::exchange(m_shutDown, false)) {
        HostCall("IToolTalk_Shutdown", [](CScenova& tool) { tool.IToolTalk_Shutdown(); });
    }
    m_tool.reset();
    m_manager.reset();
    m_window->ClearResources();
}

void Player::RunActions(std::vector<lesson::Action> actions, std::function<void()> done) {
    m_runner = std::make_unique<ActionRunner>(*this, std::move(actions), std::move(done));
    m_runner->Next();
}

template <class Call>
bool Player::HostCall(const char* member, Call&& call) {
    try {
        if (!m_tool) {
            Raise(err::NoObject);
        }
        call(*m_tool);
        return true;
    } catch (const RuntimeError& error) {
        Problem(std::string(member) + " failed: " + error.what());
        m_status = 1;
        return false;
    }
}

void Player::Problem(const std::string& text) {
    m_lastProblem = text;
    m_window->Log(QStringLiteral("Player: %1").arg(qt::ToQString(text)));
    if (onProblem) {
        onProblem(text);
    }
}

void Player::Loaded(const qt::QtWindow& window) {
    window.form->Widget()->installEventFilter(m_keys.get());
    window.movOrvMovie->SetRate(m_viewer->Rate());
    window.movOrvMovie->onFailure = [this](const std::string& text) { Problem(text); };
    window.movOrvMovie->onFrame = [this] {
        if (!m_firstFrame) {
            m_firstFrame = std::chrono::steady_clock::now();
        }
    };
}

void Player::Event(const model::Record& record) {
    const auto* signal = std::get_if<int16_t>(&record.Arg(0));
    if (record.kind != model::Record::Kind::Event || record.object != objects::movOrvMovie ||
        record.member != model::Member::SignalEvent || signal == nullptr || !Lesson().movOrvMovie) {
        return;
    }
    qt::Video& video = *Lesson().movOrvMovie;
    const int number = *signal;
    const auto& times = video.SignalTimes();
    if (video.State() != qt::Video::PlayState::Playing || number < 1 ||
        static_cast<std::size_t>(number) > times.size()) {
        return;
    }
    const double time = times[static_cast<std::size_t>(number - 1)];
    // The signal at the end of the video is not a cue's.
    if (time < video.Duration()) {
        m_signalDelaysMs.push_back((video.CurrentPosition() - time) / video.UnitsPerSecond() *
                                   1000.0);
    }
}

// The player as the executor's host: advances are the runner's waits.
void Player::Do(const lesson::Action& action) {
    Actions host(*this, false);
    lesson::Carry(action, host);
}

}  // namespace scenova::player
