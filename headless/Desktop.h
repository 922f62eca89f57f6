#pragma once

#include "model/Desktop.h"

namespace scenova::headless {

// The windows of the headless desktop are the model's as they are.
using Desktop = model::Desktop;

}  // namespace scenova::headless
