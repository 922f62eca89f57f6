#include "win32/controls/HostedControls.h"

#include <utility>

#include "runtime/RuntimeError.h"
#include "win32/window/EventErrors.h"
#include "win32/window/PictureDispatch.h"

namespace scenova::win32::controls {

namespace ctl = scenova::controls;
using model::Member;

namespace {

// The event's argument i (in declaration order), or 450 when it is missing.
const VARIANT& Arg(const DISPPARAMS& params, UINT i) {
    if (i >= params.cArgs) {
        Raise(450, "event argument missing");
    }
    return params.rgvarg[params.cArgs - 1 - i];
}

// The container properties, kept by the site.
template <class Interface>
class Hosted : public Interface {
public:
    explicit Hosted(SitePtr site) : m_site(std::move(site)) {}

    float Left() const override { return m_site->Left(); }
    void Left(float value) override {
        m_site->Place(value, m_site->Top(), m_site->Width(), m_site->Height());
    }
    float Top() const override { return m_site->Top(); }
    void Top(float value) override {
        m_site->Place(m_site->Left(), value, m_site->Width(), m_site->Height());
    }
    float Width() const override { return m_site->Width(); }
    void Width(float value) override {
        m_site->Place(m_site->Left(), m_site->Top(), value, m_site->Height());
    }
    float Height() const override { return m_site->Height(); }
    void Height(float value) override {
        m_site->Place(m_site->Left(), m_site->Top(), m_site->Width(), value);
    }
    bool Visible() const override { return m_site->Visible(); }
    void Visible(bool value) override { m_site->Visible(value); }
    bool Enabled() const override { return m_site->Enabled(); }
    void Enabled(bool value) override { m_site->Enabled(value); }

protected:
    Dispatcher& D() const { return m_site->Control(); }

    template <class T>
    void Put(Member member, T value) {
        Arguments args;
        args.Add(value);
        D().Put(member, args);
    }

    template <class... T>
    void Call(Member member, const T&... values) {
        Arguments args;
        (args.Add(values), ...);
        D().Call(member, args);
    }

    // Connects the events; `dispatch` maps an event name and its arguments
    // to the window's callback.
    template <class Dispatch>
    void Connect(Dispatch dispatch) {
        const std::string object = D().Object();
        m_site->Advise([object, dispatch](const std::string& event, DISPPARAMS& params) {
            RunHandler(object + "." + event, [&] { dispatch(event, params); });
        });
    }

    SitePtr m_site;
};

class ButtonBar final : public Hosted<ctl::IButtonBar> {
public:
    using Hosted::Hosted;

    void Advise(ctl::ButtonBarEvents events) override {
        Connect([events = std::move(events)](const std::string& event, const DISPPARAMS& p) {
            const ctl::ButtonBarEvents::Handler* handler =
                event == NameOf(Member::ButtonPress)       ? &events.ButtonPress
                : event == NameOf(Member::ButtonGotFocus)  ? &events.ButtonGotFocus
                : event == NameOf(Member::ButtonLostFocus) ? &events.ButtonLostFocus
                                                           : nullptr;
            if (handler != nullptr && *handler) {
                (*handler)(ToString(Arg(p, 0)), ToString(Arg(p, 1)));
            }
        });
    }

    void ImageFolder(const std::string& folder) override { Put(Member::ImageFolder, folder); }
    void AddButton(const std::string& buttonName, const std::string& descriptor) override {
        Call(Member::AddButton, buttonName, descriptor);
    }
    void SetButtonState(const std::string& buttonName, int16_t state, bool redraw) override {
        Call(Member::SetButtonState, buttonName, state, redraw);
    }
    int16_t GetButtonState(const std::string& buttonName) override {
        Arguments args;
        args.Add(buttonName);
        Var result;
        D().Call(Member::GetButtonState, args, &result);
        return ToInt16(result.v);
    }
    void SetButtonToolTip(const std::string& buttonName, const std::string& text) override {
        Call(Member::SetButtonToolTip, buttonName, text);
    }
    void BeginBar(const std::string& barName) override { Call(Member::BeginBar, barName); }
    void RefreshBar() override { D().Call(Member::RefreshBar); }
    void EndBar(const std::string& barName) override { Call(Member::EndBar, barName); }
    void LoadScript(const std::string& path) override { Call(Member::LoadScript, path); }
    void SetBackground(const Picture& picture, int16_t windowWidth, int16_t windowHeight,
                       int16_t barLeft, int16_t barTop, int16_t mode) override {
        Arguments args;
        args.AddObject(NewPictureDispatch(picture));
        args.Add(windowWidth).Add(windowHeight).Add(barLeft).Add(barTop).Add(mode);
        D().Call(Member::SetBackground, args);
    }
    void ZOrder(int16_t position) override { Call(Member::ZOrder, position); }
    void PictureFile(const std::string& fileName) override { Put(Member::PictureFile, fileName); }
    void Transparent(bool value) override { Put(Member::Transparent, value); }
    void ToolTipForeColor(int32_t colour) override { Put(Member::ToolTipForeColor, colour); }
    void ToolTipBackColor(int32_t colour) override { Put(Member::ToolTipBackColor, colour); }
    void ToolTipShadowColor(int32_t colour) override { Put(Member::ToolTipShadowColor, colour); }
    void ToolTipTime(float milliseconds) override { Put(Member::ToolTipTime, milliseconds); }
    void ToolTipFontSize(float size) override { Put(Member::ToolTipFontSize, size); }
    void ToolTipFontBold(bool value) override { Put(Member::ToolTipFontBold, value); }
    void FontName(int16_t fontNumber) override { Put(Member::FontName, fontNumber); }
    void FontBold(bool value) override { Put(Member::FontBold, value); }
    void FontItalic(bool value) override { Put(Member::FontItalic, value); }
    void FontUnderline(bool value) override { Put(Member::FontUnderline, value); }
    void FontSize(const Variant& size) override {
        Arguments args;
        // The value goes as the variant it is; Empty as VT_EMPTY.
        std::visit(
            [&](const auto& v) {
                if constexpr (!std::is_same_v<std::decay_t<decltype(v)>, std::monostate>) {
                    args.Add(v);
                }
            },
            size);
        if (IsEmpty(size)) {
            args.AddEmpty();
        }
        D().Put(Member::FontSize, args);
    }
    void ForeColor(int32_t colour) override { Put(Member::ForeColor, colour); }
    void LabelMode(int16_t mode) override { Put(Member::LabelMode, mode); }
    void AddLabel(int32_t& x, int32_t& y, std::string& caption) override {
        Arguments args;
        args.AddRef(x).AddRef(y).AddRef(caption);
        D().Call(Member::AddLabel, args);
    }
};

class Video final : public Hosted<ctl::IVideo> {
public:
    using Hosted::Hosted;

    void Advise(ctl::VideoEvents events) override {
        Connect([events = std::move(events)](const std::string& event, const DISPPARAMS& p) {
            if (event == NameOf(Member::SignalEvent) && events.SignalEvent) {
                events.SignalEvent(ToInt16(Arg(p, 0)));
            } else if (event == NameOf(Member::Notify) && events.Notify) {
                events.Notify();
            }
        });
    }

    void TimeFormat(float format) override { Put(Member::TimeFormat, format); }
    bool OpenMovie(const std::string& path, double position) override {
        Arguments args;
        args.Add(path).Add(position);
        Var result;
        D().Call(Member::OpenMovie, args, &result);
        return ToBool(result.v);
    }
    void SetSignalTimes(std::string& times) override {
        Arguments args;
        args.AddRef(times);
        D().Call(Member::SetSignalTimes, args);
    }
    void EnableSignals(bool enable) override { Call(Member::EnableSignals, enable); }
    void SetPlayMode(int16_t mode) override { Call(Member::SetPlayMode, mode); }
    bool PlayRange(double startTime, double endTime, bool lineFlag) override {
        Arguments args;
        args.Add(startTime).Add(endTime).Add(lineFlag);
        Var result;
        D().Call(Member::PlayRange, args, &result);
        return ToBool(result.v);
    }
    void Seek(double position) override { Call(Member::Seek, position); }
    void Stop() override { D().Call(Member::Stop); }
    void Pause() override { D().Call(Member::Pause); }
    double CurrentPosition() override { return D().GetDouble("CurrentPosition"); }
    double Duration() override { return D().GetDouble("Duration"); }
};

class Slider final : public Hosted<ctl::ISlider> {
public:
    using Hosted::Hosted;

    void Advise(ctl::SliderEvents events) override {
        Connect([events = std::move(events)](const std::string& event, const DISPPARAMS&) {
            const std::function<void()>* handler =
                event == NameOf(Member::Change)      ? &events.Change
                : event == NameOf(Member::Scroll)    ? &events.Scroll
                : event == NameOf(Member::ThumbDown) ? &events.ThumbDown
                : event == NameOf(Member::ThumbUp)   ? &events.ThumbUp
                                                     : nullptr;
            if (handler != nullptr && *handler) {
                (*handler)();
            }
        });
    }

    int32_t Max() const override { return D().GetInt32("Max"); }
    void Max(int32_t value) override { Put(Member::Max, value); }
    int32_t Value() const override { return D().GetInt32("Value"); }
    void Value(int32_t value) override { Put(Member::Value, value); }
    void BorderStyle(int16_t style) override { Put(Member::BorderStyle, style); }
    void ForeColor(int32_t colour) override { Put(Member::ForeColor, colour); }
    void BackColor(int32_t colour) override { Put(Member::BackColor, colour); }
};

class RichText final : public Hosted<ctl::IRichText> {
public:
    using Hosted::Hosted;

    void Advise(ctl::RichTextEvents events) override {
        Connect([events = std::move(events)](const std::string& event, const DISPPARAMS& p) {
            if (event == NameOf(Member::LinkClick) && events.LinkClick) {
                events.LinkClick(ToInt32(Arg(p, 0)), ToInt16(Arg(p, 1)), ToInt32(Arg(p, 2)),
                                 ToInt32(Arg(p, 3)), ToInt16(Arg(p, 4)));
                return;
            }
            const auto* handler = event == NameOf(Member::LinkEnter)   ? &events.LinkEnter
                                  : event == NameOf(Member::LinkLeave) ? &events.LinkLeave
                                                                       : nullptr;
            if (handler != nullptr && *handler) {
                (*handler)(ToInt32(Arg(p, 0)), ToInt16(Arg(p, 1)), ToInt32(Arg(p, 2)),
                           ToInt32(Arg(p, 3)));
            }
        });
    }

    void RolloverColor(int32_t colour) override { Put(Member::RolloverColor, colour); }
    void DisplayFlag1(int16_t value) override { Put(Member::DisplayFlag1, value); }
    void DisplayFlag2(int16_t value) override { Put(Member::DisplayFlag2, value); }
    void DisplayFlag3(int16_t value) override { Put(Member::DisplayFlag3, value); }
    int32_t hWnd() const override { return D().GetInt32("hWnd"); }
    int32_t RtfMetricA() const override { return D().GetInt32("RtfMetricA"); }
    int32_t RtfMetricB() const override { return D().GetInt32("RtfMetricB"); }
    // The control reads its content as 8-bit text, as it was always given it.
    void RTFContent(const std::string& rtf) override {
        Arguments args;
        args.AddEightBit(rtf);
        D().Put(Member::RTFContent, args);
    }
    void BackPicture(Picture& picture) override {
        Arguments args;
        args.AddObject(NewPictureDispatch(picture));
        D().PutRef(Member::BackPicture, args);
    }
    int32_t TextLength() const override { return D().GetInt32("TextLength"); }
    int32_t MatchStart() const override { return D().GetInt32("MatchStart"); }
    int32_t MatchEnd() const override { return D().GetInt32("MatchEnd"); }
    int32_t CaretLine() const override { return D().GetInt32("CaretLine"); }
    void CaretPosition(int32_t position) override { Put(Member::CaretPosition, position); }
    int32_t FindText(int32_t from, int32_t to, int32_t flags, const std::string& text) override {
        Arguments args;
        args.Add(from).Add(to).Add(flags).Add(text);
        Var result;
        D().Call(Member::FindText, args, &result);
        return ToInt32(result.v);
    }
    void AddLink(int32_t startIndex, int32_t endIndex, int16_t linkType, int32_t userID) override {
        Call(Member::AddLink, startIndex, endIndex, linkType, userID);
    }
    void ScrollBarVisible(bool value) override { Put(Member::ScrollBarVisible, value); }
    int32_t FirstVisibleLine() const override { return D().GetInt32("FirstVisibleLine"); }
    int32_t LastVisibleLine() const override { return D().GetInt32("LastVisibleLine"); }
    int32_t LineCount() const override { return D().GetInt32("LineCount"); }
    void ScrollLines(int16_t lines) override { Call(Member::ScrollLines, lines); }
    void HighlightRange(int32_t startIndex, int32_t endIndex) override {
        Call(Member::HighlightRange, startIndex, endIndex);
    }
    void UnhighlightRange(int32_t startIndex, int32_t endIndex, int16_t mode) override {
        Call(Member::UnhighlightRange, startIndex, endIndex, mode);
    }
    void ClearHighlight() override { D().Call(Member::ClearHighlight); }
};

}  // namespace

std::shared_ptr<ctl::IButtonBar> NewButtonBar(SitePtr site) {
    return std::make_shared<ButtonBar>(std::move(site));
}
std::shared_ptr<ctl::IVideo> NewVideo(SitePtr site) {
    return std::make_shared<Video>(std::move(site));
}
std::shared_ptr<ctl::ISlider> NewSlider(SitePtr site) {
    return std::make_shared<Slider>(std::move(site));
}
std::shared_ptr<ctl::IRichText> NewRichText(SitePtr site) {
    return std::make_shared<RichText>(std::move(site));
}

}  // namespace scenova::win32::controls
