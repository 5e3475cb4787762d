// The confirmation dialog: a borderless white window with a drawn title bar carrying
// its caption, a one-line question and the buttons "ＯＫ" (result 1) and "キャンセル"
// (result 2). Escape answers "キャンセル". It keeps the focus until answered and is
// dragged by its title bar.
#pragma once

#include <string_view>

#include "ui/DialogWindow.h"

namespace kelva {

class TYesNoForm final : public DialogWindow {
public:
    static constexpr int kWidth = 282;
    static constexpr int kHeight = 109;

    explicit TYesNoForm(FontRasteriser& fonts);

    // The caption drawn in the title bar and the question; the dialog is centred on the
    // stage, ready to be shown.
    void Prepare(std::string_view caption, std::string_view question);

    void Activated() override { DrawTitleBar(true); }
    void Deactivated() override { DrawTitleBar(false); }
    bool KeyDown(Key key) override;

private:
    void DrawTitleBar(bool active);

    FontRasteriser& m_fonts;
    TImage m_titleBar;
    TLabel m_message;
    THotImage m_ok;
    THotImage m_cancel;
};

}  // namespace kelva
