#include "core/StageArtwork.h"

#include <array>
#include <cstdio>

#include "core/KelvaNovelRun.h"
#include "graphics/AntiAliasTextout.h"
#include "graphics/FontSpec.h"

namespace kelva {

namespace {

constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kOutline = MakeColor(40, 24, 8);
constexpr TColor kGold = MakeColor(255, 208, 64);
constexpr TColor kBadgeKey = MakeColor(255, 0, 255);
constexpr TColor kBadgeFace = MakeColor(20, 28, 60);
constexpr TColor kBadgeRim = MakeColor(150, 130, 70);
constexpr int kBadgeWidth = 188;

// A downward arrowhead, its top edge at `top`: the "turn the page" sign. The outline is
// the same shape one pixel larger, so the sign reads on light and dark pictures alike.
void DrawArrowhead(TNkDIB& image, int left, int top)
{
    const std::array<TPoint, 3> outline = {TPoint{left + 3, top}, TPoint{left + 21, top},
                                           TPoint{left + 12, top + 12}};
    const std::array<TPoint, 3> inner = {TPoint{left + 6, top + 2}, TPoint{left + 18, top + 2},
                                         TPoint{left + 12, top + 9}};
    image.FillPolygon(outline, kOutline);
    image.FillPolygon(inner, kGold);
}

}  // namespace

TNkDIB KeyWaitIconFrames()
{
    TNkDIB frames(48, 24, 24);
    frames.FillRect(frames.BoundsRect(), kWhite);
    // The second frame has the arrow three pixels lower: a small bounce as it blinks.
    DrawArrowhead(frames, 0, 6);
    DrawArrowhead(frames, 24, 9);
    return frames;
}

void DrawAutoAdvanceSign(TNkDIB& target, int left, int top)
{
    const TRect plate = TRect::Bounds(left, top, kAutoAdvanceSignWidth, kAutoAdvanceSignHeight);
    target.FillRoundRect(plate, 8, 8, kBadgeRim);
    target.FillRoundRect(TRect{plate.Left + 1, plate.Top + 1, plate.Right - 1, plate.Bottom - 1}, 6, 6,
                         kBadgeFace);
    // The triangle points on, as the page will; the dark plate sets it off without an outline.
    const std::array<TPoint, 3> triangle = {TPoint{left + 8, top + 5}, TPoint{left + 8, top + 15},
                                            TPoint{left + 17, top + 10}};
    target.FillPolygon(triangle, kGold);
    for (const int dot : {22, 27, 32}) target.FillRect(TRect::Bounds(left + dot, top + 9, 3, 3), kGold);
}

TNkDIB PoweredByImage(FontRasteriser& fonts)
{
    TNkDIB badge(kPoweredByWidth, kPoweredByHeight, 24);
    badge.FillRect(badge.BoundsRect(), kBadgeKey);
    // The badge keeps to the left; the version text is drawn to its right.
    badge.FillRoundRect(TRect{0, 0, kBadgeWidth, kPoweredByHeight}, 14, 14, kBadgeRim);
    badge.FillRoundRect(TRect{2, 2, kBadgeWidth - 2, kPoweredByHeight - 2}, 12, 12, kBadgeFace);

    TAntiAliasTextout text(fonts);
    text.Target = &badge;
    text.FilterSize = 3;
    text.Decoration = kDecorationNone;
    text.Font = FontSpec{"Arial", 11, false};
    text.TextColor = MakeColor(200, 200, 210);
    text.DrawText(12, 3, "powered by");
    text.Font = FontSpec{"Arial", 16, true};
    text.TextColor = kGold;
    const char* name = "Kelva! Novel Runtime";
    const TPoint size = text.MeasureText(name);
    text.DrawText((kBadgeWidth - size.X) / 2, 17, name);
    // The corners outside the badge keep the transparent colour; the bottom-left pixel
    // names it.
    badge.FillRect(TRect{0, kPoweredByHeight - 1, 1, kPoweredByHeight}, kBadgeKey);
    return badge;
}

void DrawVersionText(TNkDIB& target, FontRasteriser& fonts, std::optional<int> libraryVersion)
{
    TAntiAliasTextout text(fonts);
    text.Target = &target;
    text.Smooth = true;
    text.FilterSize = 2;
    text.Decoration = kDecorationShadow;
    text.EdgeColor = MakeColor(170, 170, 170);
    text.Font = FontSpec{"Arial", 22, false};
    text.TextColor = MakeColor(255, 34, 0);
    text.DrawText(636 - text.MeasureText(kRuntimeVersion).X, 420, kRuntimeVersion);
    if (!libraryVersion) return;
    char line[64];
    std::snprintf(line, sizeof line, "with VBMP3.DLL %d.%.2d", *libraryVersion / 100, *libraryVersion % 100);
    text.Font = FontSpec{"Arial", 14, true};
    text.TextColor = kWhite;
    text.Decoration = kDecorationOutline;
    text.EdgeColor = MakeColor(0, 0, 0);
    const TPoint size = text.MeasureText(line);
    text.DrawText(636 - size.X, 472 - size.Y, line);
}

void DrawTitleText(TNkDIB& target, FontRasteriser& fonts, std::string_view title)
{
    TAntiAliasTextout text(fonts);
    text.Target = &target;
    text.Smooth = false;
    text.Decoration = kDecorationNone;
    text.Font = FontSpec{kGothicFace, 32, false};
    text.TextColor = kWhite;
    for (const auto& [line, y] : {std::pair<std::string_view, int>{title, 200},
                                  std::pair<std::string_view, int>{"クリックでスタート！", 240}}) {
        text.DrawText(320 - fonts.MeasureText(text.Font, line).Width / 2, y, line);
    }
}

}  // namespace kelva
