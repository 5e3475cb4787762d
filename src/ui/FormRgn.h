// A window's shape: a rectangle, a rounded rectangle or an ellipse. Only the pixels inside
// it are drawn and only there do clicks land. The shape is kept as one span of pixels per
// row, worked out again at every change of a property.
//
// Which pixels are inside: those whose centre (x + 0.5, y + 0.5) lies in the rectangle
// and, for a rounded rectangle, in the ellipse of RgnWidth x RgnHeight that rounds the
// nearest corner (its centre half the ellipse's width and height in from that corner);
// for an ellipse, in the ellipse inscribed in the rectangle.
#pragma once

#include <vector>

#include "graphics/NkDIB.h"

namespace kelva {

enum class TRgnStyle { rsRect, rsRoundRect, rsEllipse };

class TFormRgn {
public:
    TFormRgn() { Apply(); }

    int RgnLeft() const { return m_left; }
    int RgnTop() const { return m_top; }
    int RgnRight() const { return m_right; }
    int RgnBottom() const { return m_bottom; }
    void SetRgnLeft(int value) { Set(m_left, value); }
    void SetRgnTop(int value) { Set(m_top, value); }
    void SetRgnRight(int value) { Set(m_right, value); }
    void SetRgnBottom(int value) { Set(m_bottom, value); }
    void SetRgnWidth(int value) { Set(m_ellipseWidth, value); }
    void SetRgnHeight(int value) { Set(m_ellipseHeight, value); }
    void SetStyle(TRgnStyle style);
    bool Enable() const { return m_enable; }
    void SetEnable(bool enable);

    // Whether window pixel (x, y) of a window `width` x `height` is drawn and clickable.
    // Without the shape (Enable false) the whole window is.
    bool Contains(int x, int y, int width, int height) const;
    // The pixels of row `y` inside the shape: [left, right); empty when left >= right.
    std::pair<int, int> RowSpan(int y, int width, int height) const;

private:
    void Set(int& field, int value);
    void Apply();

    int m_left = 0;
    int m_top = 0;
    int m_right = 400;
    int m_bottom = 300;
    int m_ellipseWidth = 30;
    int m_ellipseHeight = 30;
    TRgnStyle m_style = TRgnStyle::rsRoundRect;
    bool m_enable = true;
    std::vector<std::pair<int, int>> m_spans;  // per row from m_top
};

}  // namespace kelva
