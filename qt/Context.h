#pragma once

#include "model/Context.h"

namespace scenova::qt {

// What every Qt control shares: the controls' context. Qt keeps no trace; a
// host that wants the records gives it a sink.
using Context = model::Context;
using model::EventError;

}  // namespace scenova::qt
