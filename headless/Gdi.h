#pragma once

#include "headless/Context.h"
#include "model/MemoryGdi.h"

namespace scenova::headless {

// The headless platform's pixels are held in memory as they are.
using Gdi = model::MemoryGdi;

}  // namespace scenova::headless
