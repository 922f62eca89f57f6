#include "qt/Toolkit.h"

#include <QCoreApplication>

namespace scenova::qt {

PresentationWindow Toolkit::LoadPresentationWindow(FormEvents events) {
    QtWindow w;
    w.form = Form::Create(m_ctx, m_desktop, m_twips, "Scenova", std::move(events));
    QWidget* on = w.form->Widget();
    // In this order, each above the one before: the main bar is the
    // window's backdrop with its buttons and labels.
    w.frmRose = ButtonBar::Create(m_ctx, objects::frmRose, m_twips, on, true, m_gdi);
    w.movOrvMovie = Video::Create(m_ctx, objects::movOrvMovie, m_twips, on);
    w.sldVideoSlider = Slider::Create(m_ctx, objects::sldVideoSlider, m_twips, on);
    w.rtfText = RichText::Create(m_ctx, objects::rtfText, m_twips, on);
    w.rtfText->SetWindowHandle(m_desktop.Add(w.rtfText->View(), "TranscriptText", "",
                                             w.form->hWnd(), model::style::Child, 0));
    w.frmRoseNavigation =
        ButtonBar::Create(m_ctx, objects::frmRoseNavigation, m_twips, on, false, m_gdi);
    w.frmRoseToolbar = ButtonBar::Create(m_ctx, objects::frmRoseToolbar, m_twips, on, false, m_gdi);
    w.ExitTimer = Timer::Create(m_ctx, objects::ExitTimer);
    // What a screen reader calls the parts that have no text of their own.
    w.frmRose->View()->setAccessibleName(QStringLiteral("Playback"));
    w.frmRoseNavigation->View()->setAccessibleName(QStringLiteral("Navigation"));
    w.frmRoseToolbar->View()->setAccessibleName(QStringLiteral("Lesson tools"));
    w.sldVideoSlider->View()->setAccessibleName(QStringLiteral("Speaker"));
    w.sldVideoSlider->View()->setAccessibleDescription(
        QStringLiteral("The speaker block the video is at; move it to go to another"));
    w.Wire();
    m_window = w;
    if (onLoad) {
        onLoad(m_window);
    }
    w.form->RaiseLoad();
    return w.Presentation();
}

void Toolkit::DoEvents() {
    QCoreApplication::processEvents();
}

}  // namespace scenova::qt
