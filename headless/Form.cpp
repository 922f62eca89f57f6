#include "headless/Form.h"

#include <utility>

#include "model/Desktop.h"

namespace scenova::headless {

Form::Form(Context& ctx, Desktop& desktop, TwipsPerPixel scale, std::string name,
           std::string caption, FormEvents events)
    : model::Form(ctx, std::move(name), {scale.x, scale.y}, std::move(events)),
      m_desktop(desktop),
      m_caption(std::move(caption)) {
    m_hWnd =
        desktop.Create("ScenovaWindow", m_caption, 0, model::style::Form, model::style::FormEx);
}

}  // namespace scenova::headless
