#include "lesson/Actions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <map>

#include "runtime/Convert.h"
#include "runtime/FloatChars.h"

namespace scenova::lesson {

namespace {

constexpr std::string_view kBlanks = " \t\r";

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(kBlanks, at)) != std::string_view::npos) {
        const auto end = text.find_first_of(kBlanks, at);
        words.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
        at = end;
    }
    return words;
}

// The text after the first `count` words, with its inner blanks kept.
std::string_view RestAfter(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
        at = text.find_first_not_of(kBlanks, at);
        at = text.find_first_of(kBlanks, at);
    }
    at = text.find_first_not_of(kBlanks, at == std::string_view::npos ? text.size() : at);
    if (at == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(at, last - at + 1);
}

template <class T>
T Number(std::string_view word, int line, const char* what) {
    T value{};
    const char* first = word.data();
    const char* last = first + word.size();
    const auto [end, error] = [&] {
        if constexpr (std::is_floating_point_v<T>) {
            return FloatFromChars(first, last, value);
        } else {
            return std::from_chars(first, last, value);
        }
    }();
    if (error != std::errc() || end != last) {
        throw ActionError(
            line, std::string("expected ") + what + ", found \"" + std::string(word) + "\"");
    }
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value)) {
            throw ActionError(line, std::string("expected ") + what);
        }
    }
    return value;
}

const std::map<std::string_view, Action::Kind, std::less<>>& Keywords() {
    using K = Action::Kind;
    static const std::map<std::string_view, Action::Kind, std::less<>> keywords{
        {"advance", K::Advance},
        {"press", K::Press},
        {"enter", K::Enter},
        {"leave", K::Leave},
        {"thumb-down", K::ThumbDown},
        {"scroll", K::Scroll},
        {"thumb-up", K::ThumbUp},
        {"slide", K::Slide},
        {"drag", K::Drag},
        {"link-click", K::LinkClick},
        {"link-enter", K::LinkEnter},
        {"link-leave", K::LinkLeave},
        {"show", K::Show},
        {"hide", K::Hide},
        {"startup", K::Startup},
        {"shutdown", K::Shutdown},
        {"lost-focus", K::LostFocus},
        {"move", K::Move},
        {"release-inside", K::ReleaseInside},
        {"key", K::Key},
    };
    return keywords;
}

constexpr std::string_view kBars[] = {"frmRose", "frmRoseNavigation", "frmRoseToolbar"};

}  // namespace

Action ParseAction(std::string_view text, int line) {
    using K = Action::Kind;
    const auto words = Words(text);
    if (words.empty()) {
        throw ActionError(line, "no action");
    }
    const auto keyword = Keywords().find(words[0]);
    if (keyword == Keywords().end()) {
        throw ActionError(line, "unknown action \"" + std::string(words[0]) + "\"");
    }
    Action action;
    action.kind = keyword->second;
    action.line = line;
    auto expectWords = [&](std::size_t least, std::size_t most, const char* usage) {
        if (words.size() < least || words.size() > most) {
            throw ActionError(line, "usage: " + std::string(usage));
        }
    };
    switch (action.kind) {
        case K::Advance:
            expectWords(2, 2, "advance SECONDS");
            action.seconds = Number<double>(words[1], line, "seconds");
            if (action.seconds < 0) {
                throw ActionError(line, "time runs forward only");
            }
            break;
        case K::Press:
        case K::Enter:
        case K::Leave: {
            expectWords(3, SIZE_MAX, "press|enter|leave BAR NAME");
            action.bar = words[1];
            bool known = false;
            for (std::string_view bar : kBars) {
                known = known || bar == action.bar;
            }
            if (!known) {
                throw ActionError(line, "unknown bar \"" + action.bar +
                                            "\" (frmRose, frmRoseNavigation or frmRoseToolbar)");
            }
            action.name = RestAfter(text, 2);
            break;
        }
        case K::Slide:
        case K::Drag:
            expectWords(2, 2, "slide|drag VALUE");
            action.value = Number<int32_t>(words[1], line, "a slider position");
            break;
        case K::LinkClick:
        case K::LinkEnter:
        case K::LinkLeave:
            expectWords(2, 2, "link-click|link-enter|link-leave CUE");
            action.value = Number<int32_t>(words[1], line, "a cue number");
            break;
        case K::Move:
            if (words.size() != 2 && words.size() != 5) {
                throw ActionError(line, "usage: move LEFT [TOP WIDTH HEIGHT]");
            }
            action.left = Number<float>(words[1], line, "a position");
            if (words.size() == 5) {
                action.top = Number<float>(words[2], line, "a position");
                action.width = Number<float>(words[3], line, "a width");
                action.height = Number<float>(words[4], line, "a height");
            }
            break;
        case K::Key:
            expectWords(2, 2, "key KEY");
            action.name = words[1];
            break;
        case K::ReleaseInside: {
            const char* usage =
                "release-inside toolbar-request|resource-action|navigation-request|yield";
            expectWords(2, 2, usage);
            action.name = words[1];
            if (std::find(std::begin(kReleasePlaces), std::end(kReleasePlaces), action.name) ==
                std::end(kReleasePlaces)) {
                throw ActionError(line, std::string("usage: ") + usage);
            }
            break;
        }
        default:
            expectWords(1, 1, std::string(words[0]).c_str());
            break;
    }
    return action;
}

std::vector<Action> ParseActions(std::string_view text) {
    std::vector<Action> actions;
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        ++number;
        if (const auto hash = line.find('#'); hash != std::string_view::npos) {
            line = line.substr(0, hash);
        }
        if (line.find_first_not_of(kBlanks) != std::string_view::npos) {
            actions.push_back(ParseAction(line, number));
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return actions;
}

std::string Action::Text() const {
    for (const auto& [word, kind] : Keywords()) {
        if (kind != this->kind) {
            continue;
        }
        std::string text(word);
        switch (kind) {
            // The shortest numbers that read back the same: the text replays
            // the action exactly.
            case Kind::Advance:
                return text + " " + ShortestText(seconds);
            case Kind::Press:
            case Kind::Enter:
            case Kind::Leave:
                return text + " " + bar + " " + name;
            case Kind::ReleaseInside:
            case Kind::Key:
                return text + " " + name;
            case Kind::Slide:
            case Kind::Drag:
            case Kind::LinkClick:
            case Kind::LinkEnter:
            case Kind::LinkLeave:
                return text + " " + std::to_string(value);
            case Kind::Move:
                text += " " + ShortestText(left);
                for (const auto& size : {top, width, height}) {
                    if (size) {
                        text += " " + ShortestText(*size);
                    }
                }
                return text;
            default:
                return text;
        }
    }
    return "?";
}

}  // namespace scenova::lesson
