#pragma once

#include <functional>
#include <memory>
#include <string>

#include "model/Toolkit.h"
#include "model/Window.h"
#include "platform/Toolkit.h"
#include "qt/ButtonBar.h"
#include "qt/Context.h"
#include "qt/Desktop.h"
#include "qt/Form.h"
#include "qt/Gdi.h"
#include "qt/RichText.h"
#include "qt/Slider.h"
#include "qt/Timer.h"
#include "qt/Video.h"

namespace scenova::qt {

// The presentation window with its controls as their Qt types, so that the
// host can reach them as the user does.
using QtWindow = model::Window<Form, Timer, ButtonBar, Video, Slider, RichText>;

// The window toolkit on Qt Widgets: the form with its controls laid on it
// (the main bar at the back, as the window's backdrop), QCoreApplication's
// event processing, pictures through the shared readers.
class Toolkit final : public model::Toolkit {
public:
    Toolkit(Context& ctx, Desktop& desktop, Gdi& gdi, Twips twips)
        : model::Toolkit(ctx), m_desktop(desktop), m_gdi(gdi), m_twips(twips) {}

    PresentationWindow LoadPresentationWindow(FormEvents events) override;
    void DoEvents() override;

    // The window loaded last (empty before the first).
    const QtWindow& Window() const { return m_window; }
    // Told of every window loaded, before its Load event.
    std::function<void(const QtWindow&)> onLoad;

private:
    Picture ReadPicture(const std::string& path) override { return m_gdi.LoadPictureFile(path); }

    Desktop& m_desktop;
    Gdi& m_gdi;
    Twips m_twips;
    QtWindow m_window;
};

}  // namespace scenova::qt
