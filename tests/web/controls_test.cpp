// The control contract suites on the browser platform's controls, driven as
// a user drives them: DOM events on the elements web/view.js made for them,
// in the page tests/web/controls.html (scripts/test-web runs it in headless
// Chromium). The page's listeners call the entry points below, as they call
// the lesson page's (web/Exports.cpp). The suites run as one call the page
// can suspend (controls.html): a test that lets time pass waits while the
// page's loop runs, as its timers and video keep the page's real time.

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/controls/button_bar_contract.h"
#include "tests/controls/keyboard_contract.h"
#include "tests/controls/rich_text_contract.h"
#include "tests/controls/slider_contract.h"
#include "tests/controls/timer_contract.h"
#include "tests/controls/video_contract.h"
#include "web/Controls.h"

// The user's hand (tests/web/user.js) and the end of the run.
// clang-format off
EM_JS(void, js_pointer, (const char* s, const char* type), { user.pointer(UTF8ToString(s), UTF8ToString(type)); });
EM_JS(void, js_click, (const char* s), { user.click(UTF8ToString(s)); });
EM_JS(void, js_keyboard, (const char* s, const char* k), { user.keyboard(UTF8ToString(s), UTF8ToString(k)); });
EM_JS(void, js_input, (const char* s, int value), { user.input(UTF8ToString(s), value); });
EM_JS(void, js_at_character, (int position, const char* type), { user.atCharacter(position, UTF8ToString(type)); });
EM_JS(int, js_marked, (int position), { return user.marked(position); });
// Suspending: the suite waits for the promise while the page's loop runs.
EM_JS(void, js_wait, (int ms), { return new Promise((resolve) => setTimeout(resolve, ms)); });
EM_JS(double, js_measure, (const char* path), { return user.measure(UTF8ToString(path)); });
// clang-format on

namespace scenova::test {
namespace {

// The controls the page's listeners reach now: the last test's.
web::ButtonBar* g_bar = nullptr;
web::Slider* g_slider = nullptr;
web::RichText* g_text = nullptr;
web::Context* g_ctx = nullptr;
web::Timer* g_timer = nullptr;
web::Video* g_video = nullptr;

struct WebButtonBarFactory {
    web::Context ctx;
    std::shared_ptr<web::ButtonBar> bar = std::make_shared<web::ButtonBar>(ctx, "frmRose", false);

    WebButtonBarFactory() {
        g_bar = bar.get();
        bar->Width(6000);
        bar->Height(1000);
    }
    ~WebButtonBarFactory() { g_bar = nullptr; }
    controls::IButtonBar& Bar() { return *bar; }
    // Pictures the bar has no folder for: blanks of 24 pixels, apart.
    std::string Descriptor(int n) { return "2,button.bmp," + std::to_string(10 + 40 * n) + ",5"; }
    static std::string Button(const std::string& name) {
        return "#frmRose button[data-name=\"" + name + "\"]";
    }
    void Enter(const std::string& name) { js_pointer(Button(name).c_str(), "pointerenter"); }
    void Leave(const std::string& name) { js_pointer(Button(name).c_str(), "pointerleave"); }
    void Press(const std::string& name) { js_click(Button(name).c_str()); }
    void ActEnter(const std::string& name) { bar->UserEnter(name); }
    void ActPress(const std::string& name) { bar->UserPress(name); }
};

struct WebSliderFactory {
    web::Context ctx;
    std::shared_ptr<web::Slider> slider = std::make_shared<web::Slider>(ctx, "sldVideoSlider");

    WebSliderFactory() {
        g_slider = slider.get();
        slider->Width(3000);
        slider->Height(300);
        slider->Max(slider->Max());  // the element takes the range
    }
    ~WebSliderFactory() { g_slider = nullptr; }
    controls::ISlider& Slider() { return *slider; }
    void ThumbDown() { js_pointer("#sldVideoSlider input", "pointerdown"); }
    void DragTo(int32_t value) { js_input("#sldVideoSlider input", value); }
    void ThumbUp() { js_pointer("#sldVideoSlider input", "pointerup"); }
    void ClickTo(int32_t value) { js_input("#sldVideoSlider input", value); }
};

struct WebRichTextFactory {
    web::Context ctx;
    std::shared_ptr<web::RichText> text = std::make_shared<web::RichText>(ctx, "rtfText", 0);

    WebRichTextFactory() {
        g_text = text.get();
        text->Width(4000);
        text->Height(3000);
    }
    ~WebRichTextFactory() { g_text = nullptr; }
    controls::IRichText& Text() { return *text; }
    void Load(const std::vector<std::string>& lines) { text->RTFContent(Rtf(lines)); }
    // As the page shows it once the calls before have returned.
    bool IsHighlighted(int32_t position) {
        text->ShowHighlights();
        return js_marked(position) != 0;
    }
    int32_t Middle(int32_t n) {
        const auto& link = text->Links().at(static_cast<std::size_t>(n));
        return (link.start + link.end) / 2;
    }
    void EnterLink(int32_t n) { js_at_character(Middle(n), "pointermove"); }
    void LeaveLink(int32_t) { js_pointer("#rtfText", "pointerleave"); }
    void ClickLink(int32_t n, int16_t) { js_at_character(Middle(n), "click"); }
    void ActEnterLink(int32_t n) { text->UserEnterLink(n); }
    void Focus() { js_keyboard("#rtfText", "focus"); }
    void Blur() { js_keyboard("#rtfText", "blur"); }
    void Press(model::RichText::Key key) {
        js_keyboard("#rtfText", key == model::RichText::Key::Up     ? "ArrowUp"
                                : key == model::RichText::Key::Down ? "ArrowDown"
                                                                    : "Enter");
    }
};

struct WebTimerFactory {
    static constexpr int64_t kSlackMs = 120;
    web::Context ctx;
    web::Timer timer{ctx, "ExitTimer"};
    double start = emscripten_get_now();

    WebTimerFactory() { g_timer = &timer; }
    ~WebTimerFactory() { g_timer = nullptr; }
    ITimer& Timer() { return timer; }
    void Advance(int64_t ms) { js_wait(static_cast<int>(ms)); }
    int64_t NowMs() { return static_cast<int64_t>(emscripten_get_now() - start); }
};

// Beside the page; 6.0 seconds long.
const std::string kMovie = "/six_seconds.webm";

struct WebVideoFactory {
    static constexpr double kPositionSlack = 0.05;
    web::Context ctx;
    std::shared_ptr<web::Video> video = std::make_shared<web::Video>(ctx, "movOrvMovie");

    WebVideoFactory() {
        static const double seconds = js_measure(kMovie.c_str());
        ctx.movieSeconds[kMovie] = seconds;
        g_ctx = &ctx;
        g_video = video.get();
    }
    ~WebVideoFactory() {
        g_ctx = nullptr;
        g_video = nullptr;
    }
    controls::IVideo& Video() { return *video; }
    std::string MoviePath() { return kMovie; }
    std::string MissingPath() { return "/missing.webm"; }
    // While it plays, the media's clock (the element takes a moment to
    // start); else the wall clock.
    void Advance(int64_t ms) {
        const double start = emscripten_get_now();
        double passed = 0;
        double media = video->CurrentPosition();
        double last = start;
        while (passed < static_cast<double>(ms) && last - start < static_cast<double>(ms) + 5000) {
            js_wait(2);
            const double now = emscripten_get_now();
            const double position = video->CurrentPosition();
            passed += video->State() == web::Video::PlayState::Playing
                          ? std::max(0.0, position - media) * 1000.0
                          : now - last;
            media = position;
            last = now;
        }
    }
    // The page's loop comes round once.
    void Deliver() { js_wait(0); }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Web, ButtonBarContract, WebButtonBarFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Web, SliderContract, WebSliderFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Web, RichTextContract, WebRichTextFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Web, KeyboardContract, WebRichTextFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Web, TimerContract, WebTimerFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Web, VideoContract, WebVideoFactory);

}  // namespace scenova::test

using scenova::test::g_bar;
using scenova::test::g_ctx;
using scenova::test::g_slider;
using scenova::test::g_text;
using scenova::test::g_timer;
using scenova::test::g_video;

// The entry points of the page's listeners (web/Exports.cpp on the lesson page).
extern "C" {

EMSCRIPTEN_KEEPALIVE void scenova_bar(const char*, const char* event, const char* button) {
    if (g_bar) {
        g_bar->PageInput(event, button);
    }
}

EMSCRIPTEN_KEEPALIVE void scenova_slider(const char* event, int value) {
    if (g_slider) {
        g_slider->PageInput(event, value);
    }
}

EMSCRIPTEN_KEEPALIVE void scenova_text(const char* event, int position) {
    if (g_text) {
        g_text->PageInput(event, position);
    }
}

EMSCRIPTEN_KEEPALIVE void scenova_text_highlights() {
    if (g_text) {
        g_text->ShowHighlights();
    }
}

EMSCRIPTEN_KEEPALIVE int scenova_key(const char*) {
    return 0;
}

EMSCRIPTEN_KEEPALIVE void scenova_run_posted() {
    if (g_ctx) {
        g_ctx->RunPosted();
    }
}

EMSCRIPTEN_KEEPALIVE void scenova_timer(int token) {
    if (g_timer) {
        g_timer->Fired(token);
    }
}

EMSCRIPTEN_KEEPALIVE void scenova_video_due(int token) {
    if (g_video) {
        g_video->Woken(token);
    }
}

// The suites; GTEST_FILTER (the page's ?filter=) chooses among them.
EMSCRIPTEN_KEEPALIVE int scenova_run_tests() {
    int argc = 1;
    char name[] = "scenova_web_controls_tests";
    char* argv[] = {name, nullptr};
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // extern "C"
