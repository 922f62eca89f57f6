#pragma once

#include "platform/Platform.h"

namespace scenova::win32 {

// The one platform of the loaded component: real user32, gdi32, olepro32,
// the screen and the window toolkit with its hosted controls. Created on
// first use on the host's user-interface thread and shared by every tool
// object of the process.
scenova::Platform& ProcessPlatform();

}  // namespace scenova::win32
