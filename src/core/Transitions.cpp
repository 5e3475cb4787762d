#include "core/Transitions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "data/CommandStrings.h"
#include "graphics/RunCommon.h"
#include "graphics/StageImages.h"

namespace kelva {

namespace {

enum Effect {
    kNone = 1,
    kBlind = 2,
    kShutter = 3,
    kBlend = 4,
    kPuzzle = 5,
    kRotatingShutter = 6,
    kCamera = 7,
    kWind = 8,
    kCrossLine = 9
};

constexpr int kTileSide = 40;
constexpr int kTileColumns = 16;
constexpr int kTiles = 192;
constexpr int kTilesPerStep = 8;
constexpr int kPuzzleSteps = 26;

// The effects of our own design step every 10 ms: smooth at any display rate without
// redrawing the whole frame more often than it can be shown.
constexpr int kOwnEffectIntervalMs = 10;
// CAMERA: the radius that reaches the stage's corners from its centre.
constexpr int kIrisRadius = 400;
// WIND: bands of 4 rows, each lagging the front by up to 160 pixels.
constexpr int kWindBandHeight = 4;
constexpr int kWindBands = 480 / kWindBandHeight;
constexpr int kWindMaxLag = 160;
constexpr int kWindGust = 24;
// CROSSLINE: bands of 16 rows sliding in from alternate sides.
constexpr int kCrossBandHeight = 16;

// A parameter outside its effect's range, negative ones included, counts as 1.
int EffectParam(int effect, int value)
{
    const int limit = effect == kBlind ? 2 : 4;
    return value <= 0 || value > limit ? 1 : value;
}

}  // namespace

void Transitions::SetDefaultEffect()
{
    m_state.Effect = FadeEffectNumber(m_header.BgEffect);
    m_state.Param = EffectParam(m_state.Effect, m_header.BgEffectParam);
    m_state.Duration = m_header.BgEffectTime;
}

void Transitions::SetEffect(std::string_view name, std::string_view param, std::string_view time)
{
    const int picture = FadeEffectNumber(m_header.BgEffect);
    int effect = picture;
    if (!name.empty()) {
        effect = EffectTokenNumber(name);
        // An unknown name leaves the picture effect, as "DEFAULT" does.
        if (effect == 0) effect = picture;
    }
    const int value = param.empty() ? 1 : TokenToInt(param);
    const int duration = time.empty() ? m_header.BgEffectTime : TokenToInt(time);
    m_state.Effect = effect;
    m_state.Param = EffectParam(effect, value);
    m_state.Duration = duration;
}

void Transitions::StartTransition()
{
    m_state.Active = true;
    m_state.Tick = 0;
    const int effect = m_state.Effect;
    const std::string name = effect >= 0 && effect < kFadeEffectCount
                                 ? kFadeEffectNames[static_cast<size_t>(effect)]
                                 : std::to_string(effect);
    m_log.Event("transition",
                name + " " + std::to_string(m_state.Param) + " " + std::to_string(m_state.Duration));
}

void Transitions::Finish()
{
    if (!m_state.Active) return;
    End();
    m_host.SetTimerInterval(m_host.TextInterval());
}

void Transitions::End()
{
    m_state.Active = false;
    m_log.Event("transition-end");
}

int Transitions::Progress()
{
    const int64_t elapsed = m_host.NowMs() - m_state.StartTime;
    return static_cast<int>(std::min<int64_t>(100, elapsed * 100 / m_state.Duration));
}

void Transitions::Reveal(const TRect& rect)
{
    const TRect clipped = rect.Intersect(m_stage.StageImage.BoundsRect());
    if (!clipped.IsEmpty()) m_stage.ScreenImage.CopyRect(clipped, m_stage.StageImage, clipped);
}

void Transitions::StepBlind()
{
    if (m_state.Tick == 0) m_host.SetTimerInterval(m_state.Duration / 20);
    const int p = Progress();
    const int h = p * 20 / 100;
    if (m_state.Param == 2) {
        for (int i = 0; i < 32; ++i) Reveal(TRect::Bounds(20 * i, 0, h, 480));
    } else {
        for (int i = 0; i < 24; ++i) Reveal(TRect::Bounds(0, 20 * i, 640, h));
    }
    m_host.Present();
    if (p >= 100) Finish();
}

void Transitions::StepShutter()
{
    if (m_state.Tick == 0) m_host.SetTimerInterval(1);
    const int p = Progress();
    TRect rect;
    switch (m_state.Param) {
        case 2:
            rect = {(100 - p) * 640 / 100, 0, 640, 480};
            break;
        case 3:
            rect = {0, 0, 640, p * 480 / 100};
            break;
        case 4:
            rect = {0, (100 - p) * 480 / 100, 640, 480};
            break;
        default:
            rect = {0, 0, p * 640 / 100, 480};
            break;
    }
    Reveal(rect);
    m_host.PresentRect(rect);
    if (p >= 100) Finish();
}

void Transitions::StepBlend()
{
    if (m_state.Tick == 0) {
        m_host.SetTimerInterval(1);
        m_stage.WorkImage.Assign(m_stage.ScreenImage);
    }
    const int p = Progress();
    BlendFrame(m_stage.Blend, m_stage.StageImage, m_stage.WorkImage, m_stage.ScreenImage, p);
    m_host.Present();
    if (p >= 100) Finish();
}

void Transitions::StepPuzzle()
{
    if (m_state.Tick == 0) {
        m_host.SetTimerInterval(m_state.Duration / 24);
        // A random permutation: the i-th draw picks among the tiles not yet taken.
        std::array<int, kTiles> draws;
        for (int i = 0; i < kTiles; ++i) draws[i] = static_cast<int>(m_random.NextUpTo(kTiles - 1 - i));
        std::array<bool, kTiles> taken{};
        for (int i = 0; i < kTiles; ++i) {
            int seen = -1;
            for (int tile = 0; tile < kTiles; ++tile) {
                if (taken[tile] || ++seen != draws[i]) continue;
                taken[tile] = true;
                m_state.TileOrder[i] = static_cast<int16_t>(tile);
                break;
            }
        }
    }
    const int first = std::min(kTilesPerStep * m_state.Tick, kTiles - kTilesPerStep);
    for (int i = first; i < first + kTilesPerStep; ++i) {
        const int tile = m_state.TileOrder[i];
        Reveal(TRect::Bounds(kTileSide * (tile % kTileColumns), kTileSide * (tile / kTileColumns), kTileSide,
                             kTileSide));
    }
    m_host.Present();
    if (m_state.Tick + 1 >= kPuzzleSteps) Finish();
}

void Transitions::StepRotatingShutter()
{
    const int64_t now = m_host.NowMs();
    const int duration = m_state.Duration;
    if (m_state.Tick == 0) {
        m_host.SetTimerInterval(1);
        m_state.StartTime = m_state.LastTime = now;
        m_state.Elapsed = 0;
        m_stage.WorkImage = TNkDIB(kStageWidth, kStageHeight, 1);
        m_stage.WorkImage.SetPalette({MakeColor(0, 0, 0), MakeColor(255, 255, 255)});
    }
    const int a = std::min(100, static_cast<int>(int64_t{m_state.Elapsed} * 100 / duration));
    // A late tick advances the sweep by a tenth at most: it falls behind instead of jumping.
    m_state.Elapsed += static_cast<int>(std::min<int64_t>(now - m_state.LastTime, duration / 10));
    const int b = std::min(100, static_cast<int>(int64_t{m_state.Elapsed} * 100 / duration) + 2);
    m_state.LastTime = now;

    const bool anticlockwise = m_state.Param == 2;
    const double from = (anticlockwise ? 100 - a : a) / 100.0 * 2 * std::numbers::pi;
    const double to = (anticlockwise ? 100 - b : b) / 100.0 * 2 * std::numbers::pi;
    const auto rim = [](double angle) {
        return TPoint{static_cast<int>(std::sin(angle) * 430) + 320,
                      static_cast<int>(std::cos(angle) * -430) + 240};
    };
    std::array<TPoint, 4> wedge = {TPoint{320, 240}, rim(from), rim(to), TPoint{320, 240}};
    TRect area{std::min({wedge[0].X, wedge[1].X, wedge[2].X}), std::min({wedge[0].Y, wedge[1].Y, wedge[2].Y}),
               std::max({wedge[0].X, wedge[1].X, wedge[2].X}),
               std::max({wedge[0].Y, wedge[1].Y, wedge[2].Y})};
    area = area.Intersect(TRect{0, 0, 640, 480});
    // The wedge is widened at the centre so consecutive wedges leave no gap there.
    if (b < 25) {
        wedge[3].X += 2;
    } else if (b < 50) {
        wedge[0].X += 2;
    } else if (b < 75) {
        wedge[3].X -= 2;
    } else {
        wedge[0].X -= 2;
    }
    TNkDIB& mask = m_stage.WorkImage;
    mask.FillRect(area, MakeColor(0, 0, 0));
    mask.FillPolygon(wedge, MakeColor(255, 255, 255), FillRule::EvenOdd, PolygonCoverage::Touched);
    MaskedCopy(m_stage.StageImage, m_stage.ScreenImage, mask, area);
    m_host.PresentRect(area);
    if (b >= 100) Finish();
}

void Transitions::StepCamera()
{
    // A camera's iris: it closes on the old picture down to black, then opens on the new.
    if (m_state.Tick == 0) {
        m_host.SetTimerInterval(kOwnEffectIntervalMs);
        m_stage.WorkImage.Assign(m_stage.ScreenImage);
    }
    const int p = Progress();
    const bool opening = p >= 50;
    const TNkDIB& inside = opening ? m_stage.StageImage : m_stage.WorkImage;
    const double radius = kIrisRadius * (opening ? p - 50 : 50 - p) / 50.0;
    TNkDIB& screen = m_stage.ScreenImage;
    const TColor black = MakeColor(0, 0, 0);
    for (int y = 0; y < kStageHeight; ++y) {
        const double dy = y + 0.5 - kStageHeight / 2;
        const double squared = radius * radius - dy * dy;
        const int half = squared > 0 ? static_cast<int>(std::sqrt(squared)) : 0;
        const int left = kStageWidth / 2 - half;
        const int right = kStageWidth / 2 + half;
        screen.FillRect(TRect{0, y, std::max(0, left), y + 1}, black);
        screen.FillRect(TRect{std::min(kStageWidth, right), y, kStageWidth, y + 1}, black);
        if (half > 0) {
            const TRect span = TRect{left, y, right, y + 1}.Intersect(screen.BoundsRect());
            screen.CopyRect(span, inside, span);
        }
    }
    m_host.Present();
    if (p >= 100) Finish();
}

void Transitions::StepWind()
{
    // The new picture blows in from the left in ragged streaks: each band of rows lags
    // the front by its own amount, which wanders from band to band like gusts.
    if (m_state.Tick == 0) {
        m_host.SetTimerInterval(kOwnEffectIntervalMs);
        int lag = static_cast<int>(m_random.NextUpTo(kWindMaxLag));
        for (int band = 0; band < kWindBands; ++band) {
            lag = std::clamp(lag + static_cast<int>(m_random.NextUpTo(2 * kWindGust)) - kWindGust, 0,
                             kWindMaxLag);
            m_state.TileOrder[static_cast<size_t>(band)] = static_cast<int16_t>(lag);
        }
    }
    const int p = Progress();
    const int front = p * (kStageWidth + kWindMaxLag) / 100;
    for (int band = 0; band < kWindBands; ++band) {
        const int width = std::clamp(front - m_state.TileOrder[static_cast<size_t>(band)], 0, kStageWidth);
        Reveal(TRect::Bounds(0, band * kWindBandHeight, width, kWindBandHeight));
    }
    m_host.Present();
    if (p >= 100) Finish();
}

void Transitions::StepCrossLine()
{
    // Bands of the new picture slide over the old one, alternately from the left and the
    // right, and meet in place at the end.
    if (m_state.Tick == 0) m_host.SetTimerInterval(kOwnEffectIntervalMs);
    const int p = Progress();
    const int offset = (100 - p) * kStageWidth / 100;
    for (int top = 0, band = 0; top < kStageHeight; top += kCrossBandHeight, ++band) {
        const int bottom = std::min(kStageHeight, top + kCrossBandHeight);
        if (band % 2 == 0) {
            m_stage.ScreenImage.CopyRect(TRect{0, top, kStageWidth - offset, bottom}, m_stage.StageImage,
                                         TRect{offset, top, kStageWidth, bottom});
        } else {
            m_stage.ScreenImage.CopyRect(TRect{offset, top, kStageWidth, bottom}, m_stage.StageImage,
                                         TRect{0, top, kStageWidth - offset, bottom});
        }
    }
    m_host.Present();
    if (p >= 100) Finish();
}

void Transitions::StepNone()
{
    // Shown at once; the timer interval is left as it is.
    m_stage.ScreenImage.Assign(m_stage.StageImage);
    m_host.Present();
    End();
}

void Transitions::StepTransition()
{
    if (!m_state.Active) return;
    // A time of 0 or less has no progress to measure: the change is shown at once.
    const bool timed = m_state.Duration > 0;
    if (m_state.Tick == 0) m_state.StartTime = m_host.NowMs();
    switch (timed ? m_state.Effect : kNone) {
        case kBlind:
            StepBlind();
            break;
        case kShutter:
            StepShutter();
            break;
        case kBlend:
            StepBlend();
            break;
        case kPuzzle:
            StepPuzzle();
            break;
        case kRotatingShutter:
            StepRotatingShutter();
            break;
        case kCamera:
            StepCamera();
            break;
        case kWind:
            StepWind();
            break;
        case kCrossLine:
            StepCrossLine();
            break;
        default:
            StepNone();
            break;  // NONE, 0 for an unknown picture effect, numbers above 9
    }
    ++m_state.Tick;
}

}  // namespace kelva
