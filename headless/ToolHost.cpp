#include "headless/ToolHost.h"

#include <utility>

namespace scenova::headless {

ToolHost::ToolHost(HeadlessPlatform& platform, std::shared_ptr<IManager> manager)
    : m_platform(platform), m_manager(std::move(manager)) {}

ToolHost::~ToolHost() {
    m_tool.reset();
}

void ToolHost::Create() {
    Record(Member::Create);
    auto self = std::make_shared<std::weak_ptr<CScenova>>();
    m_tool = std::make_shared<CScenova>(m_platform, [self] { return self->lock(); });
    *self = m_tool;
}

void ToolHost::Release() {
    if (!m_tool) {
        return;
    }
    Record(Member::Release);
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
    // The places an action names, each read once into the manager's call.
    static constexpr std::pair<std::string_view, Member> kCalls[] = {
        {"toolbar-request", Member::ToolbarRequest},
        {"resource-action", Member::ResourceAction},
        {"navigation-request", Member::NavigationRequest},
    };
    if (place == "yield") {
        m_platform.HeadlessToolkit().InsideNextYield(std::move(release));
        return;
    }
    for (const auto& [name, call] : kCalls) {
        if (name == place) {
            manager.Inside(call, std::move(release));
            return;
        }
    }
    Raise(err::InvalidCall);
}

CScenova& ToolHost::Tool() {
    if (!m_tool) {
        Raise(err::NoObject);
    }
    return *m_tool;
}

template <class... Args>
void ToolHost::Record(Member member, const Args&... args) {
    model::Emit(m_platform.GetTrace(), model::Record::Of(model::Record::Kind::Host, "tool", member),
                args...);
}

template <class Body>
HostResult ToolHost::Deliver(Body&& body) {
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

// A host's assignment: "NavEnabled(name) = value", or "Left = value" without
// an argument list.
template <class T>
void ToolHost::RecordAssignment(Member member, bool named, std::string_view name, T value) {
    const model::Value values[] = {name};
    const model::Value assigned = model::ToValue(value);
    model::Record record =
        model::Record::Assignment(model::Record::Kind::Host, "tool", member, assigned);
    record.args = std::span<const model::Value>(values, named ? 1 : 0);
    record.hasArgs = named;
    m_platform.GetTrace().Take(record);
}

HostResult ToolHost::Init(const std::string& toolId) {
    return Init(toolId, m_platform.HostMainWindow());
}

HostResult ToolHost::Init(const std::string& toolId, int32_t parentHwnd) {
    Record(Member::IToolTalk_Init, TraceObject{"<mgr>"}, toolId, parentHwnd);
    return Deliver([&](CScenova& tool) {
        std::string id = toolId;
        return tool.IToolTalk_Init(m_manager, id, parentHwnd);
    });
}

HostResult ToolHost::Startup() {
    Record(Member::IToolTalk_Startup);
    return Deliver([](CScenova& tool) { tool.IToolTalk_Startup(); });
}

HostResult ToolHost::Shutdown() {
    Record(Member::IToolTalk_Shutdown);
    return Deliver([](CScenova& tool) { tool.IToolTalk_Shutdown(); });
}

HostResult ToolHost::Show() {
    Record(Member::IToolTalk_Show);
    return Deliver([](CScenova& tool) { tool.IToolTalk_Show(); });
}

HostResult ToolHost::Hide() {
    Record(Member::IToolTalk_Hide);
    return Deliver([](CScenova& tool) { tool.IToolTalk_Hide(); });
}

HostResult ToolHost::Move(float left, std::optional<Variant> top, std::optional<Variant> width,
                          std::optional<Variant> height) {
    Record(Member::IToolTalk_Move, left, top, width, height);
    return Deliver([&](CScenova& tool) {
        float l = left;
        tool.IToolTalk_Move(l, top, width, height);
    });
}

HostResult ToolHost::NavEnabled(const std::string& name) {
    Record(Member::IToolTalk_NavEnabled, name);
    return Deliver([&](CScenova& tool) {
        std::string n = name;
        return tool.IToolTalk_NavEnabled(n);
    });
}

HostResult ToolHost::NavEnabled(const std::string& name, bool value) {
    RecordAssignment(Member::IToolTalk_NavEnabled, true, name, value);
    return Deliver([&](CScenova& tool) {
        std::string n = name;
        tool.IToolTalk_NavEnabled(n, value);
    });
}

HostResult ToolHost::ToolbarEnabled(const std::string& name) {
    Record(Member::IToolTalk_ToolbarEnabled, name);
    return Deliver([&](CScenova& tool) {
        std::string n = name;
        return tool.IToolTalk_ToolbarEnabled(n);
    });
}

HostResult ToolHost::ToolbarEnabled(const std::string& name, bool value) {
    RecordAssignment(Member::IToolTalk_ToolbarEnabled, true, name, value);
    return Deliver([&](CScenova& tool) {
        std::string n = name;
        tool.IToolTalk_ToolbarEnabled(n, value);
    });
}

HostResult ToolHost::ID() {
    Record(Member::IToolTalk_ID);
    return Deliver([](CScenova& tool) { return tool.IToolTalk_ID(); });
}

#define SCENOVA_POSITION_PROPERTY(Name)                                               \
    HostResult ToolHost::Name() {                                                     \
        Record(Member::IToolTalk_##Name);                                             \
        return Deliver([](CScenova& tool) { return tool.IToolTalk_##Name(); });       \
    }                                                                                 \
    HostResult ToolHost::Name(float value) {                                          \
        RecordAssignment(Member::IToolTalk_##Name, false, std::string_view(), value); \
        return Deliver([&](CScenova& tool) { tool.IToolTalk_##Name(value); });        \
    }

SCENOVA_POSITION_PROPERTY(Left)
SCENOVA_POSITION_PROPERTY(Top)
SCENOVA_POSITION_PROPERTY(Width)
SCENOVA_POSITION_PROPERTY(Height)

#undef SCENOVA_POSITION_PROPERTY

}  // namespace scenova::headless
