#pragma once

#include "platform/Gdi32.h"
#include "platform/Screen.h"
#include "platform/Toolkit.h"
#include "platform/User32.h"

namespace scenova {

// Everything the core needs from the system it runs on. The core holds a
// reference; a platform layer (headless, Windows ...) provides it.
class Platform {
public:
    virtual ~Platform() = default;
    virtual IUser32& user32() = 0;
    virtual IGdi32& gdi32() = 0;
    virtual IOlePro32& olepro32() = 0;
    virtual IScreen& screen() = 0;
    virtual IToolkit& toolkit() = 0;
};

}  // namespace scenova
