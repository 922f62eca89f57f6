#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The page's side of the browser platform: each function hands one change of
// what shows to the page's view (view.js), which only draws it and sends the
// user's input back through the exported functions of Exports.cpp. Controls
// are named as the component names them; sizes and places are CSS pixels.
namespace scenova::web::view {

void Box(const std::string& control, double left, double top, double width, double height,
         bool visible, bool enabled);
// Pixels as 32-bit colour references (0x00BBGGRR), row by row; `key` names
// the picture for the element that shows it ("" in `pixels` removes it).
// A nonzero `source` names the picture the pixels are of: given once, the
// page shows its own copy of them wherever the source is shown again with no
// pixels.
void Picture(const std::string& control, const std::string& key, int32_t width, int32_t height,
             const std::vector<uint32_t>& pixels, int32_t source = 0);
// The page lets go of the pixels of a source.
void ForgetPicture(int32_t source);
void Colour(const std::string& control, const std::string& what, int32_t colour);
void ZOrder(const std::string& control, int16_t position);

void BarClear(const std::string& bar);
void BarButton(const std::string& bar, const std::string& name, int32_t left, int32_t top,
               int32_t width, int32_t height, int16_t state, const std::string& toolTip);
void BarLabel(const std::string& bar, int32_t x, int32_t y, const std::string& caption,
              const std::string& font, double size, int32_t colour, bool bold, bool italic,
              bool underline);
void BarToolTips(const std::string& bar, int32_t fore, int32_t back, int32_t shadow, double time,
                 double fontSize, bool bold);

void TextClear(int32_t lines);
// A piece of line `line` from character start to end (code points), in one
// format and within one link (-1 for none).
void TextSegment(int32_t line, int32_t start, int32_t end, const std::string& text,
                 const std::string& font, double points, bool bold, bool italic, bool underline,
                 int32_t colour, int32_t link);
// A line that is a link, as a screen reader names it.
void TextLineName(int32_t line, const std::string& name);
void TextHighlight(const std::vector<int32_t>& startsAndEnds);
// The highlight changed: the page asks for it (scenova_text_highlights)
// once the call changing it has returned, before it next draws.
void TextHighlightDue();
// The page's lines of the transcript: the paragraph (a "\n" line) each is
// in, the character it starts at (-1: the paragraph's first), its top and
// bottom in CSS pixels, and the height of the view. None while the page does
// not show the transcript.
struct TextLines {
    std::vector<int32_t> paragraphs;
    std::vector<int32_t> starts;
    std::vector<double> tops;
    std::vector<double> bottoms;
    double height = 0;
};
std::optional<TextLines> TextLayout();
// Scrolled to `top` CSS pixels, or to the top of the paragraph (NaN top).
void TextScroll(int32_t paragraph, double top);
// The line of the link the pointer or the keyboard is on (-1: none), the
// keyboard's line (-1: none), the rollover colour.
void TextPointer(int32_t pointerLine, int32_t keyboardLine, int32_t rolloverColour);

void SliderState(int32_t max, int32_t value);

// The video element: the file it plays (a path of the lesson), played from
// seconds, paused (at seconds unless NaN), the media clock, a wake aimed at
// a media time with the token that tells it apart from a later one.
void VideoSource(const std::string& path);
void VideoPlay(double seconds);
void VideoPause(double seconds);
double VideoTime();
void VideoWake(double mediaSeconds, int32_t token);

void TimerArm(int32_t milliseconds, int32_t token);
// Pending messages are to run soon (Exports: scenova_run_posted).
void PostSoon();
void Cursor(const std::string& css);
// The application's pointer over the whole page ("" for none).
void PageCursor(const std::string& css);

// The host page: a line for the learner, a resource opened (2), updated (1)
// or closed (0) with a lesson file to show ("" for none) and its text.
void HostLog(const std::string& line);
void HostResource(const std::string& id, int32_t action, const std::string& file,
                  const std::string& text);

// The viewer's: the speed, the caption (empty: none) and the translation of
// the line spoken (empty: none), the modes that are on (translation: -1
// when the lesson has none, else 0 or 1), and a command of the page's own
// ("fullscreen", "leave", "keys", "find"), false when it did nothing.
void Rate(double rate);
void Caption(const std::string& text, const std::string& translation);
void Modes(bool captions, bool pauseAfterLines, bool loop, int translation);
bool Own(const std::string& command);
// Marks [start, end) of the transcript's text as found and shows it; [0, 0):
// nothing found.
void Found(int32_t start, int32_t end);

}  // namespace scenova::web::view
