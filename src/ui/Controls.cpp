#include "ui/Controls.h"

#include <algorithm>

namespace kelva {

void TImage::Paint(TNkDIB& client)
{
    if (Picture.Width() == 0 || Picture.Height() == 0) return;
    int x = Bounds.Left;
    int y = Bounds.Top;
    if (Center) {
        x += (Bounds.Width() - Picture.Width()) / 2;
        y += (Bounds.Height() - Picture.Height()) / 2;
    }
    const TRect shown = TRect::Bounds(x, y, Picture.Width(), Picture.Height()).Intersect(Bounds);
    if (shown.IsEmpty()) return;
    client.CopyRect(shown, Picture,
                    TRect::Bounds(shown.Left - x, shown.Top - y, shown.Width(), shown.Height()));
}

void THotImage::MouseEnter()
{
    Picture = PictureOnEnter;
    if (OnMouseEnter) OnMouseEnter(*this);
}

void THotImage::MouseLeave()
{
    Picture = PictureOnLeave;
    if (OnMouseLeave) OnMouseLeave(*this);
}

void THotPaintBox::Paint(TNkDIB& client)
{
    if (OnPaint) OnPaint(client, Bounds);
}

void THotPaintBox::MouseEnter()
{
    if (OnMouseEnter) OnMouseEnter(*this);
}

void THotPaintBox::MouseLeave()
{
    if (OnMouseLeave) OnMouseLeave(*this);
}

TLabel::TLabel(FontRasteriser& fonts) : m_text(fonts)
{
    m_text.Smooth = false;
    m_text.Decoration = kDecorationNone;
}

void TLabel::Paint(TNkDIB& client)
{
    if (Background) client.FillRect(Bounds, *Background);
    m_text.Target = &client;
    m_text.Font = Font;
    m_text.TextColor = Color;
    int x = Bounds.Left;
    if (Centered) x += (Bounds.Width() - m_text.MeasureText(Caption).X) / 2;
    m_text.DrawText(x, Bounds.Top, Caption);
}

}  // namespace kelva
