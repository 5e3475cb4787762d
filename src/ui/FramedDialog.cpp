#include "ui/FramedDialog.h"

#include <algorithm>

#include "ui/ControlLook.h"

namespace kelva {

namespace {

// The caption bar shades from its left colour to its right one.
constexpr TColor kActiveCaptionLeft = MakeColor(10, 36, 106);
constexpr TColor kActiveCaptionRight = MakeColor(166, 202, 240);
constexpr TColor kInactiveCaptionLeft = MakeColor(128, 128, 128);
constexpr TColor kInactiveCaptionRight = MakeColor(192, 192, 192);
constexpr TColor kActiveCaptionText = MakeColor(255, 255, 255);
constexpr TColor kInactiveCaptionText = MakeColor(212, 208, 200);
constexpr int kCaptionBarHeight = 18;
constexpr int kCloseBoxWidth = 16;
constexpr int kCloseBoxHeight = 14;

int Mix(int from, int to, int step, int steps)
{
    return from + (to - from) * step / std::max(1, steps);
}

}  // namespace

TFramedDialog::TFramedDialog(FontRasteriser& fonts, int clientWidth, int clientHeight)
    : DialogWindow(clientWidth + 2 * kBorder, clientHeight + 2 * kBorder + kCaptionHeight),
      m_captionBar(*this, fonts)
{
    Color = kFaceColour;
    m_captionBar.Bounds = TRect{kBorder, kBorder, Width - kBorder, kBorder + kCaptionBarHeight};
    m_closeBox.Bounds =
        TRect::Bounds(Width - kBorder - 2 - kCloseBoxWidth, kBorder + 2, kCloseBoxWidth, kCloseBoxHeight);
    m_closeBox.OnClick = [this](TControl&) { ModalResult = kCloseResult; };
    DragHandle = &m_captionBar;
    Add(m_captionBar);
    Add(m_closeBox);
}

void TFramedDialog::CentreOnStage()
{
    Position = {(kStageWidth - Width) / 2, (kStageHeight - Height) / 2};
}

TFramedDialog::CaptionBar::CaptionBar(TFramedDialog& owner, FontRasteriser& fonts)
    : m_owner(owner), m_text(fonts)
{
    PrepareControlText(m_text);
    m_text.Font = ControlFont(true);
}

void TFramedDialog::CaptionBar::Paint(TNkDIB& client)
{
    // The frame of the whole window is drawn with its caption bar.
    DrawRaisedEdge(client, client.BoundsRect());
    const bool active = m_owner.Active();
    const TColor left = active ? kActiveCaptionLeft : kInactiveCaptionLeft;
    const TColor right = active ? kActiveCaptionRight : kInactiveCaptionRight;
    const int width = Bounds.Width();
    for (int x = 0; x < width; ++x) {
        const TColor colour = MakeColor(Mix(ColorRed(left), ColorRed(right), x, width - 1),
                                        Mix(ColorGreen(left), ColorGreen(right), x, width - 1),
                                        Mix(ColorBlue(left), ColorBlue(right), x, width - 1));
        client.FillRect(TRect{Bounds.Left + x, Bounds.Top, Bounds.Left + x + 1, Bounds.Bottom}, colour);
    }
    m_text.TextColor = active ? kActiveCaptionText : kInactiveCaptionText;
    const TPoint size = m_text.MeasureText(m_owner.Caption);
    DrawTextClipped(m_text, client,
                    TRect{Bounds.Left, Bounds.Top, Bounds.Right - kCloseBoxWidth - 4, Bounds.Bottom},
                    Bounds.Left + 3, Bounds.Top + (Bounds.Height() - size.Y) / 2, m_owner.Caption);
}

void TFramedDialog::CloseBox::MouseDown(MouseButton button, int, int, int)
{
    m_held = m_pressed = button == MouseButton::Left;
}

void TFramedDialog::CloseBox::MouseUp(MouseButton, int, int)
{
    m_held = m_pressed = false;
}

void TFramedDialog::CloseBox::MouseDrag(int x, int y)
{
    m_pressed = m_held && Bounds.Contains(x, y);
}

void TFramedDialog::CloseBox::Paint(TNkDIB& client)
{
    client.FillRect(Bounds, kFaceColour);
    if (m_pressed) {
        DrawSunkenEdge(client, Bounds);
    } else {
        DrawRaisedEdge(client, Bounds);
    }
    // A cross 8 x 7 pixels, its strokes two pixels wide.
    const int shift = m_pressed ? 1 : 0;
    const int left = Bounds.Left + 4 + shift;
    const int top = Bounds.Top + 3 + shift;
    for (int i = 0; i < 7; ++i) {
        for (int dx : {i, i + 1, 6 - i, 7 - i}) client.SetPixel(left + dx, top + i, kTextColour);
    }
}

}  // namespace kelva
