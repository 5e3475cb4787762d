#include "ui/MenuArtwork.h"

#include <array>
#include <span>
#include <vector>

namespace kelva {

namespace {

constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kInk = MakeColor(40, 40, 80);

// A rounded bar along the whole face with a rim one shade darker, so it reads on white.
TNkDIB BarFace(TColor rim, TColor face)
{
    TNkDIB picture(kMenuButtonWidth, kMenuButtonHeight, 24);
    picture.FillRect(picture.BoundsRect(), kWhite);
    picture.FillRoundRect(TRect{0, 1, kMenuButtonWidth, kMenuButtonHeight - 1}, 28, 28, rim);
    picture.FillRoundRect(TRect{2, 3, kMenuButtonWidth - 2, kMenuButtonHeight - 3}, 24, 24, face);
    return picture;
}

// A rectangle with a one-pixel edge.
void Box(TNkDIB& picture, const TRect& rect, TColor edge, TColor face)
{
    picture.FillRect(rect, edge);
    picture.FillRect(TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1}, face);
}

// A polygon over its own shadow, one pixel down and right, which stands in for an outline.
void Raised(TNkDIB& picture, std::span<const TPoint> points, TColor shadow, TColor face)
{
    std::vector<TPoint> moved(points.begin(), points.end());
    for (TPoint& point : moved) point = {point.X + 1, point.Y + 1};
    picture.FillPolygon(moved, shadow);
    picture.FillPolygon(points, face);
}

void BookmarkTag(TNkDIB& picture)
{
    const std::array<TPoint, 5> outer{TPoint{11, 2}, TPoint{25, 2}, TPoint{25, 29}, TPoint{18, 22},
                                      TPoint{11, 29}};
    const std::array<TPoint, 5> inner{TPoint{13, 4}, TPoint{23, 4}, TPoint{23, 25}, TPoint{18, 20},
                                      TPoint{13, 25}};
    picture.FillPolygon(outer, MakeColor(150, 30, 60));
    picture.FillPolygon(inner, MakeColor(235, 80, 110));
    picture.FillRect(TRect{15, 6, 17, 19}, MakeColor(255, 175, 190));                     // light on its fold
    Box(picture, TRect{16, 0, 20, 4}, MakeColor(150, 30, 60), MakeColor(250, 220, 120));  // the eyelet
}

void TurningBook(TNkDIB& picture)
{
    const TColor edge = MakeColor(110, 80, 50);
    const TColor page = MakeColor(255, 246, 220);
    // The cover shows beneath the two pages, which meet at the spine.
    const std::array<TPoint, 6> cover{TPoint{3, 15},  TPoint{18, 18}, TPoint{33, 15},
                                      TPoint{33, 30}, TPoint{18, 31}, TPoint{3, 30}};
    picture.FillPolygon(cover, MakeColor(60, 90, 200));
    const std::array<TPoint, 4> left{TPoint{5, 13}, TPoint{18, 16}, TPoint{18, 29}, TPoint{5, 27}};
    const std::array<TPoint, 4> right{TPoint{18, 16}, TPoint{31, 13}, TPoint{31, 27}, TPoint{18, 29}};
    Raised(picture, left, edge, page);
    Raised(picture, right, edge, page);
    for (int y : {19, 22, 25}) {  // lines of writing
        picture.FillRect(TRect{8, y, 15, y + 1}, MakeColor(180, 170, 150));
        picture.FillRect(TRect{21, y, 28, y + 1}, MakeColor(180, 170, 150));
    }
    // The green arrow turns a page over from left to right.
    const std::array<TPoint, 10> arc{TPoint{6, 12}, TPoint{8, 6},  TPoint{13, 2}, TPoint{20, 2},
                                     TPoint{23, 4}, TPoint{21, 7}, TPoint{19, 5}, TPoint{14, 5},
                                     TPoint{11, 8}, TPoint{10, 12}};
    const std::array<TPoint, 3> head{TPoint{20, 0}, TPoint{29, 6}, TPoint{19, 11}};
    const TColor green = MakeColor(40, 180, 70);
    const TColor deep = MakeColor(20, 100, 40);
    Raised(picture, arc, deep, green);
    Raised(picture, head, deep, green);
}

void TwoWindows(TNkDIB& picture)
{
    // Behind: a window with a pale title bar; in front, overlapping it, one in the menu's blue.
    Box(picture, TRect{3, 3, 23, 19}, kInk, kWhite);
    picture.FillRect(TRect{4, 4, 22, 8}, MakeColor(150, 150, 230));
    Box(picture, TRect{12, 11, 32, 28}, kInk, MakeColor(235, 240, 255));
    picture.FillRect(TRect{13, 12, 31, 16}, MakeColor(80, 80, 220));
    picture.FillRect(TRect{27, 13, 30, 15}, kWhite);  // the close box
}

void FastForward(TNkDIB& picture)
{
    const TColor shadow = MakeColor(150, 70, 10);
    const TColor face = MakeColor(255, 160, 40);
    for (int left : {4, 17}) {
        const std::array<TPoint, 3> head{TPoint{left, 6}, TPoint{left + 13, 16}, TPoint{left, 26}};
        Raised(picture, head, shadow, face);
    }
}

void ClosedBook(TNkDIB& picture)
{
    // The page block shows at the bottom and the fore-edge, the cover over it.
    Box(picture, TRect{8, 6, 30, 30}, MakeColor(110, 80, 50), MakeColor(255, 246, 220));
    for (int y : {9, 13, 17, 21, 25}) picture.FillRect(TRect{27, y, 29, y + 1}, MakeColor(200, 185, 160));
    Box(picture, TRect{4, 2, 27, 28}, MakeColor(20, 30, 110), MakeColor(60, 90, 210));
    picture.FillRect(TRect{5, 3, 9, 27}, MakeColor(40, 60, 160));                          // the spine
    Box(picture, TRect{12, 8, 23, 14}, MakeColor(20, 30, 110), MakeColor(250, 230, 150));  // the label
}

}  // namespace

TNkDIB MenuButtonPicture(MenuIcon icon, bool highlighted)
{
    if (icon == MenuIcon::Cancel) {
        return highlighted ? BarFace(MakeColor(215, 80, 140), MakeColor(255, 140, 190))
                           : BarFace(MakeColor(245, 180, 205), MakeColor(255, 218, 232));
    }
    TNkDIB picture = highlighted ? BarFace(MakeColor(150, 170, 240), MakeColor(190, 205, 255))
                                 : TNkDIB(kMenuButtonWidth, kMenuButtonHeight, 24);
    if (!highlighted) picture.FillRect(picture.BoundsRect(), kWhite);
    switch (icon) {
        case MenuIcon::BookmarkTag:
            BookmarkTag(picture);
            break;
        case MenuIcon::TurningBook:
            TurningBook(picture);
            break;
        case MenuIcon::TwoWindows:
            TwoWindows(picture);
            break;
        case MenuIcon::FastForward:
            FastForward(picture);
            break;
        case MenuIcon::ClosedBook:
            ClosedBook(picture);
            break;
        case MenuIcon::Cancel:
            break;
    }
    return picture;
}

}  // namespace kelva
