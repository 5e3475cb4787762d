#include "core/Transitions.h"

#include "core/CommandStrings.h"
#include "graphics/StageImages.h"

namespace kelva {

void Transitions::SetDefaultEffect()
{
    m_state.Effect = FadeEffectNumber(m_header.BgEffect);
    m_state.Param = m_header.BgEffectParam == 0 ? 1 : m_header.BgEffectParam;
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
    m_state.Param = value == 0 ? 1 : value;
    m_state.Duration = duration;
}

void Transitions::StartTransition()
{
    m_state.Active = true;
    m_state.Tick = 0;
}

void Transitions::Stop()
{
    m_state.Active = false;
    m_host.SetTimerInterval(m_host.TextInterval());
}

void Transitions::Finish() { m_state.Active = false; }

void Transitions::StepNone()
{
    m_stage.ScreenImage.Assign(m_stage.StageImage);
    m_host.Present();
    Finish();
}

void Transitions::StepTransition()
{
    if (!m_state.Active) return;
    // Every effect shows the new stage at once for now; the animated effects step
    // through their own routines.
    StepNone();
    ++m_state.Tick;
}

}  // namespace kelva
