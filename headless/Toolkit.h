#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "headless/Context.h"
#include "headless/Desktop.h"
#include "headless/Form.h"
#include "headless/Gdi.h"
#include "headless/Screen.h"
#include "headless/Timer.h"
#include "headless/Video.h"
#include "model/ButtonBar.h"
#include "model/RichText.h"
#include "model/Slider.h"
#include "model/Toolkit.h"
#include "model/Window.h"
#include "platform/Toolkit.h"

namespace scenova::headless {

// The controls every platform shares, kept in memory as they are.
using model::ButtonBar;
using model::RichText;
using model::Slider;

// The headless presentation window, with its controls as their headless
// types so that a host or a test can act as the user.
using HeadlessWindow = model::Window<Form, Timer, ButtonBar, Video, Slider, RichText>;

class Toolkit final : public model::Toolkit {
public:
    // The windows it loads convert pixels to twips at `windowScale`.
    Toolkit(Context& ctx, Desktop& desktop, Gdi& gdi, TwipsPerPixel windowScale)
        : model::Toolkit(ctx),
          m_ctx(ctx),
          m_desktop(desktop),
          m_gdi(gdi),
          m_windowScale(windowScale) {}

    PresentationWindow LoadPresentationWindow(FormEvents events) override;
    void DoEvents() override;

    // The window loaded last; an empty record before the first load.
    const HeadlessWindow& Window() const;
    int LoadCount() const { return m_loadCount; }
    // Window records the toolkit still holds: those loaded, and the last one.
    std::size_t RetainedWindows() const { return m_windows.size(); }
    // Lets go of unloaded windows other than the last one. Only for a point
    // where no event of theirs can be running, such as the host's release of
    // a tool object outside any event.
    void ForgetUnloaded();
    // The host's own message: runs once, inside the component's next yield,
    // as a message the host posted itself would.
    void InsideNextYield(std::function<void()> message) { m_insideYield = std::move(message); }

private:
    Picture ReadPicture(const std::string& path) override { return m_gdi.LoadPictureFile(path); }

    Context& m_ctx;
    Desktop& m_desktop;
    Gdi& m_gdi;
    TwipsPerPixel m_windowScale;
    // Every window ever loaded stays referenced here, so that a control whose
    // event unloads the window is not destroyed while it is still raising it.
    std::vector<HeadlessWindow> m_windows;
    int m_loadCount = 0;
    std::function<void()> m_insideYield;
};

}  // namespace scenova::headless
