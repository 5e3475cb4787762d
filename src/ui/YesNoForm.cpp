#include "ui/YesNoForm.h"

#include "graphics/AntiAliasTextout.h"
#include "graphics/FontSpec.h"
#include "ui/DialogArt.h"

namespace kelva {

namespace {

constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kTitleActive = MakeColor(160, 160, 255);
constexpr TColor kTitleInactive = MakeColor(205, 170, 0);
constexpr TColor kWindowInactive = MakeColor(230, 230, 230);
constexpr TColor kButtonHighlighted = MakeColor(160, 160, 255);
constexpr TColor kButtonPlain = MakeColor(230, 230, 255);
constexpr int kTitleBarHeight = 21;
constexpr int kButtonWidth = 89;
constexpr int kButtonHeight = 25;

// A button face: a rounded bar on white with the caption at (x, 2) in black.
TNkDIB ButtonFace(FontRasteriser& fonts, TColor background, int x, std::string_view caption)
{
    TNkDIB face(kButtonWidth, kButtonHeight, 24);
    face.FillRect(face.BoundsRect(), kWhite);
    face.FillRoundRect(face.BoundsRect(), 14, 14, background);
    TAntiAliasTextout text(fonts);
    text.Target = &face;
    text.TextColor = MakeColor(0, 0, 0);
    text.Font.Height = 17;
    text.DrawText(x, 2, caption);
    return face;
}

void MakeButton(THotImage& button, FontRasteriser& fonts, int left, int captionX, std::string_view caption)
{
    button.Bounds = TRect::Bounds(left, 68, kButtonWidth, kButtonHeight);
    button.PictureOnLeave = ButtonFace(fonts, kButtonPlain, captionX, caption);
    button.PictureOnEnter = ButtonFace(fonts, kButtonHighlighted, captionX, caption);
    button.Picture = button.PictureOnLeave;
}

}  // namespace

TYesNoForm::TYesNoForm(FontRasteriser& fonts)
    : DialogWindow(kWidth, kHeight), m_fonts(fonts), m_message(fonts)
{
    Caption = "本を閉じる";
    TakesFocusBack = true;
    m_titleBar.Bounds = TRect::Bounds(0, 0, kWidth, kTitleBarHeight);
    DragHandle = &m_titleBar;
    m_message.Bounds = TRect::Bounds(4, 36, 277, 16);
    m_message.Font = FontSpec{kGothicFace, 16, true};
    m_message.Centered = true;
    MakeButton(m_ok, fonts, 48, 28, "ＯＫ");
    MakeButton(m_cancel, fonts, 144, 4, "キャンセル");
    for (THotImage* button : {&m_ok, &m_cancel}) {
        button->OnMouseEnter = button->OnMouseLeave = [this](TControl&) { Invalidate(); };
    }
    m_ok.OnMouseDown = [this](TControl&, MouseButton, int, int) { ModalResult = 1; };
    m_cancel.OnMouseDown = [this](TControl&, MouseButton, int, int) { ModalResult = 2; };
    for (TControl* control : std::initializer_list<TControl*>{&m_titleBar, &m_message, &m_ok, &m_cancel}) {
        Add(*control);
    }
    Shape.SetRgnRight(kWidth);
    Shape.SetRgnBottom(kHeight);
    Shape.SetRgnWidth(32);
    Shape.SetRgnHeight(32);
    Shape.SetEnable(true);
    DrawTitleBar(false);
}

void TYesNoForm::Prepare(std::string_view caption, std::string_view question)
{
    Caption = caption;
    m_message.Caption = question;
    Position = {kStageWidth / 2 - Width / 2, kStageHeight / 2 - Height / 2};
    DrawTitleBar(Active());
}

bool TYesNoForm::KeyDown(Key key)
{
    if (key != Key::Escape) return false;
    ModalResult = 2;
    return true;
}

void TYesNoForm::DrawTitleBar(bool active)
{
    m_titleBar.Picture = TitleBarPicture(m_fonts, Width, active ? kTitleActive : kTitleInactive, Caption);
    Color = active ? kWhite : kWindowInactive;
    Invalidate();
}

}  // namespace kelva
