// Shows the stage in its window. Drawing only marks the picture changed; the presenter
// composes the stage's screen image with the overlays drawn over it (the debug bar, the
// dialog windows) and hands it to the window at most once per display refresh, outside
// the timer's ticks, so presenting never slows text or transitions.
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

    // From now on the window shows what is presented (the window has been shown).
    void Start() { m_started = true; }
    void MarkChanged() { m_changed = true; }
    // Shows the picture if it changed and the last present is a refresh ago, or at once
    // with `force` (the window is about to show or save it).
    void Flush(bool force);
    // When a changed picture is due to be shown; nullopt when nothing is to be shown.
    std::optional<int64_t> DueMs() const;

private:
    StageWindow& m_window;
    Clock& m_clock;
    const TNkDIB& m_screen;
    std::vector<StageOverlay*> m_overlays;
    TNkDIB m_composed;
    bool m_started = false;
    bool m_changed = false;
    int64_t m_lastPresent = -1000;
};

}  // namespace kelva
