// The drawing surface of the off-screen image: fills, copies and polygons, each clipped
// to the image and worked a row at a time.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "graphics/NkDIB.h"
#include "graphics/NkDIBRows.h"

namespace kelva {

namespace {

// Clips one axis of an unstretched copy: `length` pixels from `from` in a source of
// `fromLimit` pixels to `to` in a target of `toLimit` pixels.
void ClipAxis(int64_t& from, int64_t& to, int64_t& length, int64_t fromLimit, int64_t toLimit)
{
    if (from < 0) to -= from, length += from, from = 0;
    if (to < 0) from -= to, length += to, to = 0;
    length = std::min({length, fromLimit - from, toLimit - to});
}

// Fills the pixels of row y whose centres lie in [left, right).
void FillCentres(TNkDIB& image, int y, double left, double right, uint32_t value)
{
    const double x0 = std::max(0.0, std::ceil(left - 0.5));
    const double x1 = std::min(static_cast<double>(image.Width()), std::ceil(right - 0.5));
    if (x0 < x1) nkdib::FillSpan(image, y, static_cast<int>(x0), static_cast<int>(x1), value);
}

// Fills every pixel that the segment from `a` to `b` passes through or touches.
void FillSegmentPixels(TNkDIB& image, TPoint a, TPoint b, uint32_t value)
{
    if (a.Y > b.Y) std::swap(a, b);
    const int firstRow = std::max(a.Y, 0);
    const int lastRow = std::min(b.Y, image.Height() - 1);
    for (int y = firstRow; y <= lastRow; ++y) {
        double left = std::min(a.X, b.X), right = std::max(a.X, b.X);
        if (a.Y != b.Y) {
            // The part of the segment within this row's band y..y+1.
            const double slope = (static_cast<double>(b.X) - a.X) / (static_cast<double>(b.Y) - a.Y);
            const double x0 = a.X + (std::max<double>(y, a.Y) - a.Y) * slope;
            const double x1 = a.X + (std::min<double>(y + 1, b.Y) - a.Y) * slope;
            left = std::min(x0, x1), right = std::max(x0, x1);
        }
        const double x0 = std::max(0.0, std::floor(left));
        const double x1 = std::min(static_cast<double>(image.Width()), std::floor(right) + 1);
        if (x0 < x1) nkdib::FillSpan(image, y, static_cast<int>(x0), static_cast<int>(x1), value);
    }
}

// Copies pixel `from` of one row to pixel `to` of another row of the same format.
void CopyRawPixel(const uint8_t* fromRow, int from, uint8_t* toRow, int to, int bitCount)
{
    switch (bitCount) {
        case 24:
            std::memcpy(toRow + to * 3, fromRow + from * 3, 3);
            break;
        case 8:
            toRow[to] = fromRow[from];
            break;
        default:
            nkdib::PutBit(toRow, to, nkdib::GetBit(fromRow, from));
            break;
    }
}

}  // namespace

void TNkDIB::FillRect(const TRect& rect, TColor color)
{
    const TRect r = rect.Intersect(BoundsRect());
    if (r.IsEmpty()) return;
    const uint32_t value = nkdib::StoredValue(*this, color);
    nkdib::FillSpan(*this, r.Top, r.Left, r.Right, value);
    if (m_bitCount == 1) {
        for (int y = r.Top + 1; y < r.Bottom; ++y) nkdib::FillSpan(*this, y, r.Left, r.Right, value);
        return;
    }
    // The first row is the pattern for the others.
    const size_t offset = static_cast<size_t>(r.Left) * m_bitCount / 8;
    const size_t bytes = static_cast<size_t>(r.Width()) * m_bitCount / 8;
    for (int y = r.Top + 1; y < r.Bottom; ++y)
        std::memcpy(ScanLine(y) + offset, ScanLine(r.Top) + offset, bytes);
}

void TNkDIB::CopyRect(const TRect& destRect, const TNkDIB& source, const TRect& sourceRect)
{
    if (destRect.IsEmpty() || sourceRect.IsEmpty() || IsEmpty() || source.IsEmpty()) return;
    if (&source == this) {
        // Overlapping parts of one image: copy from a snapshot.
        const TNkDIB snapshot(*this);
        CopyRect(destRect, snapshot, sourceRect);
        return;
    }
    const bool sameFormat = source.m_bitCount == m_bitCount;
    nkdib::ColorMatcher matcher(m_palette);
    const int64_t destWidth = static_cast<int64_t>(destRect.Right) - destRect.Left;
    const int64_t destHeight = static_cast<int64_t>(destRect.Bottom) - destRect.Top;
    const int64_t sourceWidth = static_cast<int64_t>(sourceRect.Right) - sourceRect.Left;
    const int64_t sourceHeight = static_cast<int64_t>(sourceRect.Bottom) - sourceRect.Top;

    if (destWidth == sourceWidth && destHeight == sourceHeight) {
        int64_t sx = sourceRect.Left, dx = destRect.Left, width = destWidth;
        int64_t sy = sourceRect.Top, dy = destRect.Top, height = destHeight;
        ClipAxis(sx, dx, width, source.m_width, m_width);
        ClipAxis(sy, dy, height, source.m_height, m_height);
        if (width <= 0 || height <= 0) return;
        const int w = static_cast<int>(width);
        if (sameFormat && m_bitCount != 1) {
            const size_t bytesPerPixel = static_cast<size_t>(m_bitCount / 8);
            for (int64_t i = 0; i < height; ++i) {
                std::memcpy(ScanLine(static_cast<int>(dy + i)) + dx * bytesPerPixel,
                            source.ScanLine(static_cast<int>(sy + i)) + sx * bytesPerPixel,
                            w * bytesPerPixel);
            }
        } else if (sameFormat) {
            for (int64_t i = 0; i < height; ++i) {
                const uint8_t* from = source.ScanLine(static_cast<int>(sy + i));
                uint8_t* to = ScanLine(static_cast<int>(dy + i));
                for (int x = 0; x < w; ++x)
                    CopyRawPixel(from, static_cast<int>(sx) + x, to, static_cast<int>(dx) + x, 1);
            }
        } else {
            std::vector<uint8_t> bgr(static_cast<size_t>(w) * 3);
            for (int64_t i = 0; i < height; ++i) {
                nkdib::ReadBgr(source, static_cast<int>(sy + i), static_cast<int>(sx), w, bgr.data());
                nkdib::WriteBgr(*this, static_cast<int>(dy + i), static_cast<int>(dx), w, bgr.data(),
                                matcher);
            }
        }
        return;
    }

    // Stretching: each target pixel takes the source pixel its position maps onto.
    const TRect target = destRect.Intersect(BoundsRect());
    if (target.IsEmpty()) return;
    std::vector<int> columns;  // source column of each target column that has one
    int firstColumn = -1;
    for (int x = target.Left; x < target.Right; ++x) {
        const int64_t sx =
            sourceRect.Left + (x - static_cast<int64_t>(destRect.Left)) * sourceWidth / destWidth;
        if (sx < 0 || sx >= source.m_width) {
            if (firstColumn >= 0) break;  // the mapping only grows: no more columns inside
            continue;
        }
        if (firstColumn < 0) firstColumn = x;
        columns.push_back(static_cast<int>(sx));
    }
    if (columns.empty()) return;
    const int count = static_cast<int>(columns.size());
    std::vector<uint8_t> sourceRow(static_cast<size_t>(source.m_width) * 3);
    std::vector<uint8_t> bgr(static_cast<size_t>(count) * 3);
    for (int y = target.Top; y < target.Bottom; ++y) {
        const int64_t sy =
            sourceRect.Top + (y - static_cast<int64_t>(destRect.Top)) * sourceHeight / destHeight;
        if (sy < 0 || sy >= source.m_height) continue;
        const uint8_t* from = source.ScanLine(static_cast<int>(sy));
        if (sameFormat) {
            uint8_t* to = ScanLine(y);
            for (int i = 0; i < count; ++i) CopyRawPixel(from, columns[i], to, firstColumn + i, m_bitCount);
            continue;
        }
        nkdib::ReadBgr(source, static_cast<int>(sy), 0, source.m_width, sourceRow.data());
        for (int i = 0; i < count; ++i) std::memcpy(&bgr[i * 3], &sourceRow[columns[i] * 3], 3);
        nkdib::WriteBgr(*this, y, firstColumn, count, bgr.data(), matcher);
    }
}

void TNkDIB::Draw(int x, int y, const TNkDIB& source)
{
    CopyRect(TRect::Bounds(x, y, source.Width(), source.Height()), source, source.BoundsRect());
}

void TNkDIB::FillPolygon(std::span<const TPoint> points, TColor color, FillRule rule,
                         PolygonCoverage coverage)
{
    if (points.size() < 3 || IsEmpty()) return;
    if (coverage == PolygonCoverage::Touched) {
        // A pixel the polygon touches either holds part of its outline or lies wholly
        // inside, where its centre is inside too: the outline's pixels and the centre
        // fill below together are every touched pixel.
        const uint32_t value = nkdib::StoredValue(*this, color);
        for (size_t i = 0; i < points.size(); ++i)
            FillSegmentPixels(*this, points[i], points[(i + 1) % points.size()], value);
    }
    int64_t top = points[0].Y, bottom = points[0].Y;
    for (const TPoint& p : points) top = std::min<int64_t>(top, p.Y), bottom = std::max<int64_t>(bottom, p.Y);
    const int firstRow = static_cast<int>(std::max<int64_t>(top, 0));
    const int endRow = static_cast<int>(std::min<int64_t>(bottom, m_height));
    const uint32_t value = nkdib::StoredValue(*this, color);

    struct Crossing {
        double x;
        int direction;
    };
    std::vector<Crossing> crossings;
    for (int y = firstRow; y < endRow; ++y) {
        // Sample at the pixel centres of the row; a centre never lies on a vertex row,
        // so every edge is either crossed or not, without special cases.
        const double centre = y + 0.5;
        crossings.clear();
        for (size_t i = 0; i < points.size(); ++i) {
            const TPoint& a = points[i];
            const TPoint& b = points[(i + 1) % points.size()];
            if (a.Y == b.Y) continue;
            if (centre < std::min(a.Y, b.Y) || centre > std::max(a.Y, b.Y)) continue;
            const double x =
                a.X + (centre - a.Y) * (static_cast<double>(b.X) - a.X) / (static_cast<double>(b.Y) - a.Y);
            crossings.push_back({x, b.Y > a.Y ? 1 : -1});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
        if (rule == FillRule::EvenOdd) {
            for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
                FillCentres(*this, y, crossings[k].x, crossings[k + 1].x, value);
            }
        } else {
            int winding = 0;
            for (size_t k = 0; k + 1 < crossings.size(); ++k) {
                winding += crossings[k].direction;
                if (winding != 0) FillCentres(*this, y, crossings[k].x, crossings[k + 1].x, value);
            }
        }
    }
}

void TNkDIB::FillRoundRect(const TRect& rect, int ellipseWidth, int ellipseHeight, TColor color)
{
    if (rect.IsEmpty()) return;
    const double rx = std::min(ellipseWidth, rect.Width()) / 2.0;
    const double ry = std::min(ellipseHeight, rect.Height()) / 2.0;
    if (rx <= 0 || ry <= 0) {
        FillRect(rect, color);
        return;
    }
    const uint32_t value = nkdib::StoredValue(*this, color);
    const int firstRow = std::max(rect.Top, 0);
    const int endRow = std::min(rect.Bottom, m_height);
    for (int y = firstRow; y < endRow; ++y) {
        const double centre = y + 0.5;
        // Distance of this row into a corner's ellipse, measured from the ellipse centre.
        double dy = 0;
        if (centre < rect.Top + ry) dy = rect.Top + ry - centre;
        if (centre > rect.Bottom - ry) dy = centre - (rect.Bottom - ry);
        double inset = 0;
        if (dy > 0) {
            const double t = dy / ry;
            inset = rx - rx * std::sqrt(std::max(0.0, 1 - t * t));
        }
        FillCentres(*this, y, rect.Left + inset, rect.Right - inset, value);
    }
}

}  // namespace kelva
