#include "web/Controls.h"

#include <algorithm>
#include <array>
#include <limits>

#include "formats/BrowserVideo.h"
#include "formats/PictureFile.h"
#include "model/Gdi.h"
#include "platform/Toolkit.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"

namespace scenova::web {

namespace {

// The pixels of a picture the gdi32 table made, else none; the pixels cross
// to the page once while the picture lives.
void ShowPicture(Context& ctx, const std::string& control, const std::string& key,
                 const Picture& picture) {
    const model::IPixels* pixels = picture ? model::Gdi::PixelsOf(picture) : nullptr;
    if (!pixels) {
        view::Picture(control, key, 0, 0, {});
        return;
    }
    std::erase_if(ctx.pagePictures, [](const auto& held) {
        if (held.first.expired()) {
            view::ForgetPicture(held.second);
        }
        return held.first.expired();
    });
    const auto held = std::find_if(ctx.pagePictures.begin(), ctx.pagePictures.end(),
                                   [&](const auto& p) { return p.first.lock() == picture; });
    if (held != ctx.pagePictures.end()) {
        view::Picture(control, key, pixels->Width(), pixels->Height(), {}, held->second);
        return;
    }
    ctx.pagePictures.emplace_back(picture, ++ctx.lastPagePicture);
    view::Picture(control, key, pixels->Width(), pixels->Height(),
                  pixels->Read(0, 0, pixels->Width(), pixels->Height()), ctx.lastPagePicture);
}

// The bar's font numbers.
std::string FontFamily(int16_t number) {
    static constexpr std::array<const char*, 14> kFonts{
        "Arial",  "Courier",       "Courier New",     "Fixedsys",    "Marlett",
        "Modern", "MS Sans Serif", "MS Serif",        "Small Fonts", "Symbol",
        "System", "Terminal",      "Times New Roman", "Wingdings"};
    if (number < 1 || number > static_cast<int16_t>(kFonts.size())) {
        return "";
    }
    return kFonts[static_cast<std::size_t>(number - 1)];
}

}  // namespace

Form::Form(Context& ctx, model::Desktop& desktop, FormEvents events)
    : model::Form(ctx, objects::frmScenova, {kTwipsPerPixel, kTwipsPerPixel}, std::move(events)),
      m_web(ctx),
      m_desktop(desktop) {
    m_hWnd =
        desktop.Create("ScenovaWindow", "Scenova", 0, model::style::Form, model::style::FormEx);
}

void Form::Placed() {
    const auto finite = [](float value) { return std::isfinite(value) ? value : 0.0f; };
    view::Box(m_name, finite(m_left / m_scale.x), finite(m_top / m_scale.y),
              finite(m_width / m_scale.x), finite(m_height / m_scale.y), m_visible, m_enabled);
}

void Form::Redraw() {
    view::Colour(m_name, "back", m_backColor);
    if (m_pictureShown.lock() != m_picture || (!m_picture && m_pictureDrawn)) {
        m_pictureShown = m_picture;
        m_pictureDrawn = m_picture != nullptr;
        ShowPicture(m_web, m_name, "picture", m_picture);
    }
}

void ButtonBar::ButtonAdded(const Button& button) {
    try {
        const formats::DecodedPicture picture =
            formats::ReadPictureFile(ImageFolder() + "/" + button.picture);
        m_sizes[button.name] = {picture.width, picture.height};
        view::Picture(m_name, button.name, picture.width, picture.height, picture.pixels);
    } catch (const RuntimeError&) {
        m_sizes.erase(button.name);  // shown as a blank: the bar still works
        view::Picture(m_name, button.name, 0, 0, {});
    }
}

void ButtonBar::Redraw() {
    const auto& background = BackgroundSet();
    const Picture shown = background ? background->picture : nullptr;
    if (m_backgroundShown.lock() != shown || (!shown && m_backgroundDrawn)) {
        m_backgroundShown = shown;
        m_backgroundDrawn = shown != nullptr;
        ShowPicture(m_web, m_name, "background", shown);
    }
    const std::string picture = PictureFile().empty() ? "" : ImageFolder() + "/" + PictureFile();
    if (picture != m_pictureShown) {
        m_pictureShown = picture;
        try {
            const formats::DecodedPicture read =
                picture.empty() ? formats::DecodedPicture{} : formats::ReadPictureFile(picture);
            view::Picture(m_name, "picture", read.width, read.height, read.pixels);
        } catch (const RuntimeError&) {
            view::Picture(m_name, "picture", 0, 0, {});  // as a bar without a picture
        }
    }
    view::Colour(m_name, "transparent", Transparent() ? 1 : 0);
    view::BarClear(m_name);
    const ToolTipStyle& tips = ToolTips();
    view::BarToolTips(m_name, tips.foreColor, tips.backColor, tips.shadowColor, tips.time,
                      tips.fontSize, tips.fontBold);
    for (const Label& label : Labels()) {
        double size = 10;
        try {
            size = IsEmpty(label.style.size) ? size : ToDouble(label.style.size);
        } catch (const RuntimeError&) {
            // a size that is no number: the default
        }
        view::BarLabel(m_name, label.x, label.y, label.caption, FontFamily(label.style.fontNumber),
                       std::isfinite(size) ? size : 10, label.style.foreColor, label.style.bold,
                       label.style.italic, label.style.underline);
    }
    for (const Button& button : Buttons()) {
        const auto size = m_sizes.find(button.name);
        const auto [width, height] = size == m_sizes.end() ? std::pair{24, 24} : size->second;
        view::BarButton(m_name, button.name, button.left, button.top, width, height,
                        StateOf(button.name), ToolTip(button.name).value_or(""));
    }
}

void ButtonBar::PageInput(const std::string& event, const std::string& button) {
    if (event == "enter") {
        UserEnter(button);
    } else if (event == "leave") {
        UserLeave(button);
    } else if (event == "press") {
        UserPress(button);
    }
}

std::optional<double> Video::OpenMedia(const std::string& path) {
    // A movie the browser shows no picture of is played from the WebM beside it.
    for (const std::string& file : {path, formats::BrowserWebm(path)}) {
        const auto found = m_web.movieSeconds.find(file);
        if (found != m_web.movieSeconds.end()) {
            view::VideoSource(file);
            m_anchor = 0.0;
            return found->second;
        }
    }
    return std::nullopt;
}

void Video::PlayMedia(double seconds) {
    m_anchor = seconds;
    view::VideoPlay(seconds);
}

void Slider::PageInput(const std::string& event, int32_t value) {
    if (event == "down") {
        UserThumbDown();
    } else if (event == "scroll") {
        UserScrollTo(value);
    } else if (event == "up") {
        UserThumbUp();
    } else if (event == "click") {
        UserClickTo(value);
    }
}

void Slider::Restyled() {
    view::Colour(m_name, "fore", ForeColor());
    view::Colour(m_name, "back", BackColor());
    view::Colour(m_name, "border", BorderStyle());
}

formats::PackedText RichText::Read(const std::string& rtf) {
    formats::RtfDocument document = formats::ReadRtfDocument(rtf);
    m_runs = std::move(document.runs);
    return std::move(document.text);
}

void RichText::Loaded() {
    m_highlightsDue = false;
    m_lines = {};
    m_paragraphStarts.assign(1, 0);
    for (int32_t i = 0; i < TextLength(); ++i) {
        if (Text()[static_cast<std::size_t>(i)] == '\n') {
            m_paragraphStarts.push_back(i + 1);
        }
    }
    view::TextClear(static_cast<int32_t>(m_paragraphStarts.size()));
    // Pieces end at line breaks, format changes and link ends; links are
    // added after the content, so each is shown once it is known (AddLink
    // has no hook): the pieces come out of the text's own runs here and are
    // cut at links by the page when it lays out a link (TextSegment's link).
    const int32_t length = TextLength();
    std::size_t run = 0;
    int32_t start = 0;
    while (start < length) {
        while (run + 1 < m_runs.size() && static_cast<int32_t>(m_runs[run + 1].start) <= start) {
            ++run;
        }
        int32_t end = length;
        if (run + 1 < m_runs.size()) {
            end = std::min(end, static_cast<int32_t>(m_runs[run + 1].start));
        }
        int32_t breakAt = start;
        while (breakAt < end && Text()[static_cast<std::size_t>(breakAt)] != '\n') {
            ++breakAt;
        }
        const int32_t line = model::RichText::LineOf(start);
        if (breakAt > start) {
            const formats::RtfCharFormat format =
                run < m_runs.size() ? m_runs[run].format : formats::RtfCharFormat{};
            view::TextSegment(line, start, breakAt, TextOf(start, breakAt), format.fontName,
                              format.halfPoints / 2.0, format.bold, format.italic, format.underline,
                              format.colour ? static_cast<int32_t>(*format.colour) : -1, -1);
        }
        start = breakAt < end ? breakAt + 1 : end;
    }
    Relayout();
}

void RichText::NameLines() {
    for (std::size_t i = 0; i < Links().size(); ++i) {
        view::TextLineName(model::RichText::LineOf(Links()[i].start),
                           LinkName(static_cast<int32_t>(i)));
    }
}

void RichText::Relayout() {
    const auto first = static_cast<std::size_t>(FirstVisibleLine());
    std::optional<view::TextLines> lines = view::TextLayout();
    if (!lines) {
        Scrolled();
        return;  // not shown: the lines stay as they were laid out last
    }
    const int32_t top = first < m_lines.starts.size()      ? m_lines.starts[first]
                        : first < m_paragraphStarts.size() ? m_paragraphStarts[first]
                                                           : 0;
    for (std::size_t i = 0; i < lines->starts.size(); ++i) {
        const auto paragraph = static_cast<std::size_t>(lines->paragraphs[i]);
        if (lines->starts[i] < 0 && paragraph < m_paragraphStarts.size()) {
            lines->starts[i] = m_paragraphStarts[paragraph];
        }
    }
    m_lines = std::move(*lines);
    ScrollTo(LineOf(top));
}

int32_t RichText::LineCount() const {
    return m_lines.starts.empty() ? model::RichText::LineCount()
                                  : static_cast<int32_t>(m_lines.starts.size());
}

int32_t RichText::LineOf(int32_t position) const {
    if (m_lines.starts.empty()) {
        return model::RichText::LineOf(position);
    }
    const auto& starts = m_lines.starts;
    const auto after = std::upper_bound(starts.begin(), starts.end(), position);
    return std::max(0, static_cast<int32_t>(after - starts.begin()) - 1);
}

int32_t RichText::LastVisibleLine() const {
    if (m_lines.starts.empty()) {
        return model::RichText::LastVisibleLine();
    }
    const auto first = static_cast<std::size_t>(FirstVisibleLine());
    const double bottom = m_lines.tops[first] + m_lines.height;
    const auto& bottoms = m_lines.bottoms;
    const auto after = std::upper_bound(bottoms.begin() + static_cast<std::ptrdiff_t>(first),
                                        bottoms.end(), bottom);
    return std::max(FirstVisibleLine(), static_cast<int32_t>(after - bottoms.begin()) - 1);
}

int32_t RichText::LastFirstLine() const {
    if (m_lines.starts.empty()) {
        return model::RichText::LastFirstLine();
    }
    const double wanted = m_lines.bottoms.back() - m_lines.height;
    const auto first = std::lower_bound(m_lines.tops.begin(), m_lines.tops.end(), wanted);
    return std::clamp(static_cast<int32_t>(first - m_lines.tops.begin()), 0, LineCount() - 1);
}

void RichText::Scrolled() {
    const auto first = static_cast<std::size_t>(FirstVisibleLine());
    if (first < m_lines.starts.size()) {
        view::TextScroll(model::RichText::LineOf(m_lines.starts[first]),
                         m_lines.tops[first] - m_lines.tops.front());
    } else {
        view::TextScroll(FirstVisibleLine(), NAN);
    }
}

void RichText::Shade(int32_t, int32_t, bool) {
    if (!std::exchange(m_highlightsDue, true)) {
        view::TextHighlightDue();
    }
}

void RichText::ShowHighlights() {
    m_highlightsDue = false;
    std::vector<int32_t> ends;
    for (const Range& range : Highlights()) {
        ends.push_back(range.start);
        ends.push_back(range.end);
    }
    view::TextHighlight(ends);
}

void RichText::Redraw() {
    const auto lineOf = [this](int32_t link) {
        return link >= 0 && static_cast<std::size_t>(link) < Links().size()
                   ? model::RichText::LineOf(Links()[static_cast<std::size_t>(link)].start)
                   : -1;
    };
    view::TextPointer(lineOf(EnteredLink()), lineOf(HasKeyboard() ? KeyboardLink() : -1),
                      RolloverColor());
}

void RichText::PageKey(const std::string& key) {
    if (key == "up") {
        UserKey(model::RichText::Key::Up);
    } else if (key == "down") {
        UserKey(model::RichText::Key::Down);
    } else if (key == "enter") {
        UserKey(model::RichText::Key::Enter);
    } else if (key == "focus") {
        UserFocus();
    } else if (key == "blur") {
        UserBlur();
    }
}

void RichText::PageInput(const std::string& event, int32_t position) {
    if (event == "point") {
        PointAtCharacter(position);
    } else if (event == "click") {
        ClickCharacter(position);
    } else if (event == "layout") {
        Relayout();
    } else {
        PageKey(event);
    }
}

void RichText::PointAtCharacter(int32_t position) {
    PointAt(position < 0 ? -1 : LinkIndexAt(position));
    Redraw();
}

void RichText::ClickCharacter(int32_t position) {
    const int32_t link = position < 0 ? -1 : LinkIndexAt(position);
    if (link >= 0) {
        UserClickLink(link, 1);
    }
}

}  // namespace scenova::web
