// The page's entry points: the host (the manager serving the lesson folder
// the page wrote into the file system at /lesson) and the user's input,
// each handed to the model's controls as the user reaching them.

#include <emscripten/emscripten.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "lesson/LessonFolder.h"
#include "lesson/LessonManager.h"
#include "module/Module1.h"
#include "runtime/RuntimeError.h"
#include "tool/CScenova.h"
#include "viewer/Viewer.h"
#include "web/WebPlatform.h"

namespace scenova::web {

namespace {

// What the tool tells the host goes to the page's panel; a resource is shown
// only when it is an HTML file inside the lesson folder.
class WebManager final : public lesson::LessonManager {
public:
    explicit WebManager(std::filesystem::path folder) : m_folder(std::move(folder)) {}

    void ToolShutdown(CScenova&) override { view::HostLog("The lesson closed"); }
    void ReportError(CScenova&, int32_t code, const std::string& text) override {
        view::HostLog("Report " + std::to_string(code) + (text.empty() ? "" : ": " + text));
    }
    void ResourceAction(std::string& buttonId, int32_t& action, std::string* value) override {
        const std::string text = value ? *value : std::string();
        view::HostResource(buttonId, action, LessonPage(text), text);
    }
    void NavigationRequest(CScenova&, const std::string& name) override {
        view::HostLog("Navigation: " + name);
    }
    void ToolbarRequest(CScenova&, const std::string& name) override {
        view::HostLog("Toolbar: " + name);
    }

private:
    std::string LessonPage(const std::string& value) const {
        namespace fs = std::filesystem;
        if (value.empty()) {
            return "";
        }
        const fs::path file = (m_folder / fs::path(value)).lexically_normal();
        const fs::path inside = file.lexically_relative(m_folder);
        std::string extension = file.extension().string();
        for (char& c : extension) {
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
        std::error_code error;
        if (inside.empty() || *inside.begin() == ".." || inside.is_absolute() ||
            (extension != ".htm" && extension != ".html") ||
            !fs::is_regular_file(fs::symlink_status(file, error))) {
            return "";
        }
        return file.relative_path().generic_string();
    }

    std::filesystem::path m_folder;
};

const WebWindow& Lesson();

// The viewer's host: keys and the page's buttons reach the lesson as a
// person would, and a key that reaches nothing does nothing.
class PageViewer final : public viewer::ViewerHost {
public:
    model::Reach User() override { return Lesson().User(); }
    void Refused(const lesson::Action&, Refusal, const std::string&) override {}

    model::Video* Video() override { return Lesson().movOrvMovie.get(); }
    void ShowRate(double rate) override { view::Rate(rate); }
    void ShowCaption(const std::string& text, const std::string& translation) override {
        view::Caption(text, translation);
    }
    void ShowModes() override;
    void ShowFound(int32_t start, int32_t end) override { view::Found(start, end); }
    bool Own(viewer::Command command) override {
        switch (command) {
            case viewer::Command::FullScreen:
                return view::Own("fullscreen");
            case viewer::Command::Leave:
                return view::Own("leave");
            case viewer::Command::Keys:
                return view::Own("keys");
            case viewer::Command::Find:
                return view::Own("find");
            default:
                return false;
        }
    }
};

struct Session {
    WebPlatform platform;
    std::shared_ptr<WebManager> manager;
    std::unique_ptr<CScenova> tool;
    PageViewer host;
    viewer::Viewer viewer{host};
};

Session& Current() {
    static Session session;
    return session;
}

void PageViewer::ShowModes() {
    const viewer::Viewer& v = Current().viewer;
    view::Modes(v.Captions(), v.PausesAfterLines(), v.Loops(),
                v.HasTranslation() ? (v.TranslationShown() ? 1 : 0) : -1);
}

template <class Call>
bool HostCall(const char* member, Call&& call) {
    Session& s = Current();
    try {
        if (!s.tool) {
            Raise(err::NoObject);
        }
        call(*s.tool);
        return true;
    } catch (const RuntimeError& error) {
        view::HostLog(std::string(member) + " failed: " + error.what());
        return false;
    }
}

const WebWindow& Lesson() {
    return Current().platform.Window();
}

ButtonBar* Bar(const std::string& name) {
    const WebWindow& w = Lesson();
    if (name == objects::frmRose) {
        return w.frmRose.get();
    }
    if (name == objects::frmRoseNavigation) {
        return w.frmRoseNavigation.get();
    }
    if (name == objects::frmRoseToolbar) {
        return w.frmRoseToolbar.get();
    }
    return nullptr;
}

}  // namespace

}  // namespace scenova::web

using namespace scenova;
using namespace scenova::web;

extern "C" {

// The length a video element told for a movie of the lesson that shows a picture.
EMSCRIPTEN_KEEPALIVE void scenova_movie(const char* path, double seconds) {
    if (std::isfinite(seconds) && seconds > 0) {
        Current().platform.Ctx().movieSeconds[path] = seconds;
    }
}

// Creates the tool for the lesson at /lesson, initialises and shows it.
EMSCRIPTEN_KEEPALIVE int scenova_start() {
    Session& s = Current();
    lesson::Lesson lesson;
    try {
        lesson = lesson::LoadLesson("/lesson");
    } catch (const lesson::LessonError& error) {
        view::HostLog(error.what());
        return 0;
    }
    s.platform.Ctx().onEventError = [](const model::EventError& failure) {
        view::HostLog("The handler of " + failure.event + " ended with " + failure.error.what());
    };
    Module1::Get().Reset();
    s.manager = std::make_shared<WebManager>(lesson.folder);
    s.manager->Serve(lesson);
    s.tool = std::make_unique<CScenova>(s.platform);
    bool started = false;
    HostCall("IToolTalk_Init", [&](CScenova& tool) {
        std::string id = "scenova-web";
        started = tool.IToolTalk_Init(s.manager, id, s.platform.HostMainWindow());
    });
    if (!started) {
        view::HostLog("The lesson could not start");
        return 0;
    }
    if (Lesson().rtfText) {
        // The lesson's settings, read by now, name its culture-tip marker.
        Lesson().rtfText->CultureTipMarker(Module1::Get().g_strCultureTipChar);
    }
    // A faulty translation is told and left out: the lesson plays.
    for (const std::string& failure : s.viewer.SetTranslation(lesson.translation)) {
        view::HostLog(failure);
    }
    return HostCall("IToolTalk_Show", [](CScenova& tool) { tool.IToolTalk_Show(); }) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void scenova_run_posted() {
    Current().platform.Ctx().RunPosted();
}

EMSCRIPTEN_KEEPALIVE void scenova_video_due(int token) {
    if (const auto& video = Lesson().movOrvMovie) {
        video->Woken(token);
    }
}

// The page's video element failed on its movie: playing stops, as it ends.
EMSCRIPTEN_KEEPALIVE void scenova_video_failed() {
    if (const auto& video = Lesson().movOrvMovie) {
        video->Failed();
    }
}

EMSCRIPTEN_KEEPALIVE void scenova_timer(int token) {
    if (const auto& timer = Lesson().ExitTimer) {
        timer->Fired(token);
    }
}

// The pointer entered or left a button, or pressed it.
EMSCRIPTEN_KEEPALIVE void scenova_bar(const char* bar, const char* event, const char* button) {
    if (ButtonBar* on = Bar(bar)) {
        on->PageInput(event, button);
    }
}

// A key of the page (named as the key list names it: "Space", "Left", "R"),
// or a button of the page standing for one. 1 when it did something.
EMSCRIPTEN_KEEPALIVE int scenova_key(const char* key, int shift, int ctrl) {
    const viewer::Command command = viewer::CommandOf(
        {.name = key, .shift = shift != 0, .ctrl = ctrl != 0}, viewer::Where::Page);
    return command != viewer::Command::None && Current().viewer.Run(command) ? 1 : 0;
}

// The video moved on: the caption follows, the learner's modes act.
EMSCRIPTEN_KEEPALIVE void scenova_viewer_tick() {
    Current().viewer.Tick();
}

// What the page keeps of the learner, and what it kept taken back: the
// block to offer to go on from (0: none).
EMSCRIPTEN_KEEPALIVE const char* scenova_remembered() {
    static std::string line;
    line = Current().viewer.Remembered();
    return line.c_str();
}

EMSCRIPTEN_KEEPALIVE int scenova_recall(const char* line) {
    return Current().viewer.Recall(line);
}

EMSCRIPTEN_KEEPALIVE const char* scenova_offer_text(int block) {
    static std::string text;
    text = viewer::Viewer::OfferText(block);
    return text.c_str();
}

EMSCRIPTEN_KEEPALIVE int scenova_go_on(int block) {
    return Current().viewer.GoOn(block) ? 1 : 0;
}

// Find in the transcript as the learner types (step 0), to the next match
// (1) or the one before (2); gives what the find says ("2 of 5").
EMSCRIPTEN_KEEPALIVE const char* scenova_find(const char* text, int step) {
    static std::string status;
    viewer::Viewer& v = Current().viewer;
    v.Find(text, step == 1   ? viewer::FindStep::Next
                 : step == 2 ? viewer::FindStep::Previous
                             : viewer::FindStep::Typed);
    status = v.FindStatus();
    return status.c_str();
}

EMSCRIPTEN_KEEPALIVE int scenova_play_found() {
    return Current().viewer.PlayFound() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void scenova_end_find() {
    Current().viewer.EndFind();
}

// What the slider's value says to a screen reader.
EMSCRIPTEN_KEEPALIVE const char* scenova_block_name(int value) {
    static std::string name;
    name = Current().viewer.BlockName(value);
    return name.c_str();
}

// Each line of the transcript named for a screen reader, once the lesson's
// settings have named its culture-tip marker.
EMSCRIPTEN_KEEPALIVE void scenova_text_names() {
    if (RichText* text = Lesson().rtfText.get()) {
        text->NameLines();
    }
}

// The key list the page shows.
EMSCRIPTEN_KEEPALIVE const char* scenova_key_list() {
    static std::string list;
    list = viewer::KeyList(viewer::Where::Page);
    return list.c_str();
}

// Where the keyboard goes from a button of a bar that can no longer be
// pressed ("" for nowhere).
EMSCRIPTEN_KEEPALIVE const char* scenova_bar_keyboard(const char* bar, const char* button) {
    static std::string to;
    const ButtonBar* on = Bar(bar);
    to = on ? on->KeyboardFrom(button) : std::string();
    return to.c_str();
}

// The thumb went down, was dragged, came up; or the track was clicked.
EMSCRIPTEN_KEEPALIVE void scenova_slider(const char* event, int value) {
    if (Slider* slider = Lesson().sldVideoSlider.get()) {
        slider->PageInput(event, value);
    }
}

// The pointer over a character of the transcript (-1: off it), a click
// there, or a key while it has the focus.
EMSCRIPTEN_KEEPALIVE void scenova_text(const char* event, int position) {
    if (RichText* text = Lesson().rtfText.get()) {
        text->PageInput(event, position);
    }
}

EMSCRIPTEN_KEEPALIVE void scenova_text_highlights() {
    if (RichText* text = Lesson().rtfText.get()) {
        text->ShowHighlights();
    }
}

// The page goes.
EMSCRIPTEN_KEEPALIVE void scenova_shutdown() {
    Session& s = Current();
    if (s.tool) {
        HostCall("IToolTalk_Shutdown", [](CScenova& tool) { tool.IToolTalk_Shutdown(); });
        s.tool.reset();
    }
}

}  // extern "C"
