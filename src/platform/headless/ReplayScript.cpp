#include "platform/headless/ReplayScript.h"

#include <charconv>
#include <sstream>

namespace kelva {

namespace {

std::optional<int64_t> ParseNumber(const std::string& word)
{
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return value;
}

std::optional<MouseButton> ParseButton(const std::string& word)
{
    if (word.empty() || word == "left") return MouseButton::Left;
    if (word == "right") return MouseButton::Right;
    if (word == "middle") return MouseButton::Middle;
    return std::nullopt;
}

// Parses one non-empty line (comment removed); returns a problem text or the event.
// `click` sets `alsoRelease`: the press is followed by a release at the same place.
std::optional<std::string> ParseLine(const std::string& line, ReplayEvent& event, bool& alsoRelease)
{
    std::istringstream words(line);
    std::string time, verb, a, b, c, extra;
    words >> time >> verb >> a >> b >> c >> extra;
    const auto ms = ParseNumber(time);
    if (!ms || *ms < 0) return "bad time '" + time + "'";
    event.timeMs = *ms;
    InputEvent& input = event.input;
    if (verb == "click" || verb == "down" || verb == "up" || verb == "move") {
        const auto x = ParseNumber(a), y = ParseNumber(b);
        if (!x || !y) return verb + " needs x and y";
        input.x = static_cast<int>(*x);
        input.y = static_cast<int>(*y);
        if (verb == "move") {
            if (!c.empty()) return "move takes x and y only";
            input.type = InputEvent::Type::MouseMove;
            return std::nullopt;
        }
        const auto button = ParseButton(c);
        if (!button || !extra.empty()) return "unknown button '" + c + "'";
        input.type = verb == "up" ? InputEvent::Type::MouseUp : InputEvent::Type::MouseDown;
        input.button = *button;
        alsoRelease = verb == "click";
        return std::nullopt;
    }
    if (!b.empty()) return "too many words";
    if (verb == "key") {
        if (a.empty()) return "key needs a key name";
        input.type = InputEvent::Type::KeyDown;
        input.alt = a.starts_with("Alt+");
        const std::string name = input.alt ? a.substr(4) : a;
        const std::optional<Key> key = KeyFromName(name);
        if (!key) return "unknown key '" + name + "'";
        input.key = *key;
    } else if (verb == "dump") {
        if (a.empty() || a.find('/') != std::string::npos) return "dump needs a plain file name";
        event.kind = ReplayEvent::Kind::Dump;
        event.dumpName = a;
    } else if (verb == "answer") {
        if (a != "yes" && a != "no") return "answer must be yes or no";
        event.kind = ReplayEvent::Kind::Answer;
        event.yes = a == "yes";
    } else if (verb == "focus") {
        if (a != "out" && a != "in") return "focus must be out or in";
        input.type = a == "out" ? InputEvent::Type::FocusLost : InputEvent::Type::FocusGained;
    } else if (verb == "quit") {
        if (!a.empty()) return "quit takes no argument";
        input.type = InputEvent::Type::Quit;
    } else {
        return "unknown event '" + verb + "'";
    }
    return std::nullopt;
}

}  // namespace

ReplayParseResult ParseReplayScript(std::string_view text)
{
    ReplayParseResult result;
    std::istringstream lines{std::string(text)};
    std::string line;
    int number = 0;
    int64_t lastTime = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        ReplayEvent event;
        bool alsoRelease = false;
        if (const auto problem = ParseLine(line, event, alsoRelease)) {
            result.error = "line " + std::to_string(number) + ": " + *problem;
            return result;
        }
        if (event.timeMs < lastTime) {
            result.error = "line " + std::to_string(number) + ": time goes backwards";
            return result;
        }
        lastTime = event.timeMs;
        result.events.push_back(event);
        if (alsoRelease) {
            event.input.type = InputEvent::Type::MouseUp;
            result.events.push_back(std::move(event));
        }
    }
    return result;
}

}  // namespace kelva
