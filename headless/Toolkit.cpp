#include "headless/Toolkit.h"

#include <utility>

namespace scenova::headless {

PresentationWindow Toolkit::LoadPresentationWindow(FormEvents events) {
    HeadlessWindow w;
    w.form = std::make_shared<Form>(m_ctx, m_desktop, m_windowScale, objects::frmScenova, "Scenova",
                                    std::move(events));
    const int32_t textWindow =
        m_desktop.Create("TranscriptText", "", w.form->hWnd(), model::style::Child, 0);
    w.ExitTimer = std::make_shared<Timer>(m_ctx, objects::ExitTimer);
    w.frmRose = std::make_shared<ButtonBar>(m_ctx, objects::frmRose);
    w.movOrvMovie = std::make_shared<Video>(m_ctx, objects::movOrvMovie);
    w.sldVideoSlider = std::make_shared<Slider>(m_ctx, objects::sldVideoSlider);
    w.rtfText = std::make_shared<RichText>(m_ctx, objects::rtfText, textWindow);
    w.frmRoseNavigation = std::make_shared<ButtonBar>(m_ctx, objects::frmRoseNavigation);
    w.frmRoseToolbar = std::make_shared<ButtonBar>(m_ctx, objects::frmRoseToolbar);
    w.Wire();
    m_windows.push_back(w);
    ++m_loadCount;
    w.form->RaiseLoad();
    return w.Presentation();
}

void Toolkit::DoEvents() {
    m_ctx.Call("app", Member::DoEvents);
    if (m_insideYield) {
        std::exchange(m_insideYield, nullptr)();
    }
    m_ctx.loop.ProcessPending();
}

void Toolkit::ForgetUnloaded() {
    for (std::size_t i = 0; i + 1 < m_windows.size();) {
        if (m_windows[i].form->IsUnloaded()) {
            m_windows.erase(m_windows.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

const HeadlessWindow& Toolkit::Window() const {
    static const HeadlessWindow none;
    return m_windows.empty() ? none : m_windows.back();
}

}  // namespace scenova::headless
