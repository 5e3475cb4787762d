// The replay event file: one event a line at a virtual time in milliseconds,
//   1000 click 320 240 [left|right|middle]   (a press and a release)
//   1000 down 320 240 [button] / up 320 240 [button]   (a press or a release alone)
//   1100 dblclick 40 60    (a double click: two presses and releases, the second a double's)
//   1300 move 100 200
//   1400 wheel -2          (wheel steps, positive away from the reader)
//   1450 text 120          (the rest of the line typed as text, UTF-8)
//   1500 key Space (or Alt+Return, Ctrl+2; key names as Keys.h spells them, Enter = Return)
//   1500 keydown Ctrl / keyup Ctrl   (a key pressed or let go alone; key = keydown)
//   1600 pad A [down|up]   (a gamepad button pressed and released, or pressed or let go)
//   2500 dump page1
//   2600 answer yes|no
//   2700 focus out|in     (the window loses or regains the focus)
//   9000 quit
// '#' starts a comment; times must not decrease.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Window.h"

namespace kelva {

struct ReplayEvent {
    enum class Kind { Input, Dump, Answer };
    int64_t timeMs = 0;
    Kind kind = Kind::Input;
    InputEvent input;      // Kind::Input: click, move, key, text, wheel, quit
    std::string dumpName;  // Kind::Dump
    bool yes = false;      // Kind::Answer
};

struct ReplayParseResult {
    std::vector<ReplayEvent> events;
    std::string error;  // "line N: problem"; empty on success
};

ReplayParseResult ParseReplayScript(std::string_view text);

}  // namespace kelva
