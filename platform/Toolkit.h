#pragma once

#include <memory>
#include <string>

#include "controls/ButtonBar.h"
#include "controls/RichText.h"
#include "controls/Slider.h"
#include "controls/Video.h"
#include "platform/Form.h"
#include "platform/Picture.h"
#include "platform/Timer.h"

namespace scenova {

// The names the presentation window and its controls go by, as every toolkit
// creates them and as records name them.
namespace objects {
inline constexpr char frmScenova[] = "frmScenova";
inline constexpr char frmRose[] = "frmRose";
inline constexpr char frmRoseNavigation[] = "frmRoseNavigation";
inline constexpr char frmRoseToolbar[] = "frmRoseToolbar";
inline constexpr char movOrvMovie[] = "movOrvMovie";
inline constexpr char sldVideoSlider[] = "sldVideoSlider";
inline constexpr char rtfText[] = "rtfText";
inline constexpr char ExitTimer[] = "ExitTimer";
}  // namespace objects

// The presentation window as the toolkit creates it when it loads: the form
// and the controls placed on it.
struct PresentationWindow {
    std::shared_ptr<IForm> form;
    std::shared_ptr<ITimer> ExitTimer;
    std::shared_ptr<controls::IButtonBar> frmRose;
    std::shared_ptr<controls::IVideo> movOrvMovie;
    std::shared_ptr<controls::ISlider> sldVideoSlider;
    std::shared_ptr<controls::IRichText> rtfText;
    std::shared_ptr<controls::IButtonBar> frmRoseNavigation;
    std::shared_ptr<controls::IButtonBar> frmRoseToolbar;
};

// The window toolkit and the process-level services that come with it.
class IToolkit {
public:
    virtual ~IToolkit() = default;

    // Creates the hidden presentation window with its controls and raises the
    // form's Load event before returning.
    virtual PresentationWindow LoadPresentationWindow(FormEvents events) = 0;

    // Lets the window process all pending messages once.
    virtual void DoEvents() = 0;

    // Loads a picture file; raises a run-time error when it cannot.
    virtual Picture LoadPicture(const std::string& path) = 0;

    // True when a directory entry matching path (wildcards allowed in its
    // last component) is an ordinary file: not a folder, hidden or system
    // entry. Never raises.
    virtual bool FindOrdinaryFile(const std::string& path) = 0;
};

}  // namespace scenova
