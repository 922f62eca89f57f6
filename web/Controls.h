#pragma once

#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/ButtonBar.h"
#include "model/Context.h"
#include "model/Desktop.h"
#include "model/Form.h"
#include "model/RichText.h"
#include "model/Slider.h"
#include "model/Timer.h"
#include "model/Video.h"
#include "web/View.h"

namespace scenova::web {

// Twips per CSS pixel, across and down.
inline constexpr float kTwipsPerPixel = 15.0f;

// A token for a page timer's callback, never given before: a timer of a
// window gone may still fire on the page, and must not pass for one of a
// window loaded later.
inline int32_t NextToken() {
    static int32_t last = 0;
    return ++last;
}

// What the browser's controls share: the model's context, the messages
// posted to run when the page's loop comes round, and the movies' lengths
// as the page's video elements told them before the lesson started.
struct Context : model::Context {
    std::deque<std::function<void()>> posted;
    // By lesson path: seconds, for movies the browser shows a picture of.
    std::map<std::string, double> movieSeconds;
    // The gdi32 pictures whose pixels the page holds, by their source
    // numbers: the backdrop behind the form and its bars crosses once.
    std::vector<std::pair<std::weak_ptr<IPicture>, int32_t>> pagePictures;
    int32_t lastPagePicture = 0;

    void Post(std::function<void()> message) {
        if (posted.empty()) {
            view::PostSoon();
        }
        posted.push_back(std::move(message));
    }
    // Runs the messages pending now; those they post wait for the next round.
    void RunPosted() {
        for (std::size_t n = posted.size(); n > 0 && !posted.empty(); --n) {
            auto message = std::move(posted.front());
            posted.pop_front();
            message();
        }
        if (!posted.empty()) {
            view::PostSoon();
        }
    }
};

// A control of the model shown as an element of the page: its place in CSS
// pixels (the main bar's size is in pixels already, as the window's backdrop).
template <class Model>
class Shown : public Model {
public:
    void Show() {
        const double width = m_sizeInPixels ? this->m_width : this->m_width / kTwipsPerPixel;
        const double height = m_sizeInPixels ? this->m_height : this->m_height / kTwipsPerPixel;
        view::Box(this->m_name, Finite(this->m_left / kTwipsPerPixel),
                  Finite(this->m_top / kTwipsPerPixel), Finite(width), Finite(height),
                  this->m_visible, this->m_enabled);
    }

protected:
    template <class... Args>
    Shown(Context& ctx, bool sizeInPixels, Args&&... args)
        : Model(ctx, std::forward<Args>(args)...), m_web(ctx), m_sizeInPixels(sizeInPixels) {}

    void Placed() override {
        Model::Placed();
        Show();
    }
    void Showing() override { Show(); }

    static double Finite(double value) { return std::isfinite(value) ? value : 0.0; }

    Context& m_web;
    bool m_sizeInPixels;
};

class Form final : public model::Form {
public:
    Form(Context& ctx, model::Desktop& desktop, FormEvents events);

private:
    void Placed() override;
    void Showing() override { Placed(); }
    void Redraw() override;
    void Unloaded() override { m_desktop.Destroy(m_hWnd); }

    Context& m_web;
    model::Desktop& m_desktop;
    // The picture drawn last, not kept alive by being drawn.
    std::weak_ptr<IPicture> m_pictureShown;
    bool m_pictureDrawn = false;
};

class ButtonBar final : public Shown<model::ButtonBar> {
public:
    ButtonBar(Context& ctx, std::string name, bool sizeInPixels)
        : Shown(ctx, sizeInPixels, std::move(name)) {}
    // The page's pointer on a button: "enter", "leave" or "press".
    void PageInput(const std::string& event, const std::string& button);

private:
    void Redraw() override;
    void ButtonAdded(const Button& button) override;
    void Raised(int16_t position) override { view::ZOrder(m_name, position); }

    // The size of each button's bitmap, as read when it was added.
    std::map<std::string, std::pair<int32_t, int32_t>> m_sizes;
    std::string m_pictureShown;
    std::weak_ptr<IPicture> m_backgroundShown;
    bool m_backgroundDrawn = false;
};

class Video final : public Shown<model::Video> {
public:
    Video(Context& ctx, std::string name) : Shown(ctx, false, std::move(name)) {}
    // The page's timer for the wake with this token fired with the media
    // clock at or past its time.
    void Woken(int32_t token) {
        if (token == m_token) {
            Due();
        }
    }
    // The page told the learner why its video element cannot play the movie.
    void Failed() { MediaFailed(); }

private:
    std::optional<double> OpenMedia(const std::string& path) override;
    void CloseMedia() override { view::VideoSource(""); }
    void PlayMedia(double seconds) override;
    void PauseMedia() override { view::VideoPause(NAN); }
    void ShowMedia(double seconds) override { view::VideoPause(seconds); }
    void Rebase() override { m_anchor = view::VideoTime(); }
    double Elapsed() const override { return view::VideoTime() - m_anchor; }
    bool Passed(double seconds) const override { return Elapsed() >= seconds; }
    void WakeAfter(double seconds) override {
        view::VideoWake(m_anchor + seconds, m_token = NextToken());
    }
    void CancelWake() override { m_token = 0; }
    void Post(std::function<void()> event) override { m_web.Post(std::move(event)); }

    double m_anchor = 0.0;  // the media time the clock counts from
    int32_t m_token = 0;
};

class Slider final : public Shown<model::Slider> {
public:
    Slider(Context& ctx, std::string name) : Shown(ctx, false, std::move(name)) {}
    // The page's thumb "down", dragged ("scroll") to a value, "up"; or a
    // "click" on the track (or a key) moving it to a value.
    void PageInput(const std::string& event, int32_t value);

private:
    void Moved() override { view::SliderState(Max(), Value()); }
    void Restyled() override;
};

class RichText final : public Shown<model::RichText> {
public:
    RichText(Context& ctx, std::string name, int32_t hWnd)
        : Shown(ctx, false, std::move(name), hWnd) {}
    // The page's keys while the transcript has the focus: "up", "down",
    // "enter", "focus" (by the keyboard) and "blur", as the model's keyboard.
    void PageKey(const std::string& key);
    // Names each line that is a link, by its speaker and text, for a screen
    // reader; the lines that are no link the page leaves out of the list.
    void NameLines();
    // Sends the highlight set, as the page asks once a change is done.
    void ShowHighlights();
    // The page's pointer at a character ("point", -1: off the text), a
    // "click" there, "layout" (the page laid the text out again: resized,
    // shown) or a key (PageKey).
    void PageInput(const std::string& event, int32_t position);

    // Lines as the page wraps them; "\n" lines until it has laid them out.
    int32_t LineOf(int32_t position) const override;
    int32_t LineCount() const override;
    int32_t LastVisibleLine() const override;

private:
    formats::PackedText Read(const std::string& rtf) override;
    void Loaded() override;
    void Scrolled() override;
    void Shade(int32_t, int32_t, bool) override;
    void Redraw() override;
    int32_t LastFirstLine() const override;
    void Placed() override {
        Shown::Placed();
        Relayout();
    }
    void Showing() override {
        Show();
        Relayout();
    }
    // Takes the page's lines, keeping the character at the top in view.
    void Relayout();
    void PointAtCharacter(int32_t position);
    void ClickCharacter(int32_t position);

    std::vector<formats::RtfRun> m_runs;
    std::vector<int32_t> m_paragraphStarts;
    view::TextLines m_lines;
    bool m_highlightsDue = false;
};

class Timer final : public model::Timer {
public:
    Timer(Context& ctx, std::string name) : model::Timer(ctx, std::move(name)) {}
    void Fired(int32_t token) {
        if (token == m_token) {
            Tick();
        }
    }

private:
    void Arm(int32_t milliseconds) override { view::TimerArm(milliseconds, m_token = NextToken()); }
    void Disarm() override { m_token = 0; }

    int32_t m_token = 0;
};

}  // namespace scenova::web
