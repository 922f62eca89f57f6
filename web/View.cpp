#include "web/View.h"

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

// Each call goes to Module.view (view.js) with JavaScript values.
// clang-format off
EM_JS(void, js_box, (const char* c, double l, double t, double w, double h, int v, int e), {
    Module.view.box(UTF8ToString(c), l, t, w, h, !!v, !!e);
});
EM_JS(void, js_picture, (const char* c, const char* k, int w, int h, const uint32_t* p, int s), {
    Module.view.picture(UTF8ToString(c), UTF8ToString(k), w, h,
                        p ? HEAPU32.slice(p >> 2, (p >> 2) + w * h) : null, s);
});
EM_JS(void, js_forget_picture, (int s), { Module.view.forgetPicture(s); });
EM_JS(void, js_colour, (const char* c, const char* what, int colour), {
    Module.view.colour(UTF8ToString(c), UTF8ToString(what), colour);
});
EM_JS(void, js_zorder, (const char* c, int p), { Module.view.zorder(UTF8ToString(c), p); });
EM_JS(void, js_bar_clear, (const char* b), { Module.view.barClear(UTF8ToString(b)); });
EM_JS(void, js_bar_button, (const char* b, const char* n, int l, int t, int w, int h, int s,
                            const char* tip), {
    Module.view.barButton(UTF8ToString(b), UTF8ToString(n), l, t, w, h, s, UTF8ToString(tip));
});
EM_JS(void, js_bar_label, (const char* b, int x, int y, const char* caption, const char* font,
                           double size, int colour, int bold, int italic, int underline), {
    Module.view.barLabel(UTF8ToString(b), x, y, UTF8ToString(caption), UTF8ToString(font), size,
                         colour, !!bold, !!italic, !!underline);
});
EM_JS(void, js_bar_tips, (const char* b, int f, int bk, int s, double t, double size, int bold), {
    Module.view.barToolTips(UTF8ToString(b), f, bk, s, t, size, !!bold);
});
EM_JS(void, js_text_clear, (int lines), { Module.view.textClear(lines); });
EM_JS(void, js_text_segment, (int line, int start, int end, const char* text, const char* font,
                              double points, int bold, int italic, int underline, int colour,
                              int link), {
    Module.view.textSegment(line, start, end, UTF8ToString(text), UTF8ToString(font), points,
                            !!bold, !!italic, !!underline, colour, link);
});
EM_JS(void, js_text_highlight, (const int32_t* p, int n), {
    Module.view.textHighlight(Array.from(HEAP32.subarray(p >> 2, (p >> 2) + n)));
});
EM_JS(void, js_text_highlight_due, (), { Module.view.textHighlightDue(); });
EM_JS(void, js_text_scroll, (int line, double top), { Module.view.textScroll(line, top); });
EM_JS(int, js_text_layout, (), { return Module.view.textLayout(); });
EM_JS(double, js_text_layout_copy, (int32_t* p, int32_t* s, double* t, double* b), {
    const laidOut = Module.view.textLaidOut();
    laidOut.rows.forEach((row, i) => {
        HEAP32[(p >> 2) + i] = row[0];
        HEAP32[(s >> 2) + i] = row[1];
        HEAPF64[(t >> 3) + i] = row[2];
        HEAPF64[(b >> 3) + i] = row[3];
    });
    return laidOut.height;
});
EM_JS(void, js_text_pointer, (int line, int key, int colour), {
    Module.view.textPointer(line, key, colour);
});
EM_JS(void, js_slider, (int max, int value), { Module.view.slider(max, value); });
EM_JS(void, js_video_source, (const char* path), { Module.view.videoSource(UTF8ToString(path)); });
EM_JS(void, js_video_play, (double s), { Module.view.videoPlay(s); });
EM_JS(void, js_video_pause, (double s), { Module.view.videoPause(s); });
EM_JS(double, js_video_time, (), { return Module.view.videoTime(); });
EM_JS(void, js_video_wake, (double s, int token), { Module.view.videoWake(s, token); });
EM_JS(void, js_timer_arm, (int ms, int token), { Module.view.timerArm(ms, token); });
EM_JS(void, js_post_soon, (), { Module.view.postSoon(); });
EM_JS(void, js_cursor, (const char* css), { Module.view.cursor(UTF8ToString(css)); });
EM_JS(void, js_page_cursor, (const char* css), { Module.view.pageCursor(UTF8ToString(css)); });
EM_JS(void, js_host_log, (const char* line), { Module.view.hostLog(UTF8ToString(line)); });
EM_JS(void, js_host_resource, (const char* id, int action, const char* file, const char* text), {
    Module.view.hostResource(UTF8ToString(id), action, UTF8ToString(file), UTF8ToString(text));
});
EM_JS(void, js_rate, (double rate), { Module.view.rate(rate); });
EM_JS(void, js_text_line_name, (int line, const char* name), {
    Module.view.textLineName(line, UTF8ToString(name));
});
EM_JS(void, js_caption, (const char* text, const char* translation), {
    Module.view.caption(UTF8ToString(text), UTF8ToString(translation));
});
EM_JS(void, js_modes, (int captions, int pause, int loop, int translation), {
    Module.view.modes(!!captions, !!pause, !!loop, translation);
});
EM_JS(void, js_found, (int start, int end), { Module.view.found(start, end); });
EM_JS(int, js_own, (const char* command), { return Module.view.own(UTF8ToString(command)) ? 1 : 0; });
// clang-format on

namespace scenova::web::view {

void Box(const std::string& control, double left, double top, double width, double height,
         bool visible, bool enabled) {
    js_box(control.c_str(), left, top, width, height, visible, enabled);
}

void Picture(const std::string& control, const std::string& key, int32_t width, int32_t height,
             const std::vector<uint32_t>& pixels, int32_t source) {
    js_picture(control.c_str(), key.c_str(), width, height,
               pixels.empty() ? nullptr : pixels.data(), source);
}

void ForgetPicture(int32_t source) {
    js_forget_picture(source);
}

void Colour(const std::string& control, const std::string& what, int32_t colour) {
    js_colour(control.c_str(), what.c_str(), colour);
}

void ZOrder(const std::string& control, int16_t position) {
    js_zorder(control.c_str(), position);
}

void BarClear(const std::string& bar) {
    js_bar_clear(bar.c_str());
}

void BarButton(const std::string& bar, const std::string& name, int32_t left, int32_t top,
               int32_t width, int32_t height, int16_t state, const std::string& toolTip) {
    js_bar_button(bar.c_str(), name.c_str(), left, top, width, height, state, toolTip.c_str());
}

void BarLabel(const std::string& bar, int32_t x, int32_t y, const std::string& caption,
              const std::string& font, double size, int32_t colour, bool bold, bool italic,
              bool underline) {
    js_bar_label(bar.c_str(), x, y, caption.c_str(), font.c_str(), size, colour, bold, italic,
                 underline);
}

void BarToolTips(const std::string& bar, int32_t fore, int32_t back, int32_t shadow, double time,
                 double fontSize, bool bold) {
    js_bar_tips(bar.c_str(), fore, back, shadow, time, fontSize, bold);
}

void TextClear(int32_t lines) {
    js_text_clear(lines);
}

void TextSegment(int32_t line, int32_t start, int32_t end, const std::string& text,
                 const std::string& font, double points, bool bold, bool italic, bool underline,
                 int32_t colour, int32_t link) {
    js_text_segment(line, start, end, text.c_str(), font.c_str(), points, bold, italic, underline,
                    colour, link);
}

void TextHighlight(const std::vector<int32_t>& startsAndEnds) {
    js_text_highlight(startsAndEnds.data(), static_cast<int>(startsAndEnds.size()));
}

void TextHighlightDue() {
    js_text_highlight_due();
}

void TextScroll(int32_t paragraph, double top) {
    js_text_scroll(paragraph, top);
}

std::optional<TextLines> TextLayout() {
    const int count = js_text_layout();
    if (count <= 0) {
        return std::nullopt;
    }
    const auto n = static_cast<std::size_t>(count);
    TextLines lines{std::vector<int32_t>(n), std::vector<int32_t>(n), std::vector<double>(n),
                    std::vector<double>(n)};
    lines.height = js_text_layout_copy(lines.paragraphs.data(), lines.starts.data(),
                                       lines.tops.data(), lines.bottoms.data());
    return lines;
}

void TextPointer(int32_t pointerLine, int32_t keyboardLine, int32_t rolloverColour) {
    js_text_pointer(pointerLine, keyboardLine, rolloverColour);
}

void SliderState(int32_t max, int32_t value) {
    js_slider(max, value);
}

void VideoSource(const std::string& path) {
    js_video_source(path.c_str());
}

void VideoPlay(double seconds) {
    js_video_play(seconds);
}

void VideoPause(double seconds) {
    js_video_pause(seconds);
}

double VideoTime() {
    return js_video_time();
}

void VideoWake(double mediaSeconds, int32_t token) {
    js_video_wake(mediaSeconds, token);
}

void TimerArm(int32_t milliseconds, int32_t token) {
    js_timer_arm(milliseconds, token);
}

void PostSoon() {
    js_post_soon();
}

void Cursor(const std::string& css) {
    js_cursor(css.c_str());
}

void PageCursor(const std::string& css) {
    js_page_cursor(css.c_str());
}

void HostLog(const std::string& line) {
    js_host_log(line.c_str());
}

void HostResource(const std::string& id, int32_t action, const std::string& file,
                  const std::string& text) {
    js_host_resource(id.c_str(), action, file.c_str(), text.c_str());
}

void TextLineName(int32_t line, const std::string& name) {
    js_text_line_name(line, name.c_str());
}

void Rate(double rate) {
    js_rate(rate);
}

void Caption(const std::string& text, const std::string& translation) {
    js_caption(text.c_str(), translation.c_str());
}

void Modes(bool captions, bool pauseAfterLines, bool loop, int translation) {
    js_modes(captions, pauseAfterLines, loop, translation);
}

void Found(int32_t start, int32_t end) {
    js_found(start, end);
}

bool Own(const std::string& command) {
    return js_own(command.c_str()) != 0;
}

}  // namespace scenova::web::view
