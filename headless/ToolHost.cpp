#include "headless/ToolHost.h"

#include <utility>

namespace scenova::headless {

ToolHost::ToolHost(HeadlessPlatform& platform, std::shared_ptr<IManager> manager)
    : m_platform(platform), m_manager(std::move(manager)) {}

ToolHost::~ToolHost() {
    m_tool.reset();
}

void ToolHost::Create() {
    m_platform.GetTrace().Write('<', "tool", "Create", "()");
    auto self = std::make_shared<std::weak_ptr<CScenova>>();
    m_tool = std::make_shared<CScenova>(m_platform, [self] { return self->lock(); });
    *self = m_tool;
}

void ToolHost::Release() {
    if (!m_tool) {
        return;
    }
    m_platform.GetTrace().Write('<', "tool", "Release", "()");
    m_tool.reset();
    // The windows of a tool released inside one of their own events go at
    // the next release outside any.
    if (m_platform.Ctx().dispatching == 0) {
        m_platform.HeadlessToolkit().ForgetUnloaded();
    }
}

void ToolHost::ReleaseInside(std::string_view place, RecordingManager& manager,
                             std::function<void(const HostResult&)> shutDown) {
    auto release = [this, shutDown = std::move(shutDown)] {
        const HostResult result = Shutdown();
        if (shutDown) {
            shutDown(result);
        }
        Release();
    };
    if (place == "yield") {
        m_platform.HeadlessToolkit().InsideNextYield(std::move(release));
    } else {
        manager.Inside(place == "toolbar-request"   ? "ToolbarRequest"
                       : place == "resource-action" ? "ResourceAction"
                                                    : "NavigationRequest",
                       std::move(release));
    }
}

CScenova& ToolHost::Tool() {
    if (!m_tool) {
        Raise(err::NoObject);
    }
    return *m_tool;
}

template <class Body>
HostResult ToolHost::Deliver(std::string_view member, const std::string& rest, Body&& body) {
    m_platform.GetTrace().Write('<', "tool", member, rest);
    HostResult result;
    try {
        // Held for the call: the host may release it from inside.
        const std::shared_ptr<CScenova> tool = m_tool;
        if (!tool) {
            Raise(err::NoObject);
        }
        if constexpr (std::is_void_v<decltype(body(*tool))>) {
            body(*tool);
        } else {
            result.value = body(*tool);
        }
    } catch (const RuntimeError& error) {
        result.error = error;
    }
    return result;
}

HostResult ToolHost::Init(const std::string& toolId) {
    return Init(toolId, m_platform.HostMainWindow());
}

HostResult ToolHost::Init(const std::string& toolId, int32_t parentHwnd) {
    Trace& trace = m_platform.GetTrace();
    return Deliver("IToolTalk_Init", trace.Arguments(TraceObject{"<mgr>"}, toolId, parentHwnd),
                   [&](CScenova& tool) {
                       std::string id = toolId;
                       return tool.IToolTalk_Init(m_manager, id, parentHwnd);
                   });
}

HostResult ToolHost::Startup() {
    return Deliver("IToolTalk_Startup", "()", [](CScenova& tool) { tool.IToolTalk_Startup(); });
}

HostResult ToolHost::Shutdown() {
    return Deliver("IToolTalk_Shutdown", "()", [](CScenova& tool) { tool.IToolTalk_Shutdown(); });
}

HostResult ToolHost::Show() {
    return Deliver("IToolTalk_Show", "()", [](CScenova& tool) { tool.IToolTalk_Show(); });
}

HostResult ToolHost::Hide() {
    return Deliver("IToolTalk_Hide", "()", [](CScenova& tool) { tool.IToolTalk_Hide(); });
}

HostResult ToolHost::Move(float left, std::optional<Variant> top, std::optional<Variant> width,
                          std::optional<Variant> height) {
    const std::string rest = m_platform.GetTrace().Arguments(left, top, width, height);
    return Deliver("IToolTalk_Move", rest, [&](CScenova& tool) {
        float l = left;
        tool.IToolTalk_Move(l, top, width, height);
    });
}

HostResult ToolHost::NavEnabled(const std::string& name) {
    return Deliver("IToolTalk_NavEnabled", m_platform.GetTrace().Arguments(name),
                   [&](CScenova& tool) {
                       std::string n = name;
                       return tool.IToolTalk_NavEnabled(n);
                   });
}

HostResult ToolHost::NavEnabled(const std::string& name, bool value) {
    Trace& trace = m_platform.GetTrace();
    return Deliver("IToolTalk_NavEnabled", trace.Arguments(name) + " = " + trace.Format(value),
                   [&](CScenova& tool) {
                       std::string n = name;
                       tool.IToolTalk_NavEnabled(n, value);
                   });
}

HostResult ToolHost::ToolbarEnabled(const std::string& name) {
    return Deliver("IToolTalk_ToolbarEnabled", m_platform.GetTrace().Arguments(name),
                   [&](CScenova& tool) {
                       std::string n = name;
                       return tool.IToolTalk_ToolbarEnabled(n);
                   });
}

HostResult ToolHost::ToolbarEnabled(const std::string& name, bool value) {
    Trace& trace = m_platform.GetTrace();
    return Deliver("IToolTalk_ToolbarEnabled", trace.Arguments(name) + " = " + trace.Format(value),
                   [&](CScenova& tool) {
                       std::string n = name;
                       tool.IToolTalk_ToolbarEnabled(n, value);
                   });
}

HostResult ToolHost::ID() {
    return Deliver("IToolTalk_ID", "()", [](CScenova& tool) { return tool.IToolTalk_ID(); });
}

#define SCENOVA_POSITION_PROPERTY(Name)                                                 \
    HostResult ToolHost::Name() {                                                       \
        return Deliver("IToolTalk_" #Name, "()",                                        \
                       [](CScenova& tool) { return tool.IToolTalk_##Name(); });         \
    }                                                                                   \
    HostResult ToolHost::Name(float value) {                                            \
        return Deliver("IToolTalk_" #Name, " = " + m_platform.GetTrace().Format(value), \
                       [&](CScenova& tool) { tool.IToolTalk_##Name(value); });          \
    }

SCENOVA_POSITION_PROPERTY(Left)
SCENOVA_POSITION_PROPERTY(Top)
SCENOVA_POSITION_PROPERTY(Width)
SCENOVA_POSITION_PROPERTY(Height)

#undef SCENOVA_POSITION_PROPERTY

}  // namespace scenova::headless
