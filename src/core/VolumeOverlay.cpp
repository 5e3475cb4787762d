#include "core/VolumeOverlay.h"

#include <string>

namespace kelva {

namespace {

constexpr int kSteps = 10;
constexpr int kStepWidth = 8;
constexpr int kStepGap = 2;

}  // namespace

VolumeOverlay::VolumeOverlay(FontRasteriser& fonts) : m_text(fonts)
{
    m_text.Font = FontSpec{kGothicFace, 12, false};
    m_text.Smooth = false;
    m_text.Decoration = 0;
}

void VolumeOverlay::Show(int percent, bool muted)
{
    m_visible = true;
    m_percent = percent;
    m_muted = muted;
}

void VolumeOverlay::DrawOver(TNkDIB& frame)
{
    if (!m_visible) return;
    const TRect& area = kArea;
    frame.FillRect(area, MakeColor(160, 160, 160));
    frame.FillRect(TRect{area.Left + 1, area.Top + 1, area.Right - 1, area.Bottom - 1},
                   MakeColor(32, 32, 40));
    m_text.Target = &frame;
    m_text.TextColor = MakeColor(240, 240, 240);
    const int textTop = area.Top + 7;
    m_text.DrawText(area.Left + 8, textTop, "音量");
    // Lit steps up to the volume; muted, they stay grey so the level to come back to shows.
    const TColor lit = m_muted ? MakeColor(130, 130, 130) : MakeColor(120, 200, 255);
    const int top = area.Top + 8;
    for (int step = 0; step < kSteps; ++step) {
        const int left = area.Left + 44 + step * (kStepWidth + kStepGap);
        const bool on = step < (m_percent + 5) / 10;
        frame.FillRect(TRect{left, top, left + kStepWidth, top + 13}, on ? lit : MakeColor(64, 64, 72));
    }
    const int labelLeft = area.Left + 44 + kSteps * (kStepWidth + kStepGap) + 6;
    if (m_muted) {
        m_text.TextColor = MakeColor(255, 150, 120);
        m_text.DrawText(labelLeft, textTop, "ミュート");
    } else {
        m_text.DrawText(labelLeft, textTop, std::to_string(m_percent) + "%");
    }
}

}  // namespace kelva
