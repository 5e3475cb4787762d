// The title screen and the start of a reading.
#include "core/RunMain.h"

namespace kelva {

void TMainForm::StepTitle()
{
    ++m_state.TitleStep;
    if (!m_state.Click.Pressed) return;
    m_state.Click.Clear();
    SetTimerInterval(m_textInterval);
    m_services.Sound.StopMusic();
    StartStory();
}

void TMainForm::StartStory()
{
    const CNovelFileHeader& header = m_story.Header;
    SetMode(PlayerMode::Text);
    BeginPage();
    const int start = m_story.Items.IndexOf(header.StartItem);
    m_state.CurrentItem = start < 0 ? 0 : start;
    m_state.Position = {1, 0};
    m_services.Log.Event("start", CurrentItem() ? CurrentItem()->Name : std::string());
    for (const char* line : {".MidiStop", ".SoundStop", ".CDStop"}) {
        ParseCommand(line, m_tokens);
        ExecuteCommand();
    }
    m_stage.CharLayer.Clear();
    m_stage.StageImage.FillRect(TRect{0, 0, kStageWidth, kStageHeight}, MakeColor(0, 0, 0));
    m_transitions.StartTransition();
    m_textInterval = header.FrameInterval;
    m_state.PageCounter = 0;
    m_state.PlayNumber = 1;
}

}  // namespace kelva
