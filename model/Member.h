#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace scenova::model {

// Every member a record names: the controls' methods, properties and events,
// the system's functions, the host's calls into the tool and the tool's
// calls to the host's manager. Code that picks records compares these, so a
// renamed member fails to build instead of silently matching nothing. The
// name of each is its enumerator's spelling, as the trace shows it.
// clang-format off
#define SCENOVA_MEMBERS(X)                                                                   \
    /* Every contained control and the forms */                                              \
    X(Left) X(Top) X(Width) X(Height) X(Visible) X(Enabled) X(BackColor) X(ForeColor)        \
    /* Forms */                                                                              \
    X(Move) X(Picture) X(Unload) X(Load) X(LostFocus)                                        \
    /* The button bar */                                                                     \
    X(ImageFolder) X(AddButton) X(SetButtonState) X(GetButtonState) X(SetButtonToolTip)      \
    X(BeginBar) X(RefreshBar) X(EndBar) X(LoadScript) X(SetBackground) X(ZOrder)             \
    X(PictureFile) X(Transparent) X(ToolTipForeColor) X(ToolTipBackColor)                    \
    X(ToolTipShadowColor) X(ToolTipTime) X(ToolTipFontSize) X(ToolTipFontBold) X(FontName)   \
    X(FontBold) X(FontItalic) X(FontUnderline) X(FontSize) X(LabelMode) X(AddLabel)          \
    X(ButtonPress) X(ButtonGotFocus) X(ButtonLostFocus)                                      \
    /* The video */                                                                          \
    X(TimeFormat) X(OpenMovie) X(SetSignalTimes) X(EnableSignals) X(SetPlayMode)             \
    X(PlayRange) X(Seek) X(Stop) X(Pause) X(SignalEvent) X(Notify)                           \
    /* The slider */                                                                         \
    X(Max) X(Value) X(BorderStyle) X(Change) X(Scroll) X(ThumbDown) X(ThumbUp)               \
    /* The rich text */                                                                      \
    X(RolloverColor) X(DisplayFlag1) X(DisplayFlag2) X(DisplayFlag3) X(RTFContent)           \
    X(BackPicture) X(CaretPosition) X(FindText) X(AddLink) X(ScrollBarVisible)               \
    X(ScrollLines) X(HighlightRange) X(UnhighlightRange) X(ClearHighlight) X(LinkEnter)      \
    X(LinkLeave) X(LinkClick)                                                                \
    /* Timers */                                                                             \
    X(Interval) X(Timer)                                                                     \
    /* The application, the screen and the system's libraries */                             \
    X(LoadPicture) X(FindOrdinaryFile) X(DoEvents) X(MouseIcon) X(MousePointer)              \
    X(LoadCursorA) X(LoadCursorFromFileA) X(SetCursor) X(FindWindowExA) X(SetParent)         \
    X(GetWindowLongA) X(SetWindowLongA) X(CreateCompatibleDC) X(SelectObject)                \
    X(CreateCompatibleBitmap) X(BitBlt) X(DeleteDC) X(DeleteObject)                          \
    X(OleCreatePictureIndirect)                                                              \
    /* The host's calls into the tool */                                                     \
    X(Create) X(Release) X(IToolTalk_Init) X(IToolTalk_Startup) X(IToolTalk_Shutdown)        \
    X(IToolTalk_Show) X(IToolTalk_Hide) X(IToolTalk_Move) X(IToolTalk_NavEnabled)            \
    X(IToolTalk_ToolbarEnabled) X(IToolTalk_ID) X(IToolTalk_Left) X(IToolTalk_Top)          \
    X(IToolTalk_Width) X(IToolTalk_Height)                                                   \
    /* The tool's calls to the host's manager */                                             \
    X(ToolShutdown) X(ReportError) X(ResourceAction) X(GetSettings) X(GetScript)             \
    X(NavigationRequest) X(ToolbarRequest) X(GetMediaPath) X(GetAuxiliaryPath)               \
    X(GetResourcePath) X(GetVideoPath)
// clang-format on

enum class Member : uint8_t {
#define SCENOVA_MEMBER_ENUMERATOR(name) name,
    SCENOVA_MEMBERS(SCENOVA_MEMBER_ENUMERATOR)
#undef SCENOVA_MEMBER_ENUMERATOR
};

inline constexpr std::string_view kMemberNames[] = {
#define SCENOVA_MEMBER_NAME(name) #name,
    SCENOVA_MEMBERS(SCENOVA_MEMBER_NAME)
#undef SCENOVA_MEMBER_NAME
};

#undef SCENOVA_MEMBERS

// "SetButtonState" for Member::SetButtonState.
constexpr std::string_view NameOf(Member member) {
    return kMemberNames[static_cast<std::size_t>(member)];
}

}  // namespace scenova::model
