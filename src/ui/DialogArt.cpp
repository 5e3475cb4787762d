#include "ui/DialogArt.h"

#include "graphics/AntiAliasTextout.h"

namespace kelva {

void DrawOutlined(TNkDIB& target, FontRasteriser& fonts, TPoint at, const FontSpec& font,
                  std::string_view text)
{
    TAntiAliasTextout renderer(fonts);
    renderer.Target = &target;
    renderer.Font = font;
    renderer.TextColor = kDialogWhite;
    renderer.EdgeColor = MakeColor(0, 0, 0);
    renderer.Decoration = kDecorationOutline;
    renderer.Smooth = false;
    renderer.DrawText(at.X, at.Y, text);
}

namespace {

// A raised bar: a darker rim, the face inset by two pixels and a light band along its top
// half, so the button reads as something to press rather than a box.
TNkDIB CancelFace(FontRasteriser& fonts, TPoint size, int textX, TColor rim, TColor face, TColor shine)
{
    TNkDIB picture(size.X, size.Y, 24);
    const TRect whole = picture.BoundsRect();
    picture.FillRect(whole, kDialogWhite);
    picture.FillRoundRect(whole, 22, 22, rim);
    picture.FillRoundRect(TRect{2, 2, size.X - 2, size.Y - 2}, 18, 18, face);
    picture.FillRoundRect(TRect{6, 4, size.X - 6, size.Y / 2}, 12, 10, shine);
    DrawOutlined(picture, fonts, {textX, 6}, FontSpec{kGothicFace, 18, true}, "キャンセル");
    return picture;
}

}  // namespace

TNkDIB OutlinedButtonFace(FontRasteriser& fonts, TPoint size, int corner, TColor background, TPoint at,
                          const FontSpec& font, std::string_view caption)
{
    TNkDIB face(size.X, size.Y, 24);
    face.FillRect(face.BoundsRect(), kDialogWhite);
    face.FillRoundRect(face.BoundsRect(), corner, corner, background);
    DrawOutlined(face, fonts, at, font, caption);
    return face;
}

void SetHotFaces(THotImage& button, TNkDIB plain, TNkDIB highlighted)
{
    button.PictureOnLeave = std::move(plain);
    button.PictureOnEnter = std::move(highlighted);
    button.Picture = button.PictureOnLeave;
}

void MakeCancelButton(THotImage& button, FontRasteriser& fonts, int textX)
{
    const TPoint size{button.Bounds.Width(), button.Bounds.Height()};
    SetHotFaces(button,
                CancelFace(fonts, size, textX, MakeColor(120, 120, 190), MakeColor(175, 175, 225),
                           MakeColor(205, 205, 240)),
                CancelFace(fonts, size, textX, MakeColor(80, 80, 200), MakeColor(130, 130, 250),
                           MakeColor(180, 180, 255)));
}

TNkDIB TitleBarPicture(FontRasteriser& fonts, int width, TColor colour, std::string_view caption)
{
    TNkDIB bar(width, 32, 24);
    bar.FillRect(bar.BoundsRect(), colour);
    TAntiAliasTextout text(fonts);
    text.Target = &bar;
    text.Font = FontSpec{kGothicFace, 18, false};
    text.TextColor = kDialogWhite;
    text.EdgeColor = MakeColor(0, 0, 0);
    text.Decoration = kDecorationOutline;
    text.Smooth = false;
    text.DrawText(16, 0, caption);
    return bar;
}

}  // namespace kelva
