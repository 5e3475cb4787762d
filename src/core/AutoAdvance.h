// Auto-advance: at a key wait the page goes on by itself once the reader has had time to
// read what was typed since the previous key wait (the earlier part of the page was read
// before that wait): AutoAdvanceBaseMs plus AutoAdvancePerCharMs for every character
// shown, blanks not counted. A key switches it on and off; any other key or any click
// switches it off. It acts only at key waits, never over the choices, and its wait
// stands still while a dialog window is up. While it is on, a small sign in the stage's
// top-right corner says so, drawn over the stage as it is shown.
#pragma once

#include <functional>
#include <utility>

#include "core/ReaderSettings.h"
#include "core/Transcript.h"
#include "graphics/StageOverlay.h"

namespace kelva {

class AutoAdvance final : public StageOverlay {
public:
    // The stage pixels the sign covers.
    static const TRect kSignArea;

    // Borrowed. `changed` is told when the sign appears or goes.
    AutoAdvance(const ReaderSettings& settings, Transcript& log, std::function<void(const TRect&)> changed)
        : m_settings(settings), m_log(log), m_changed(std::move(changed))
    {
    }

    bool On() const { return m_on; }
    // On, or off again. Switched on, it waits its whole delay from now.
    void Toggle();
    // Off, if it was on.
    void Stop();
    // A key wait begins with `charactersShown` characters shown since reading started
    // (PlayerState::CharactersShown).
    void KeyWaitBegins(int charactersShown);
    // One timer tick at the key wait, `elapsedMs` after the one before; `paused` while a
    // dialog window is up. True when the page is to go on now.
    bool Due(int elapsedMs, bool paused);
    // How long the current key wait lasts.
    int DelayMs() const;

    void DrawOver(TNkDIB& frame) override;

private:
    void Switch(bool on);

    const ReaderSettings& m_settings;
    Transcript& m_log;
    std::function<void(const TRect&)> m_changed;
    bool m_on = false;
    int m_charactersBefore = 0;  // shown when the previous key wait began
    int m_pageCharacters = 0;    // shown since then, when the current one began
    int m_waitedMs = 0;
};

}  // namespace kelva
