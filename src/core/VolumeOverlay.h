// The volume shown over the stage for a moment after a volume key: a small dark panel in
// the bottom right corner, clear of the first lines of text and of the debug bar, with
// "音量", a bar of ten steps and the percentage, or "ミュート" with the bar greyed.
#pragma once

#include "graphics/AntiAliasTextout.h"
#include "graphics/StageOverlay.h"

namespace kelva {

class VolumeOverlay final : public StageOverlay {
public:
    // The stage pixels the panel covers.
    static constexpr TRect kArea{420, 440, 628, 468};

    explicit VolumeOverlay(FontRasteriser& fonts);

    // What the panel shows while visible.
    void Show(int percent, bool muted);
    void Hide() { m_visible = false; }
    bool Visible() const { return m_visible; }
    void DrawOver(TNkDIB& frame) override;

private:
    TAntiAliasTextout m_text;
    bool m_visible = false;
    int m_percent = 100;
    bool m_muted = false;
};

}  // namespace kelva
