#include "cli/Player.h"

#include <algorithm>

#include "archive/PackedLesson.h"
#include "cli/Timeline.h"
#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "lesson/Executor.h"
#include "lesson/LessonFolder.h"
#include "module/Module1.h"
#include "runtime/Utf8.h"
#include "viewer/Viewer.h"

namespace scenova::cli {

namespace {

using headless::HeadlessPlatform;
using headless::HostResult;
using lesson::Action;
using lesson::Lesson;
using lesson::LessonError;
using lesson::LoadLesson;

// The lesson tool, its host and the person at it.
class Session final : public lesson::ActionHost {
public:
    Session(const Lesson& lesson, const PlayOptions& options, std::ostream& out, std::ostream& err)
        : m_options(options), m_err(err), m_timeline(m_platform, out) {
        if (options.trace) {
            m_platform.GetTrace().SetEcho(
                [&out](const std::string& line) { out << utf8::Printable(line) << '\n'; });
        } else {
            m_platform.GetTrace().Subscribe(
                [this](const model::Record& record) { m_timeline.Take(record); });
        }
        m_manager = std::make_shared<headless::RecordingManager>(m_platform.Ctx());
        m_manager->Serve(lesson);
        m_host = std::make_unique<headless::ToolHost>(m_platform, m_manager);
        // The translation is the learner's, beside the lesson: a faulty one
        // is told and left out, the lesson plays.
        for (const std::string& error : m_viewer.SetTranslation(lesson.translation)) {
            m_err << "scenova: " << utf8::Printable(error) << '\n';
        }
    }

    int Run() {
        m_host->Create();
        const HostResult init = m_host->Init("scenova");
        Settle();
        if (Check("IToolTalk_Init", init) && init.value == Variant(false)) {
            m_err << "scenova: IToolTalk_Init returned False: the tool could not start\n";
            m_status = 1;
        }
        if (m_status == 0) {
            Check("IToolTalk_Show", m_host->Show());
            Settle();
            if (m_options.actions) {
                for (const Action& action : *m_options.actions) {
                    lesson::Carry(action, *this);
                    Settle();
                }
            } else if (m_status == 0) {
                PlayToTheEnd();
            }
            if (m_options.until) {
                const auto target = headless::Seconds(*m_options.until);
                m_platform.Loop().AdvanceTo(std::max(target, m_platform.Loop().Now()));
            }
        }
        // A host shuts its tool down and releases it once; an action may
        // have done so already.
        if (m_host->Exists() && !m_shutDown) {
            Check("IToolTalk_Shutdown", m_host->Shutdown());
            Settle();
        }
        m_host->Release();
        ReportEventErrors();
        m_timeline.Flush();
        return m_status;
    }

private:
    // As a message loop would after every action and host call.
    void Settle() { m_platform.ProcessPending(); }

    bool Check(const char* call, const HostResult& result) {
        if (!result.Failed()) {
            return true;
        }
        m_err << "scenova: " << call << " failed: " << result.error->what() << '\n';
        m_status = 1;
        return false;
    }

    void PlayToTheEnd() {
        auto& window = m_platform.Window();
        if (window.frmRose && window.frmRose->HasButton("btnVideoPlay")) {
            window.frmRose->UserPress("btnVideoPlay");
        } else if (window.frmRose) {
            m_timeline.Note("frmRose has no button \"btnVideoPlay\"");
        }
        Settle();
        const double length = window.movOrvMovie ? window.movOrvMovie->Duration() : 0;
        if (!m_options.until) {
            m_platform.RunFor(std::max(length, 0.0) + 1.0);
            m_timeline.Note("the lesson ran to its end");
        }
    }

    // lesson::ActionHost
    model::Reach User() override { return m_platform.Window().User(); }
    void Advance(double seconds) override {
        if (!m_keysUsed) {
            m_platform.RunFor(seconds);
            return;
        }
        // Time passes for the viewer as in a player, which ticks it.
        const auto ticks = static_cast<int64_t>(seconds / kViewerTick);
        for (int64_t tick = 0; tick < ticks; ++tick) {
            m_platform.RunFor(kViewerTick);
            m_viewer.Tick();
        }
        m_platform.RunFor(seconds - static_cast<double>(ticks) * kViewerTick);
    }
    void Key(const Action& action) override {
        const viewer::Command command =
            viewer::CommandOf(viewer::KeyNamed(action.name), viewer::Where::Desktop);
        if (command == viewer::Command::None) {
            Refused(action, Refusal::NoKey,
                    "no key \"" + action.name + "\" in the viewer's key list");
            return;
        }
        m_keysUsed = true;
        if (!m_viewer.Run(command)) {
            m_timeline.Note("the key " + action.name + " does nothing now");
        }
    }
    void Show() override { Check("IToolTalk_Show", m_host->Show()); }
    void Hide() override { Check("IToolTalk_Hide", m_host->Hide()); }
    void Startup() override { Check("IToolTalk_Startup", m_host->Startup()); }
    void Shutdown() override {
        m_shutDown = Check("IToolTalk_Shutdown", m_host->Shutdown()) || m_shutDown;
    }
    void ReleaseInside(const std::string& where) override {
        m_host->ReleaseInside(where, *m_manager, [this](const HostResult& result) {
            m_shutDown = Check("IToolTalk_Shutdown", result);
        });
    }
    void Move(float left, std::optional<Variant> top, std::optional<Variant> width,
              std::optional<Variant> height) override {
        Check("IToolTalk_Move", m_host->Move(left, top, width, height));
    }
    // No learner can reach a button the bar does not show: the timeline
    // says so instead of the press.
    void Refused(const Action& action, Refusal refusal, const std::string& why) override {
        if (refusal == Refusal::NoButton) {
            m_timeline.Note(why);
        } else {
            m_err << "scenova: line " << action.line << ": " << why << "\n";
        }
    }

    void ReportEventErrors() {
        for (const auto& failure : m_platform.Ctx().eventErrors) {
            m_err << "scenova: the handler of " << failure.event << " ended with "
                  << failure.error.what() << '\n';
        }
    }

    // The viewer a player puts above the lesson, for the keys of the
    // actions: it acts through this session, as the learner would.
    class Viewing final : public viewer::ViewerHost {
    public:
        explicit Viewing(Session& session) : m_session(session) {}
        model::Reach User() override { return m_session.User(); }
        void Refused(const Action& action, Refusal refusal, const std::string& why) override {
            m_session.Refused(action, refusal, why);
        }
        model::Video* Video() override { return m_session.m_platform.Window().movOrvMovie.get(); }
        void ShowRate(double) override {}
        void ShowCaption(const std::string&, const std::string&) override {}
        void ShowModes() override {}
        bool Own(viewer::Command) override { return false; }
        void ShowFound(int32_t, int32_t) override {}

    private:
        Session& m_session;
    };
    static constexpr double kViewerTick = 0.04;

    const PlayOptions& m_options;
    std::ostream& m_err;
    HeadlessPlatform m_platform;
    Timeline m_timeline;
    std::shared_ptr<headless::RecordingManager> m_manager;
    std::unique_ptr<headless::ToolHost> m_host;
    int m_status = 0;
    bool m_shutDown = false;  // by an action
    Viewing m_viewing{*this};
    viewer::Viewer m_viewer{m_viewing};
    bool m_keysUsed = false;
};

}  // namespace

int Play(const PlayOptions& options, std::ostream& out, std::ostream& err) {
    Lesson lesson;
    std::unique_ptr<archive::LessonPlace> place;
    try {
        place = std::make_unique<archive::LessonPlace>(options.lesson);
        lesson = LoadLesson(place->Folder());
    } catch (const LessonError& error) {
        err << "scenova: " << utf8::Printable(error.what()) << '\n';
        return 2;
    }
    // The component's process-wide values belong to this one lesson.
    Module1::Get().Reset();
    Session session(lesson, options, out, err);
    return session.Run();
}

}  // namespace scenova::cli
