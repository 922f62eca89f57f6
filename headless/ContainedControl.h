#pragma once

#include <string>
#include <utility>

#include "headless/Context.h"

namespace scenova::headless {

// A control of the model that keeps the virtual clock: its context is the
// headless one.
template <class Model>
class ContainedControl : public Model {
protected:
    ContainedControl(Context& ctx, std::string name) : Model(ctx, std::move(name)), m_ctx(ctx) {}

    Context& m_ctx;
};

}  // namespace scenova::headless
