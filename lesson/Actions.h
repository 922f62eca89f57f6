#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace scenova::lesson {

// One thing the person at the lesson does, or one host call.
struct Action {
    enum class Kind {
        Advance,  // seconds
        Press,    // bar, name
        Enter,    // bar, name
        Leave,    // bar, name
        ThumbDown,
        Scroll,
        ThumbUp,
        Slide,      // value
        Drag,       // value
        LinkClick,  // value: the link's user value
        LinkEnter,
        LinkLeave,
        Show,
        Hide,
        Startup,
        Shutdown,
        LostFocus,
        Move,  // left, and optionally top, width, height
        // name: toolbar-request, resource-action, navigation-request or
        // yield. The host shuts the tool down and releases it inside the
        // next such call to it, or inside the component's next yield.
        ReleaseInside,
        Key,  // name: a key of the player's viewer as its key list writes it ("P", "Shift+S")
    };

    Kind kind{};
    std::string bar;
    std::string name;
    double seconds = 0;
    int32_t value = 0;
    float left = 0;
    std::optional<float> top, width, height;
    int line = 0;  // in the actions text, from 1

    // The action as it would be written.
    std::string Text() const;
};

class ActionError : public std::runtime_error {
public:
    ActionError(int line, const std::string& message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message), m_line(line) {}
    int line() const { return m_line; }

private:
    int m_line;
};

// Reads actions, one a line; '#' starts a comment, blank lines are skipped.
// Raises ActionError naming the first malformed line.
std::vector<Action> ParseActions(std::string_view text);

// Where a host may shut the tool down and release it (ReleaseInside).
inline constexpr std::string_view kReleasePlaces[] = {"toolbar-request", "resource-action",
                                                      "navigation-request", "yield"};

// Reads one action given on the command line (reported as line `line`).
Action ParseAction(std::string_view text, int line);

}  // namespace scenova::lesson
