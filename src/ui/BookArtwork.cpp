#include "ui/BookArtwork.h"

#include <array>

namespace kelva {

namespace {

constexpr TColor kWhite = MakeColor(255, 255, 255);

// The ribbon's outline: a band leaning the way its writing runs (67 degrees below the
// horizontal), cut into a swallowtail; `inset` shrinks it for the stitch line and face.
std::array<TPoint, 5> RibbonOutline(int inset)
{
    return {TPoint{-8 + inset, 0}, TPoint{46 - inset, 0}, TPoint{156 - inset, 262 - inset},
            TPoint{124, 246 + inset}, TPoint{106 + inset, 272 - inset}};
}

}  // namespace

TNkDIB RibbonPicture(bool highlighted)
{
    const TColor edge = highlighted ? MakeColor(90, 90, 220) : MakeColor(130, 130, 220);
    const TColor face = highlighted ? MakeColor(200, 200, 255) : MakeColor(232, 232, 255);
    const TColor stitch = highlighted ? MakeColor(150, 150, 250) : MakeColor(190, 190, 245);
    const TColor seal = highlighted ? MakeColor(70, 50, 150) : MakeColor(110, 60, 80);
    TNkDIB picture(kRibbonWidth, kRibbonHeight, 24);
    picture.FillRect(picture.BoundsRect(), kWhite);
    picture.FillPolygon(RibbonOutline(0), edge);
    picture.FillPolygon(RibbonOutline(4), stitch);
    picture.FillPolygon(RibbonOutline(6), face);
    // A shadow where the ribbon leaves the book's top edge.
    picture.FillRect(TRect{0, 0, 48, 5}, edge);
    // The seal behind the number, with a light ring.
    picture.FillRoundRect(TRect{23, 53, 77, 107}, 54, 54, edge);
    picture.FillRoundRect(TRect{26, 56, 74, 104}, 48, 48, seal);
    return picture;
}

TNkDIB ArrowPicture(bool pointsLeft, bool highlighted)
{
    constexpr int kWidth = 33;
    constexpr int kHeight = 96;
    const TColor outer = highlighted ? MakeColor(100, 100, 240) : MakeColor(160, 160, 255);
    const TColor inner = highlighted ? MakeColor(180, 180, 255) : MakeColor(230, 230, 255);
    TNkDIB picture(kWidth, kHeight, 24);
    picture.FillRect(picture.BoundsRect(), kWhite);
    auto head = [&](int inset, TColor colour) {
        const int tip = pointsLeft ? inset : kWidth - inset;
        const int back = pointsLeft ? kWidth - inset : inset;
        const std::array<TPoint, 3> points{TPoint{back, inset * 2}, TPoint{tip, kHeight / 2},
                                           TPoint{back, kHeight - inset * 2}};
        picture.FillPolygon(points, colour);
    };
    head(0, outer);
    head(6, inner);
    head(12, outer);
    return picture;
}

}  // namespace kelva
