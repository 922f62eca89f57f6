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
    static constexpr int32_t kStyle = 0x02CF0000;    // overlapped window, clips children
    static constexpr int32_t kExStyle = 0x00040100;  // application window with an edge

    Form(Context& ctx, Desktop& desktop, TwipsPerPixel scale, std::string name, std::string caption,
         FormEvents events);

    const std::string& Caption() const { return m_caption; }

private:
    void Unloaded() override { m_desktop.Destroy(m_hWnd); }

    Desktop& m_desktop;
    std::string m_caption;
};

}  // namespace scenova::headless
