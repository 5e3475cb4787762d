// The game menu: a small borderless window at the stage's top right that offers, from the
// top, insert a bookmark, read from a bookmark, window or full screen, fast-forward, close
// the book and cancel. Which optional rows it has is fixed when it is made. It is shown
// without being modal and closes as soon as it loses the focus; while the bookmark book or
// the close question it opened is up, it is shrunk to nothing.
#pragma once

#include <functional>
#include <string_view>

#include "ui/DialogWindow.h"
#include "ui/GameMenuHost.h"
#include "ui/MenuArtwork.h"
#include "ui/Panel.h"
#include "ui/WindowLayer.h"

namespace kelva {

// The story's header options that choose the menu's rows.
struct MenuRows {
    int BookmarkMode = 0;            // 0: no bookmark rows
    bool DisplayModeChoice = false;  // the window / full-screen row
    int SkipMode = 0;                // 0: no fast-forward row
};

// Where a menu of `size` goes for a stage occupying `stage` on a screen of `screen`: its
// right edge on the stage's (2 further left when the stage has a window border), 32 below
// the stage's top, moved back onto the screen where it would reach its right or bottom
// edge.
TPoint GameMenuPosition(const TRect& stage, bool bordered, TPoint screen, TPoint size);

class TMenuForm final : public DialogWindow {
public:
    static constexpr int kWidth = 202;

    // All borrowed.
    TMenuForm(FontRasteriser& fonts, WindowLayer& layer, GameMenuHost& host, MenuRows rows);

    // Shows the menu at the stage's top right, the display-mode button naming the mode it
    // switches to, and gives it the focus.
    void Popup();
    // Hides the menu; nothing when it is not shown.
    void Close();

    void Deactivated() override;

private:
    void MakeButton(THotImage& button, TPanel& panel, TPoint at);
    // Both faces of the button: its picture with the caption written on it.
    void DrawFaces(THotImage& button, MenuIcon icon, std::string_view caption);
    // Runs `dialog` with the menu shrunk to nothing, then closes the menu and restores it.
    void WhileVanished(const std::function<void()>& dialog);

    FontRasteriser& m_fonts;
    WindowLayer& m_layer;
    GameMenuHost& m_host;
    TPanel m_topPanel{8};
    TPanel m_savePanel{64};
    TPanel m_dispModePanel{32};
    TPanel m_skipPanel{32};
    TPanel m_mainPanel{69};
    THotImage m_mark;
    THotImage m_open;
    THotImage m_dispMode;
    THotImage m_skip;
    THotImage m_close;
    THotImage m_cancel;
};

}  // namespace kelva
