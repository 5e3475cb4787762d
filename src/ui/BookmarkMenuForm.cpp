#include "ui/BookmarkMenuForm.h"

#include "ui/DialogArt.h"

namespace kelva {

namespace {

constexpr TColor kCaptionBackground = MakeColor(128, 128, 255);

}  // namespace

TBookmarkMenuForm::TBookmarkMenuForm(FontRasteriser& fonts)
    : DialogWindow(kWidth, kHeight), m_fonts(fonts), m_caption(fonts)
{
    Caption = "しおり";
    TakesFocusBack = true;
    // A one-pixel frame round the menu, its inside left to the controls.
    m_frame.Bounds = TRect::Bounds(0, 0, kWidth, kHeight);
    m_frame.OnPaint = [](TNkDIB& client, const TRect& box) {
        const TColor line = MakeColor(0, 0, 0);
        client.FillRect(TRect{box.Left, box.Top, box.Right, box.Top + 1}, line);
        client.FillRect(TRect{box.Left, box.Bottom - 1, box.Right, box.Bottom}, line);
        client.FillRect(TRect{box.Left, box.Top, box.Left + 1, box.Bottom}, line);
        client.FillRect(TRect{box.Right - 1, box.Top, box.Right, box.Bottom}, line);
    };
    m_caption.Bounds = TRect::Bounds(1, 1, 140, 20);
    m_caption.Font = FontSpec{kGothicFace, 19, true};
    m_caption.Color = kDialogWhite;
    m_caption.Background = kCaptionBackground;
    MakeAction(m_insert, 28, "はさむ", kInsert);
    MakeAction(m_open, 27, "ひらく", kOpen);
    MakeAction(m_remove, 56, "しおりをはずす", kRemove);
    m_cancel.Bounds = TRect::Bounds(24, 88, 117, 32);
    MakeCancelButton(m_cancel, fonts, 12);
    m_cancel.OnMouseEnter = m_cancel.OnMouseLeave = [this](TControl&) { Invalidate(); };
    m_cancel.OnClick = [this](TControl&) { ModalResult = kCancel; };
    for (TControl* control :
         std::initializer_list<TControl*>{&m_frame, &m_caption, &m_insert, &m_open, &m_remove, &m_cancel}) {
        Add(*control);
    }
    PrepareOpening();
}

void TBookmarkMenuForm::MakeAction(THotImage& button, int top, std::string_view caption, int result)
{
    button.Bounds = TRect::Bounds(8, top, 125, 25);
    const FontSpec font{kGothicFace, 16, false};
    SetHotFaces(button, OutlinedButtonFace(m_fonts, {125, 25}, 18, kDialogPaleBlue, {8, 2}, font, caption),
                OutlinedButtonFace(m_fonts, {125, 25}, 18, kDialogBlue, {8, 2}, font, caption));
    button.OnMouseEnter = button.OnMouseLeave = [this](TControl&) { Invalidate(); };
    button.OnClick = [this, result](TControl&) { ModalResult = result; };
}

void TBookmarkMenuForm::PrepareRecording()
{
    m_insert.Visible = true;
    m_open.Visible = false;
    Invalidate();
}

void TBookmarkMenuForm::PrepareOpening()
{
    m_insert.Visible = false;
    m_open.Visible = true;
    Invalidate();
}

void TBookmarkMenuForm::Place(TPoint at, std::string_view caption)
{
    m_caption.Caption = caption;
    if (at.X + Width >= kStageWidth) at.X = kStageWidth - Width;
    if (at.Y + Height >= kStageHeight) at.Y = kStageHeight - Height;
    Position = at;
    Invalidate();
}

bool TBookmarkMenuForm::KeyDown(Key key)
{
    if (key != Key::Escape) return false;
    ModalResult = kCancel;
    return true;
}

}  // namespace kelva
