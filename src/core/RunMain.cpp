#include "core/RunMain.h"

namespace kelva {

TMainForm::TMainForm(LoadedGame& game, StageWindow& window, Clock& clock, std::optional<bool> fullScreen)
    : m_game(game),
      m_window(window),
      m_clock(clock),
      m_fullScreenOverride(fullScreen),
      m_screen(static_cast<size_t>(kStageWidth) * kStageHeight * 3, 0)
{
    FormCreate();
}

void TMainForm::FormCreate()
{
    CNovelFileHeader& header = m_game.Story->Header;
    if (header.Title.empty()) header.Title = kRuntimeCaption;
    m_window.SetTitle(header.Title);
}

void TMainForm::Present() { m_window.Present(m_screen.data(), kStageWidth * 3); }

void TMainForm::TimerTimer(int /*lagCount*/)
{
    if (!m_modeSwitched) {
        // The window stays invisible until the first tick chooses full screen or window.
        m_modeSwitched = true;
        m_window.Show(m_fullScreenOverride.value_or(!m_game.Story->Header.StartWindowed));
        Present();
    }
}

void TMainForm::Run()
{
    int64_t due = m_clock.NowMs() + m_interval;
    for (;;) {
        const std::optional<InputEvent> event = m_window.WaitEvent(due);
        if (event) {
            if (event->type == InputEvent::Type::Quit) return;
            continue;
        }
        const int64_t now = m_clock.NowMs();
        if (now < due) continue;
        const int lag = static_cast<int>((now - due) / m_interval) + 1;
        due += static_cast<int64_t>(lag) * m_interval;
        TimerTimer(lag);
    }
}

}  // namespace kelva
