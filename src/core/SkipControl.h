// Skip mode: key waits pass by themselves and the text is typed at every 1 ms tick. The
// game menu's "早送り" and a held key (Ctrl; the pad's right shoulder arrives as Ctrl)
// switch it on; the held key only once it has been held a moment alone, so Ctrl+2 and the
// like never skip a page. A click, Space or Enter, the choices and the end of an item (as the
// story's header asks) end it; so do letting the held key go and, when the reader wants
// only text already read skipped, the first page not read before.
#pragma once

#include <cstdint>
#include <optional>

#include "core/PlayerState.h"
#include "core/ReadPages.h"
#include "core/ReaderSettings.h"
#include "core/Transcript.h"
#include "core/Transitions.h"

namespace kelva {

class SkipControl {
public:
    static constexpr int kHoldDelayMs = 250;

    // All borrowed; `timer` is the stage's frame timer and its text pace.
    SkipControl(PlayerState& state, TransitionHost& timer, const ReaderSettings& settings, ReadPages& pages,
                Transcript& log)
        : m_state(state), m_timer(timer), m_settings(settings), m_pages(pages), m_log(log)
    {
    }

    // Starts skipping while the story types text or waits at a key wait. False over the
    // choices and at the title, where there is nothing to skip, and on a page not read
    // before when only read text is skipped.
    bool Start();
    // Ends skipping: the text goes on at the story's pace at once.
    void End();
    // The skip key pressed (true) or let go (false). Skipping starts at the first tick after
    // the key has been held kHoldDelayMs. A key still held after skipping ended for
    // another reason starts nothing until it is pressed again.
    void Hold(bool held);
    // Another key pressed with the skip key held: a chord (Ctrl+2), not a hold to skip.
    void Chord() { m_pressedAtMs.reset(); }
    // Every tick of the frame timer.
    void Tick();
    // Typing starts at `position` of `item`: a page of the read record begins there.
    void TextBegins(const CNovelItem* item, ReadingPosition position);

private:
    bool OnlyReadAndUnread() const { return m_settings.SkipOnlyRead && !m_pages.CurrentRead(); }

    PlayerState& m_state;
    TransitionHost& m_timer;
    const ReaderSettings& m_settings;
    ReadPages& m_pages;
    Transcript& m_log;
    bool m_held = false;                   // the held key started the skipping under way
    std::optional<int64_t> m_pressedAtMs;  // the key is held and skipping not yet started
};

}  // namespace kelva
