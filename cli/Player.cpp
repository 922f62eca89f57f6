#include "cli/Player.h"

#include <algorithm>

#include "cli/Timeline.h"
#include "headless/HeadlessPlatform.h"
#include "headless/RecordingManager.h"
#include "headless/ToolHost.h"
#include "lesson/LessonFolder.h"
#include "module/Module1.h"
#include "runtime/Utf8.h"

namespace scenova::cli {

namespace {

using headless::HeadlessPlatform;
using headless::HostResult;
using lesson::Action;
using lesson::Lesson;
using lesson::LessonError;
using lesson::LoadLesson;

// The lesson tool, its host and the person at it.
class Session {
public:
    Session(const Lesson& lesson, const PlayOptions& options, std::ostream& out, std::ostream& err)
        : m_options(options), m_err(err), m_timeline(m_platform, out) {
        if (options.trace) {
            m_platform.GetTrace().SetEcho(
                [&out](const std::string& line) { out << utf8::Printable(line) << '\n'; });
        } else {
            m_platform.GetTrace().SetEcho(
                [this](const std::string& line) { m_timeline.Take(line); });
        }
        m_manager = std::make_shared<headless::RecordingManager>(m_platform.Ctx());
        m_manager->Serve(lesson);
        m_host = std::make_unique<headless::ToolHost>(m_platform, m_manager);
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
                    Do(action);
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
        Check("IToolTalk_Shutdown", m_host->Shutdown());
        Settle();
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
        if (HasButton(*window.frmRose, "btnVideoPlay")) {
            window.frmRose->UserPress("btnVideoPlay");
        }
        Settle();
        const double length = window.movOrvMovie ? window.movOrvMovie->Duration() : 0;
        if (!m_options.until) {
            m_platform.RunFor(std::max(length, 0.0) + 1.0);
            m_timeline.Note("the lesson ran to its end");
        }
    }

    void Do(const Action& action) {
        using K = Action::Kind;
        const headless::HeadlessWindow& window = m_platform.Window();
        auto bar = [&]() -> headless::ButtonBar& {
            return action.bar == "frmRoseNavigation" ? *window.frmRoseNavigation
                   : action.bar == "frmRoseToolbar"  ? *window.frmRoseToolbar
                                                     : *window.frmRose;
        };
        if (!window.form && action.kind != K::Advance && action.kind != K::Show &&
            action.kind != K::Startup) {
            m_err << "scenova: line " << action.line << ": there is no window to act on\n";
            return;
        }
        switch (action.kind) {
            case K::Advance:
                m_platform.RunFor(action.seconds);
                break;
            case K::Press:
                if (HasButton(bar(), action.name)) {
                    bar().UserPress(action.name);
                }
                break;
            case K::Enter:
                if (HasButton(bar(), action.name)) {
                    bar().UserEnter(action.name);
                }
                break;
            case K::Leave:
                if (HasButton(bar(), action.name)) {
                    bar().UserLeave(action.name);
                }
                break;
            case K::ThumbDown:
                window.sldVideoSlider->UserThumbDown();
                break;
            case K::Scroll:
                window.sldVideoSlider->UserScrollTo(window.sldVideoSlider->Value());
                break;
            case K::ThumbUp:
                window.sldVideoSlider->UserThumbUp();
                break;
            case K::Slide:
                window.sldVideoSlider->UserClickTo(action.value);
                break;
            case K::Drag:
                window.sldVideoSlider->UserThumbDown();
                window.sldVideoSlider->UserScrollTo(action.value);
                window.sldVideoSlider->UserThumbUp();
                break;
            case K::LinkClick:
            case K::LinkEnter:
            case K::LinkLeave:
                Link(action);
                break;
            case K::Show:
                Check("IToolTalk_Show", m_host->Show());
                break;
            case K::Hide:
                Check("IToolTalk_Hide", m_host->Hide());
                break;
            case K::Startup:
                Check("IToolTalk_Startup", m_host->Startup());
                break;
            case K::Shutdown:
                Check("IToolTalk_Shutdown", m_host->Shutdown());
                break;
            case K::LostFocus:
                window.form->UserDeactivate();
                break;
            case K::Move:
                if (action.top) {
                    Check("IToolTalk_Move",
                          m_host->Move(action.left, Variant(*action.top), Variant(*action.width),
                                       Variant(*action.height)));
                } else {
                    Check("IToolTalk_Move", m_host->Move(action.left));
                }
                break;
        }
    }

    // No learner can reach a button the bar does not show; the timeline
    // says so instead of the press.
    bool HasButton(const headless::ButtonBar& bar, const std::string& name) {
        if (bar.HasButton(name)) {
            return true;
        }
        m_timeline.Note(bar.Name() + " has no button \"" + name + "\"");
        return false;
    }

    void Link(const Action& action) {
        headless::RichText& text = *m_platform.Window().rtfText;
        const auto& links = text.Links();
        for (std::size_t i = 0; i < links.size(); ++i) {
            if (links[i].userID != action.value) {
                continue;
            }
            const auto index = static_cast<int32_t>(i);
            if (action.kind == Action::Kind::LinkClick) {
                text.UserClickLink(index, 1);
            } else if (action.kind == Action::Kind::LinkEnter) {
                text.UserEnterLink(index);
            } else {
                text.UserLeaveLink(index);
            }
            return;
        }
        m_err << "scenova: line " << action.line << ": no transcript line has cue " << action.value
              << "\n";
    }

    void ReportEventErrors() {
        for (const auto& failure : m_platform.Ctx().eventErrors) {
            m_err << "scenova: the handler of " << failure.event << " ended with "
                  << failure.error.what() << '\n';
        }
    }

    const PlayOptions& m_options;
    std::ostream& m_err;
    HeadlessPlatform m_platform;
    Timeline m_timeline;
    std::shared_ptr<headless::RecordingManager> m_manager;
    std::unique_ptr<headless::ToolHost> m_host;
    int m_status = 0;
};

}  // namespace

int Play(const PlayOptions& options, std::ostream& out, std::ostream& err) {
    Lesson lesson;
    try {
        lesson = LoadLesson(options.lesson);
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
