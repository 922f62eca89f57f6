#pragma once

#include <string>

#include "headless/Context.h"
#include "headless/Desktop.h"
#include "headless/Screen.h"
#include "model/Form.h"

namespace scenova::headless {

// A top-level window on the headless desktop. It is created hidden, as an
// application window of 640 by 480 pixels.
class Form final : public model::Form {
public:
    Form(Context& ctx, Desktop& desktop, TwipsPerPixel scale, std::string name, std::string caption,
         FormEvents events);

    const std::string& Caption() const { return m_caption; }

private:
    void Unloaded() override { m_desktop.Destroy(m_hWnd); }

    Desktop& m_desktop;
    std::string m_caption;
};

}  // namespace scenova::headless
