// The stage window: one 640 x 480 surface shown in a window or full screen, and the
// input that arrives through it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Keys.h"

namespace kelva {

constexpr int kStageWidth = 640;
constexpr int kStageHeight = 480;

enum class MouseButton { Left = 0, Right = 1, Middle = 2 };

enum class Pointer { Arrow, Hidden, Busy, Skip };

struct DisplayMode {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;
};

// A part of the stage in stage pixels: columns Left..Right-1 of rows Top..Bottom-1.
struct StageArea {
    int Left = 0;
    int Top = 0;
    int Right = kStageWidth;
    int Bottom = kStageHeight;
};

struct InputEvent {
    // FrameNeeded: the window is about to show or save what was presented, and asks
    // for the latest picture first. FocusLost, FocusGained: the window stopped or started
    // being the one the reader works in. TextInput: characters typed while text entry is on.
    // KeyUp: a key let go (Ctrl, held to skip). PadDown, PadUp: a gamepad button.
    enum class Type {
        Quit,
        KeyDown,
        MouseDown,
        MouseUp,
        MouseMove,
        FrameNeeded,
        FocusLost,
        FocusGained,
        TextInput,
        MouseWheel,
        KeyUp,
        PadDown,
        PadUp
    };
    Type type = Type::Quit;
    int x = 0;  // stage pixels, for mouse events
    int y = 0;
    MouseButton button = MouseButton::Left;
    int clicks = 1;                // MouseDown: 2 for the second press of a double click
    int wheel = 0;                 // MouseWheel: steps, positive away from the reader (scrolls up)
    Key key = Key::Unknown;        // for KeyDown and KeyUp
    bool alt = false;              // Alt was held with the key
    bool ctrl = false;             // Ctrl was held with the key
    PadButton pad = PadButton::A;  // for PadDown and PadUp
    std::string text;              // TextInput: CP932
};

class StageWindow {
public:
    virtual ~StageWindow() = default;
    // CP932 caption.
    virtual void SetTitle(std::string_view title) = 0;
    // Makes the window visible, full screen (scaled, letterboxed) or as a window of the
    // stage's size times the window scale.
    // `bitsPerPixel` is the depth asked of full screen; a window that scales onto the
    // desktop keeps the desktop's. False when full screen could not be entered.
    virtual bool Show(bool fullScreen, int bitsPerPixel) = 0;
    // Shows a stage: 480 rows of 640 pixels, blue-green-red, row 0 at the top, `pitch`
    // bytes from one row to the next. Only `changed` differs from the stage presented last
    // (the first present is the whole stage); the window keeps what it shows.
    virtual void Present(const uint8_t* pixels, int pitch, const StageArea& changed) = 0;
    virtual void SetPointer(Pointer pointer) = 0;
    // Moves the mouse pointer to stage point (x, y).
    virtual void MovePointer(int x, int y) = 0;
    // The display's modes in the order it lists them; the desktop's own mode last. Full
    // screen scales the stage onto the desktop mode, so no mode is ever switched to.
    virtual std::vector<DisplayMode> DisplayModes() = 0;
    // Returns the next input event, waiting (sleeping, not spinning) until the clock
    // reaches `deadlineMs` at most; nullopt when the deadline came first.
    virtual std::optional<InputEvent> WaitEvent(int64_t deadlineMs) = 0;
    // Switches the platform's text entry (and its input method) on while an edit field
    // has the focus; only then do TextInput events come. Off at first; windows without a
    // keyboard of their own ignore it.
    virtual void SetTextInput(bool) {}
    // Makes the window `factor` times the stage's size (1: 640 x 480), as large as the
    // desktop allows. Full screen keeps it for when the window returns.
    virtual void SetWindowScale(int /*factor*/) {}
};

}  // namespace kelva
