#pragma once

#include <memory>
#include <utility>

#include "platform/Toolkit.h"

namespace scenova::model {

class Form;
class ButtonBar;
class Slider;
class RichText;

// What a person at the window reaches, as the model's controls; all null
// before a window loads.
struct Reach {
    Form* form = nullptr;
    ButtonBar* frmRose = nullptr;
    ButtonBar* frmRoseNavigation = nullptr;
    ButtonBar* frmRoseToolbar = nullptr;
    Slider* sldVideoSlider = nullptr;
    RichText* rtfText = nullptr;
};

// The presentation window with its controls as a platform's types, so that a
// host or a test can act as the user.
template <class Form, class Timer, class ButtonBar, class Video, class Slider, class RichText>
struct Window {
    std::shared_ptr<Form> form;
    std::shared_ptr<Timer> ExitTimer;
    std::shared_ptr<ButtonBar> frmRose;
    std::shared_ptr<Video> movOrvMovie;
    std::shared_ptr<Slider> sldVideoSlider;
    std::shared_ptr<RichText> rtfText;
    std::shared_ptr<ButtonBar> frmRoseNavigation;
    std::shared_ptr<ButtonBar> frmRoseToolbar;

    // The controls go with the window: its unloading destroys them, and a
    // user reaches none of them while it is hidden, disabled or gone.
    void Wire() const {
        const std::weak_ptr<Form> weak = form;
        const auto windowTakesInput = [weak] {
            const auto window = weak.lock();
            return window && window->Visible() && window->Enabled() && !window->IsUnloaded();
        };
        for (const auto& bar : {frmRose, frmRoseNavigation, frmRoseToolbar}) {
            bar->SetWindowTakesInput(windowTakesInput);
        }
        sldVideoSlider->SetWindowTakesInput(windowTakesInput);
        rtfText->SetWindowTakesInput(windowTakesInput);
        Window controls = *this;
        controls.form.reset();  // the form must not keep itself alive
        form->OnUnload([w = std::move(controls)] {
            w.ExitTimer->Destroy();
            w.frmRose->Destroy();
            w.movOrvMovie->Destroy();
            w.sldVideoSlider->Destroy();
            w.rtfText->Destroy();
            w.frmRoseNavigation->Destroy();
            w.frmRoseToolbar->Destroy();
        });
    }

    Reach User() const {
        return {form.get(),           frmRose.get(),        frmRoseNavigation.get(),
                frmRoseToolbar.get(), sldVideoSlider.get(), rtfText.get()};
    }

    // As the component holds it.
    PresentationWindow Presentation() const {
        return PresentationWindow{
            .form = form,
            .ExitTimer = ExitTimer,
            .frmRose = frmRose,
            .movOrvMovie = movOrvMovie,
            .sldVideoSlider = sldVideoSlider,
            .rtfText = rtfText,
            .frmRoseNavigation = frmRoseNavigation,
            .frmRoseToolbar = frmRoseToolbar,
        };
    }
};

}  // namespace scenova::model
