// What the game menu acts on: the stage, the bookmark book and the story behind them. The
// menu only shows its buttons and says which was pressed; what each does is the host's.
#pragma once

#include <string_view>

namespace kelva {

class GameMenuHost {
public:
    virtual ~GameMenuHost() = default;
    virtual bool FullScreen() const = 0;
    // The menu has been shown (the stage's pointer becomes the arrow), or has closed.
    virtual void MenuOpened() = 0;
    virtual void MenuClosed() = 0;
    // Shows the bookmark book modally, for recording or for opening, with `caption`.
    virtual void ShowBookmarkBook(bool recording, std::string_view caption) = 0;
    virtual void SwitchDisplay(bool fullScreen) = 0;
    // Fast-forward: only a story waiting for a click starts skipping.
    virtual void FastForward() = 0;
    // The yes/no question; true for yes.
    virtual bool Confirm(std::string_view caption, std::string_view question) = 0;
    // Ends the program.
    virtual void CloseStage() = 0;
};

}  // namespace kelva
