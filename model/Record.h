#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "model/Member.h"
#include "platform/Picture.h"
#include "runtime/Variant.h"

namespace scenova::model {

// A value shown as it stands, for objects: "<tool>", "<rtf 120 bytes>".
struct Shown {
    std::string_view text;
};

// A cursor handle, shown by what it was loaded from.
struct CursorRef {
    int32_t handle;
};

// One argument or assigned value of a record, as the value it is (Empty for
// an empty Variant). Strings and pictures are borrowed: they live while the
// record is delivered, and a sink that keeps them copies them.
using Value = std::variant<std::monostate, bool, int16_t, int32_t, int64_t, float, double,
                           std::string_view, const IPicture*, Shown, CursorRef>;

// Numbers and flags as they are.
template <class T>
requires std::is_arithmetic_v<T> Value ToValue(T v) {
    return v;
}
inline Value ToValue(std::string_view v) {
    return v;
}
inline Value ToValue(const std::string& v) {
    return std::string_view(v);
}
inline Value ToValue(const char* v) {
    return std::string_view(v);
}
inline Value ToValue(const Picture& v) {
    return static_cast<const IPicture*>(v.get());
}
inline Value ToValue(Shown v) {
    return v;
}
inline Value ToValue(CursorRef v) {
    return v;
}
inline Value ToValue(const Variant& v) {
    return std::visit(
        [](const auto& inner) -> Value {
            if constexpr (std::is_same_v<std::decay_t<decltype(inner)>, std::monostate>) {
                return std::monostate{};
            } else {
                return ToValue(inner);
            }
        },
        v);
}

// One interaction of the component, as it happens:
//   Call    the component calls a control or the system    > OBJECT.MEMBER(ARGS)
//   Put     the component assigns a property               > OBJECT.MEMBER = VALUE
//   Report  the component calls the host's manager         > mgr.MEMBER(ARGS)
//   Event   a control's event delivered into the component < OBJECT.EVENT(ARGS)
//   Host    a host call delivered into the tool            < tool.MEMBER(ARGS) [= VALUE]
// Property reads are not recorded. `time` is the platform's clock in
// microseconds where it keeps one (0 elsewhere).
struct Record {
    enum class Kind : uint8_t { Call, Put, Report, Event, Host };

    Kind kind = Kind::Call;
    std::string_view object;
    Member member{};
    std::span<const Value> args;
    // A call shows its argument list, "()" when empty; a Put or a host's
    // assignment shows none.
    bool hasArgs = true;
    const Value* assigned = nullptr;
    int64_t time = 0;

    static Record Of(Kind kind, std::string_view object, Member member) {
        Record record;
        record.kind = kind;
        record.object = object;
        record.member = member;
        return record;
    }
    // An assignment: "OBJECT.MEMBER = VALUE".
    static Record Assignment(Kind kind, std::string_view object, Member member,
                             const Value& value) {
        Record record = Of(kind, object, member);
        record.hasArgs = false;
        record.assigned = &value;
        return record;
    }

    bool Inbound() const { return kind == Kind::Event || kind == Kind::Host; }
    // The argument at i, Empty beyond the last.
    const Value& Arg(std::size_t i) const {
        static const Value kEmpty;
        return i < args.size() ? args[i] : kEmpty;
    }
};

// Where records go: the headless trace, a host's log, a test.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void Take(const Record& record) = 0;
};

// Packs arguments as values on the stack (an absent optional is left out)
// and hands the record to the sink.
template <class... Args>
void Emit(RecordSink& sink, Record record, const Args&... args) {
    Value values[sizeof...(Args) + 1];
    std::size_t count = 0;
    [[maybe_unused]] const auto add = [&](const auto& arg) {
        if constexpr (requires { arg.has_value(); }) {
            if (arg) {
                values[count++] = ToValue(*arg);
            }
        } else {
            values[count++] = ToValue(arg);
        }
    };
    (add(args), ...);
    record.args = std::span<const Value>(values, count);
    sink.Take(record);
}

}  // namespace scenova::model
