#include "core/DebugKeys.h"

#include "core/PausedModal.h"

namespace kelva {

void DebugKeys::HandleKey(Key key)
{
    if (key == Key::F5) {
        ShowCounters();
    } else if (key == Key::F6) {
        ShowJump();
    } else if (key == Key::F7) {
        PanicStop();
    } else if (key == Key::F8 && m_context.Effects.Active()) {
        SkipTransition();
    }
}

void DebugKeys::ShowModal(DialogWindow& window)
{
    ShowModalPaused(m_windows, window, m_timer, m_clock);
}

void DebugKeys::ShowCounters()
{
    CNovelCounters& counters = m_context.Game.Story->Counters;
    if (counters.Count() == 0) return;
    if (!m_counterForm) {
        m_counterForm = std::make_unique<TDebugCounterForm>(m_fonts, counters);
        m_counterForm->OnChange = [this, &counters](int index) {
            const CNovelCounter& counter = counters[index];
            m_context.Log.Event("counter", counter.Name + " = " + std::to_string(counter.Value));
        };
    }
    m_counterForm->Prepare();
    ShowModal(*m_counterForm);
}

void DebugKeys::ShowJump()
{
    if (!m_jumpForm) {
        m_jumpForm = std::make_unique<TDebugJumpForm>(m_fonts, m_context.Game.Story->Items);
        m_jumpForm->OnJump = [this](int item) { Jump(item); };
    }
    m_jumpForm->Prepare(m_context.State.CurrentItem);
    ShowModal(*m_jumpForm);
}

void DebugKeys::Jump(int item)
{
    // Only where reading stands changes: counters, pictures, music and sounds stay.
    m_context.State.CurrentItem = item;
    m_context.State.Position = {1, 0};
    m_host.SetMode(PlayerMode::Text);
    m_host.BeginPage();
    m_host.Present();
    m_context.Log.Event("jump", m_context.Game.Story->Items[item].Name);
}

void DebugKeys::PanicStop()
{
    m_context.Sound.StopMusic();
    m_context.Sound.StopSoundFile();
    m_context.Stage.CharLayer.Clear();
    m_context.Stage.StageImage.Assign(m_context.Stage.BackgroundImage);
    m_host.BeginPage();
    m_host.Present();
}

void DebugKeys::SkipTransition()
{
    m_context.Effects.Finish();
    m_host.BeginPage();
    m_host.Present();
}

}  // namespace kelva
