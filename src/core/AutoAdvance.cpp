#include "core/AutoAdvance.h"

#include <algorithm>
#include <cstdint>

#include "core/StageArtwork.h"
#include "platform/Window.h"

namespace kelva {

namespace {
constexpr int kSignMargin = 8;
}  // namespace

const TRect AutoAdvance::kSignArea =
    TRect::Bounds(kStageWidth - kSignMargin - kAutoAdvanceSignWidth, kSignMargin, kAutoAdvanceSignWidth,
                  kAutoAdvanceSignHeight);

void AutoAdvance::Switch(bool on)
{
    if (m_on == on) return;
    m_on = on;
    m_waitedMs = 0;
    m_log.Event("auto-advance", on ? "on" : "off");
    m_changed(kSignArea);
}

void AutoAdvance::Toggle()
{
    Switch(!m_on);
}

void AutoAdvance::Stop()
{
    Switch(false);
}

void AutoAdvance::KeyWaitBegins(int charactersShown)
{
    m_pageCharacters = std::max(0, charactersShown - m_charactersBefore);
    m_charactersBefore = charactersShown;
    m_waitedMs = 0;
}

int AutoAdvance::DelayMs() const
{
    const int64_t delay =
        int64_t{m_settings.AutoAdvanceBaseMs} + int64_t{m_settings.AutoAdvancePerCharMs} * m_pageCharacters;
    return static_cast<int>(std::clamp<int64_t>(delay, 0, INT32_MAX));
}

bool AutoAdvance::Due(int elapsedMs, bool paused)
{
    if (!m_on || paused) return false;
    m_waitedMs = static_cast<int>(std::min<int64_t>(int64_t{m_waitedMs} + elapsedMs, INT32_MAX));
    if (m_waitedMs < DelayMs()) return false;
    m_waitedMs = 0;
    return true;
}

void AutoAdvance::DrawOver(TNkDIB& frame)
{
    if (m_on) DrawAutoAdvanceSign(frame, kSignArea.Left, kSignArea.Top);
}

}  // namespace kelva
