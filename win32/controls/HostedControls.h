#pragma once

#include <memory>
#include <string>

#include "controls/ButtonBar.h"
#include "controls/RichText.h"
#include "controls/Slider.h"
#include "controls/Video.h"
#include "win32/controls/Site.h"

namespace scenova::win32::controls {

// The four kinds of hosted control as the window sees them: every operation
// a late-bound call by name on the control in the site, every event of the
// control handed to the window's callback of the same name. A run-time error
// in a callback ends that callback only.
std::shared_ptr<scenova::controls::IButtonBar> NewButtonBar(SitePtr site);
std::shared_ptr<scenova::controls::IVideo> NewVideo(SitePtr site);
std::shared_ptr<scenova::controls::ISlider> NewSlider(SitePtr site);
std::shared_ptr<scenova::controls::IRichText> NewRichText(SitePtr site);

}  // namespace scenova::win32::controls
