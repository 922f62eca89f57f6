#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace scenova {

// The events the window raises to its owner, the tool object.
struct frmScenovaEvents {
    std::function<void(const std::string& strName)> NavigationClicked;
    std::function<void(const std::string& strName)> ToolbarClicked;
    // Keeps the owner alive while one of the window's handlers runs (null:
    // the owner outlives its window anyway). A host may release the tool
    // from inside a handler, in a manager call or in a message a yield lets
    // through; the tool then goes once the handler has returned.
    std::function<std::shared_ptr<void>()> Hold;
};

// The presentation window. Creating the object does not create the window:
// it loads (toolkit window, controls, Form_Load) the first time one of its
// members is used, and again after an unload, as a form of the toolkit does.
class frmScenova {
public:
    frmScenova(Platform& platform, frmScenovaEvents events);
    ~frmScenova();
    frmScenova(const frmScenova&) = delete;
    frmScenova& operator=(const frmScenova&) = delete;

    bool IsLoaded() const { return m_window.form != nullptr; }

    // Standard window members; each loads the window first.
    int32_t hWnd();
    float Left();
    void Left(float value);
    float Top();
    void Top(float value);
    float Width();
    void Width(float value);
    float Height();
    void Height(float value);
    void Move(float left, float top, float width, float height);
    bool Visible();
    void Visible(bool value);
    bool Enabled();
    void Enabled(bool value);
    Picture GetPicture();
    void SetPicture(const Picture& picture);
    void BackColor(int32_t colour);
    float PixelsToTwipsX(float pixels);
    float PixelsToTwipsY(float pixels);
    float TwipsToPixelsX(float twips);
    float TwipsToPixelsY(float twips);

    // Destroys the window and its controls; the object stays usable.
    void Unload();
    // Unloads the window for good (the tool has shut down): from now on a
    // member that needs the window raises 91 instead of loading it again.
    void Close();
    bool IsClosed() const { return m_closed; }

    // The hosted controls; each loads the window first.
    controls::IButtonBar& frmRose();
    controls::IButtonBar& frmRoseNavigation();
    controls::IButtonBar& frmRoseToolbar();
    controls::IVideo& movOrvMovie();
    controls::ISlider& sldVideoSlider();
    controls::IRichText& rtfText();
    ITimer& ExitTimer();

    // Shows the window; the first call also prepares the buttons and the
    // transcript's scroll bar.
    void Start();

    // Window-level state, for the platform layer's checks and for tests.
    int32_t VideoState() const { return m_VideoState; }
    int32_t CurrentBlock() const { return m_lngCurrentBlock; }
    bool SliderByUser() const { return m_blnSliderByUser; }
    int32_t SelStart() const { return m_lngSelStart; }
    bool LinkClicked() const { return m_blnLinkClicked; }
    bool InSignalEvent() const { return m_blnInSignalEvent; }

private:
    IForm& Form();
    void Load();
    void ConnectEvents();
    // A handler that holds the owner while it runs.
    template <class Handler>
    auto Held(Handler handler);
    // Lets the waiting messages through. False when the window went
    // meanwhile (the host shut the tool down in one of them): what the
    // caller would do next belongs to a window that is gone.
    bool ProcessMessages();

    void Form_Load();
    void Form_LostFocus();
    void ExitTimer_Timer();
    void ResetPresentation();

    // Transport buttons and playback.
    void frmRose_ButtonGotFocus(const std::string& buttonName);
    void frmRose_ButtonLostFocus(const std::string& buttonName);
    void frmRose_ButtonPress(const std::string& buttonName);
    void movOrvMovie_Notify();
    void movOrvMovie_SignalEvent(int16_t nEventNum);
    void Play();
    void StartPlayback(double startTime, double endTime, int16_t playMode);

    // Transcript links.
    void rtfText_LinkClick(int32_t UserID, int16_t LinkType, int32_t StartIndex, int32_t EndIndex,
                           int16_t Button);
    void rtfText_LinkEnter(int32_t UserID, int16_t LinkType, int32_t StartIndex, int32_t EndIndex);
    void rtfText_LinkLeave(int32_t UserID, int16_t LinkType, int32_t StartIndex, int32_t EndIndex);

    // Position slider.
    void sldVideoSlider_Change();
    void sldVideoSlider_Scroll();
    void sldVideoSlider_ThumbDown();
    void sldVideoSlider_ThumbUp();
    // The window moves the slider itself: the change must not seek.
    void SetSliderQuietly(int32_t value);

    // Navigation bar and toolbar.
    void frmRoseNavigation_ButtonGotFocus(const std::string& buttonName);
    void frmRoseNavigation_ButtonLostFocus(const std::string& buttonName);
    void frmRoseNavigation_ButtonPress(const std::string& buttonName);
    void frmRoseToolbar_ButtonGotFocus(const std::string& buttonName);
    void frmRoseToolbar_ButtonLostFocus(const std::string& buttonName);
    void frmRoseToolbar_ButtonPress(const std::string& buttonName);
    // The button cursor follows the pointer over enabled buttons of a bar.
    void ShowButtonCursor(controls::IButtonBar& bar, const std::string& buttonName);
    void HideButtonCursor();

    bool ButtonExists(const std::string& buttonName);
    void StopPlayback();
    void UpdateStepButtons();
    void SetButton(const char* buttonName, int16_t state);
    void SetButtonIfExists(const char* buttonName, int16_t state);

    Platform& m_platform;
    frmScenovaEvents m_events;
    PresentationWindow m_window;

    // Window-level state; Form_Load sets the initial values.
    int32_t m_lngCurrentBlock = 0;
    int32_t m_VideoState = 0;
    bool m_blnSliderByUser = false;
    int32_t m_lngSelStart = 0;
    int32_t m_lngSelEnd = 0;
    bool m_blnLinkClicked = false;
    bool m_blnInSignalEvent = false;
    bool m_blnFirstShowDone = false;
    int32_t m_hArrowCursor = 0;
    int32_t m_hWaitCursor = 0;
    std::string m_strNavButton;
    double m_dblPausePosition = 0;
    // Counts the video's signals, so that a signal handler can tell that a
    // later one was handled inside its own slider assignment.
    uint32_t m_signalsHandled = 0;
    bool m_closed = false;
};

}  // namespace scenova
