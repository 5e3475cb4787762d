// The stage's display: the mode full screen would use, switching between full screen and
// a window, and the pointer's shape.
#pragma once

#include "data/NovelData.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"

namespace kelva {

class StageDisplay {
public:
    // `header` names the story in messages; all borrowed. `only16Bits`: full screen may
    // use at most 16 bits per pixel.
    StageDisplay(StageWindow& window, MessageBox& messages, const CNovelFileHeader& header, bool only16Bits);

    // Shows the stage full screen or in a window. With `choosing` (a choice menu is up) the
    // pointer stays visible full screen. False when the display can't show it: the reader
    // has been told, and the stage must close.
    bool Switch(bool fullScreen, bool choosing);
    bool FullScreen() const { return m_fullScreen; }

    // Ctrl+1 to Ctrl+4 make the window 1 to 4 times the stage's size; full screen keeps
    // the size for when the window returns. False for any other key.
    bool HandleScaleKey(const InputEvent& key);

    void SetPointer(Pointer pointer) { m_window.SetPointer(pointer); }
    void MovePointer(int x, int y) { m_window.MovePointer(x, y); }
    // While reading: hidden full screen, the arrow in a window.
    void ShowReadingPointer() { SetPointer(m_fullScreen ? Pointer::Hidden : Pointer::Arrow); }

private:
    // Examines the display's modes once, for the full-screen depth.
    void EnumerateModes();
    // Full screen at the chosen depth, else at 16 bits; false when neither could be shown.
    bool ShowFullScreen();

    StageWindow& m_window;
    MessageBox& m_messages;
    const CNovelFileHeader& m_header;
    bool m_only16Bits;
    bool m_enumerated = false;
    DisplayMode m_mode;  // the full-screen mode chosen; 0 bits until one is found
    bool m_fullScreen = false;
};

}  // namespace kelva
