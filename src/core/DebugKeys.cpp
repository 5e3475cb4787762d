#include "core/DebugKeys.h"

namespace kelva {

void DebugKeys::HandleKey(Key key)
{
    if (key == Key::F7) {
        PanicStop();
    } else if (key == Key::F8 && m_effects.Active()) {
        SkipTransition();
    }
}

void DebugKeys::PanicStop()
{
    m_sound.StopMusic();
    m_sound.StopSoundFile();
    m_stage.CharLayer.Clear();
    m_stage.StageImage.Assign(m_stage.BackgroundImage);
    m_pages.BeginPage();
    m_pages.Present();
}

void DebugKeys::SkipTransition()
{
    m_effects.Finish();
    m_pages.BeginPage();
    m_pages.Present();
}

}  // namespace kelva
