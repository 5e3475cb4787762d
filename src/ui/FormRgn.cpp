#include "ui/FormRgn.h"

#include <algorithm>
#include <cmath>

namespace kelva {

namespace {

// How far into a row at height `dy` (pixel centre to ellipse centre) an ellipse of radii
// rx, ry reaches on either side of its centre; negative when the row misses it.
double HalfChord(double dy, double rx, double ry)
{
    if (rx <= 0 || ry <= 0) return 0;
    const double t = 1.0 - (dy * dy) / (ry * ry);
    return t < 0 ? -1 : rx * std::sqrt(t);
}

}  // namespace

void TFormRgn::Set(int& field, int value)
{
    field = value;
    Apply();
}

void TFormRgn::SetStyle(TRgnStyle style)
{
    m_style = style;
    Apply();
}

void TFormRgn::SetEnable(bool enable)
{
    m_enable = enable;
    Apply();
}

void TFormRgn::Apply()
{
    m_spans.clear();
    const int height = std::max(0, m_bottom - m_top);
    m_spans.reserve(static_cast<size_t>(height));
    const double width = m_right - m_left;
    for (int y = m_top; y < m_bottom; ++y) {
        const double cy = y + 0.5;
        int left = m_left;
        int right = m_right;
        if (m_style == TRgnStyle::rsEllipse) {
            const double half = HalfChord(cy - (m_top + m_bottom) / 2.0, width / 2, height / 2.0);
            const double middle = (m_left + m_right) / 2.0;
            // Pixels whose centre lies within [middle - half, middle + half].
            left = half < 0 ? 0 : static_cast<int>(std::ceil(middle - half - 0.5));
            right = half < 0 ? 0 : static_cast<int>(std::floor(middle + half - 0.5)) + 1;
        } else if (m_style == TRgnStyle::rsRoundRect) {
            const double rx = std::min(m_ellipseWidth, m_right - m_left) / 2.0;
            const double ry = std::min(m_ellipseHeight, height) / 2.0;
            // The row's distance into the nearer rounded band, from the ellipse centres.
            const double dy =
                cy < m_top + ry ? m_top + ry - cy : (cy > m_bottom - ry ? cy - (m_bottom - ry) : 0);
            if (dy > 0) {
                const double half = HalfChord(dy, rx, ry);
                left = half < 0 ? 0 : static_cast<int>(std::ceil(m_left + rx - half - 0.5));
                right = half < 0 ? 0 : static_cast<int>(std::floor(m_right - rx + half - 0.5)) + 1;
            }
        }
        m_spans.emplace_back(left, std::max(left, right));
    }
}

std::pair<int, int> TFormRgn::RowSpan(int y, int width, int height) const
{
    if (y < 0 || y >= height) return {0, 0};
    if (!m_enable) return {0, width};
    if (y < m_top || y >= m_bottom) return {0, 0};
    const auto [left, right] = m_spans[static_cast<size_t>(y - m_top)];
    return {std::max(0, left), std::min(width, right)};
}

bool TFormRgn::Contains(int x, int y, int width, int height) const
{
    const auto [left, right] = RowSpan(y, width, height);
    return x >= left && x < right;
}

}  // namespace kelva
