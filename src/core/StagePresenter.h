// Shows the stage in its window. Drawing only marks an area changed; the presenter
// composes the stage's screen image with the overlays drawn over it (the debug bar, the
// dialog windows) and hands the window the part that really differs from what it shows,
// at most once per display refresh and outside the timer's ticks, so presenting never
// slows text or transitions. A tick that redraws the same pixels presents nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "graphics/NkDIB.h"
#include "graphics/StageOverlay.h"
#include "platform/Clock.h"
#include "platform/Window.h"

namespace kelva {

class StagePresenter {
public:
    // `screen` is the stage's screen image; everything is borrowed.
    StagePresenter(StageWindow& window, Clock& clock, const TNkDIB& screen);

    // Overlays are drawn in the order added, the last on top.
    void AddOverlay(StageOverlay& overlay) { m_overlays.push_back(&overlay); }
    void RemoveOverlay(StageOverlay& overlay) { std::erase(m_overlays, &overlay); }

    // From now on the window shows what is presented (the window has been shown); the
    // first present is the whole stage.
    void Start();
    // The whole stage may have changed.
    void MarkChanged() { MarkChanged(TRect{0, 0, kStageWidth, kStageHeight}); }
    // Pixels inside `area` may have changed.
    void MarkChanged(const TRect& area);
    // Shows what changed if the last present is a refresh ago, or at once with `force`
    // (the window is about to show or save it).
    void Flush(bool force);
    // The picture the window shows, the latest changes shown first (overlays included);
    // null before the window has shown anything.
    const TNkDIB* ShownPicture();
    // When a changed picture is due to be shown; nullopt when nothing is to be shown.
    std::optional<int64_t> DueMs() const;

private:
    // The part of `area` where the composed frame differs from the shown one.
    TRect ChangedPart(const TRect& area) const;

    StageWindow& m_window;
    Clock& m_clock;
    const TNkDIB& m_screen;
    std::vector<StageOverlay*> m_overlays;
    TNkDIB m_composed;  // the screen with the overlays over it
    TNkDIB m_shown;     // what the window shows
    bool m_started = false;
    bool m_shownValid = false;
    TRect m_dirty;  // empty when nothing changed
    int64_t m_lastPresent = -1000;
};

}  // namespace kelva
