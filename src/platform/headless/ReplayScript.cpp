#include "platform/headless/ReplayScript.h"

#include <charconv>
#include <sstream>

#include "platform/TextCodec.h"

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

// `text`: the rest of the line after one space, UTF-8 in the file, CP932 in the event.
std::optional<std::string> ParseText(std::istringstream& words, InputEvent& input)
{
    std::string text;
    words.get();  // the space after the word
    std::getline(words, text);
    text.erase(text.find_last_not_of(" \t\r") + 1);
    if (text.empty()) return "text needs the characters to type";
    const auto cp932 = Utf8ToCp932(text);
    if (!cp932) return "text holds a character the player's text cannot";
    input.type = InputEvent::Type::TextInput;
    input.text = *cp932;
    return std::nullopt;
}

// Parses one non-empty line (comment removed); returns a problem text or the event.
// `click` sets `pressesAfter` to 1: the press is followed by a release at the same place;
// `dblclick` to 3: a release, a second press (a double click's) and its release.
std::optional<std::string> ParseLine(const std::string& line, ReplayEvent& event, int& pressesAfter)
{
    std::istringstream words(line);
    std::string time, verb, a, b, c, extra;
    words >> time >> verb;
    const auto ms = ParseNumber(time);
    if (!ms || *ms < 0) return "bad time '" + time + "'";
    event.timeMs = *ms;
    InputEvent& input = event.input;
    if (verb == "text") return ParseText(words, input);
    words >> a >> b >> c >> extra;
    if (verb == "click" || verb == "dblclick" || verb == "down" || verb == "up" || verb == "move") {
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
        pressesAfter = verb == "click" ? 1 : verb == "dblclick" ? 3 : 0;
        return std::nullopt;
    }
    if (!c.empty() || (!b.empty() && verb != "pad")) return "too many words";
    if (verb == "wheel") {
        const auto steps = ParseNumber(a);
        if (!steps || *steps == 0 || *steps < -100 || *steps > 100)
            return "wheel needs steps from -100 to 100, not 0";
        input.type = InputEvent::Type::MouseWheel;
        input.wheel = static_cast<int>(*steps);
        return std::nullopt;
    }
    if (verb == "key" || verb == "keydown" || verb == "keyup") {
        if (a.empty()) return verb + " needs a key name";
        input.type = verb == "keyup" ? InputEvent::Type::KeyUp : InputEvent::Type::KeyDown;
        std::string_view name = a;
        for (;;) {
            if (name.starts_with("Alt+")) {
                input.alt = true;
            } else if (name.starts_with("Ctrl+")) {
                input.ctrl = true;
            } else {
                break;
            }
            name.remove_prefix(name.find('+') + 1);
        }
        const std::optional<Key> key = KeyFromName(name);
        if (!key) return "unknown key '" + std::string(name) + "'";
        input.key = *key;
        // A held Ctrl is itself held with Ctrl.
        if (*key == Key::Ctrl && verb == "keydown") input.ctrl = true;
    } else if (verb == "pad") {
        const std::optional<PadButton> button = PadButtonFromName(a);
        if (!button) return "unknown pad button '" + a + "'";
        if (!b.empty() && b != "down" && b != "up") return "pad takes down or up after the button";
        input.type = b == "up" ? InputEvent::Type::PadUp : InputEvent::Type::PadDown;
        input.pad = *button;
        if (b.empty()) pressesAfter = 1;
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
        int pressesAfter = 0;
        if (const auto problem = ParseLine(line, event, pressesAfter)) {
            result.error = "line " + std::to_string(number) + ": " + *problem;
            return result;
        }
        if (event.timeMs < lastTime) {
            result.error = "line " + std::to_string(number) + ": time goes backwards";
            return result;
        }
        lastTime = event.timeMs;
        result.events.push_back(event);
        // A click's (or a pad press's) release; a double click's release, second press and
        // release.
        const bool pad = event.input.type == InputEvent::Type::PadDown;
        for (int i = 0; i < pressesAfter; ++i) {
            const bool release = i % 2 == 0;
            event.input.type = pad       ? InputEvent::Type::PadUp
                               : release ? InputEvent::Type::MouseUp
                                         : InputEvent::Type::MouseDown;
            if (!release) event.input.clicks = 2;
            result.events.push_back(event);
        }
    }
    return result;
}

}  // namespace kelva
