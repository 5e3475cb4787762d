// Every key and gamepad button of the player, in one table: the F1 overlay shows it in
// Japanese with the keys' English names, and --help and the README list it in English.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/FrameTimer.h"
#include "core/Transcript.h"
#include "platform/Clock.h"
#include "ui/KeyHelpForm.h"
#include "ui/WindowLayer.h"

namespace kelva {

enum class KeyDevice : uint8_t { Keyboard, Pad };

// When the key counts, beside its name.
enum class KeyNote : uint8_t {
    None,
    Held,       // while it is held
    DebugOnly,  // with /DEBUG
};

struct KeyHelpEntry {
    KeyDevice Device;
    std::string_view Keys;  // the keys' English names, ASCII
    KeyNote Note;
    std::string_view Japanese;  // what it does, CP932
    std::string_view English;   // what it does, ASCII
};

std::span<const KeyHelpEntry> KeyHelpEntries();

// The key section of --help (and of the README): "Keys:" and "Gamepad:", a key a line.
std::string KeyHelpUsage();

// The overlay's rows: a heading for each device, then its keys, in CP932.
std::vector<KeyHelpRow> KeyHelpRows();

// F1: the list over the stage, modal with the frame timer stopped.
class KeyHelp {
public:
    // All borrowed.
    KeyHelp(WindowLayer& windows, FrameTimer& timer, Clock& clock, FontRasteriser& fonts, Transcript& log)
        : m_windows(windows), m_timer(timer), m_clock(clock), m_log(log), m_form(fonts)
    {
    }

    // Shows the list over `stage` until a key or a click closes it.
    void Show(const TNkDIB& stage);

private:
    WindowLayer& m_windows;
    FrameTimer& m_timer;
    Clock& m_clock;
    Transcript& m_log;
    TKeyHelpForm m_form;
};

}  // namespace kelva
