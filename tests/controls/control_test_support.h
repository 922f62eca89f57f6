#pragma once

// Helpers shared by the control tests: the headless world a control lives in
// and a way to read the number of the run-time error a statement raises.

#include "runtime/RuntimeError.h"
#include "tests/support/Errors.h"
#include "tests/support/HeadlessWorld.h"

namespace scenova::test {

using scenova::testing::ErrorOf;
using scenova::testing::HeadlessWorld;

}  // namespace scenova::test
