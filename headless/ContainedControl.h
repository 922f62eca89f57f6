#pragma once

#include <string>
#include <utility>

#include "headless/Context.h"
#include "model/Contained.h"

namespace scenova::headless {

// A control of the model that keeps the virtual clock: its context is the
// headless one.
template <class Interface>
class ContainedControl : public model::Contained<Interface> {
protected:
    ContainedControl(Context& ctx, std::string name)
        : model::Contained<Interface>(ctx, std::move(name)), m_ctx(ctx) {}

    Context& m_ctx;
};

}  // namespace scenova::headless
