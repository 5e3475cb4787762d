// A dialog window in a frame drawn by the window layer: a raised border and a caption
// bar with the window's caption and a close box, dragged by the caption bar. The close box
// ends a modal showing with result 2 (cancel). Client coordinates, the ones the form's
// controls are placed by, count from the top-left corner of the area inside the frame.
#pragma once

#include "graphics/AntiAliasTextout.h"
#include "ui/DialogWindow.h"

namespace kelva {

class TFramedDialog : public DialogWindow {
public:
    static constexpr int kBorder = 3;
    static constexpr int kCaptionHeight = 19;  // the bar and a row of the face below it
    static constexpr int kCloseResult = 2;

    // A window whose client area is clientWidth x clientHeight; its caption is `Caption`.
    TFramedDialog(FontRasteriser& fonts, int clientWidth, int clientHeight);

    // Window pixels of a box given in client coordinates.
    static TRect ClientBounds(int x, int y, int width, int height)
    {
        return TRect::Bounds(kBorder + x, kBorder + kCaptionHeight + y, width, height);
    }
    // Places the whole window, frame included, in the middle of the stage.
    void CentreOnStage();

    void Activated() override { Invalidate(); }
    void Deactivated() override { Invalidate(); }

private:
    class CaptionBar final : public TControl {
    public:
        CaptionBar(TFramedDialog& owner, FontRasteriser& fonts);
        void Paint(TNkDIB& client) override;

    private:
        TFramedDialog& m_owner;
        TAntiAliasTextout m_text;
    };

    class CloseBox final : public TControl {
    public:
        void MouseDown(MouseButton button, int x, int y, int clicks) override;
        void MouseUp(MouseButton button, int x, int y) override;
        void MouseDrag(int x, int y) override;
        void Paint(TNkDIB& client) override;

    private:
        bool m_held = false;
        bool m_pressed = false;
    };

    CaptionBar m_captionBar;
    CloseBox m_closeBox;
};

}  // namespace kelva
