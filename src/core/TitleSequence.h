// The title sequence: the logo screen with its music, a pause in black, then the title
// screen waiting for a click. Its steps are counted in ticks outside transitions.
#pragma once

#include <string>

#include "core/PlayerState.h"
#include "core/Transcript.h"
#include "core/Transitions.h"
#include "data/NovelData.h"
#include "graphics/StageImages.h"
#include "platform/FontRasteriser.h"
#include "sound/StageSound.h"

namespace kelva {

class TitleSequence {
public:
    // All borrowed; `timer` sets the frame timer's pace.
    TitleSequence(const CNovelFileHeader& header, StageImages& stage, Transitions& effects, StageSound& sound,
                  FontRasteriser& fonts, Transcript& log, TransitionHost& timer);

    // One tick at step `state.TitleStep`, which it counts on. True when the reader has
    // clicked the waiting title screen: the timer is back at the text pace, the music is
    // stopped and the click taken.
    bool Step(PlayerState& state);
    // The step at which the title screen waits for its click.
    static constexpr int kWaitStep = 142;

private:
    void ShowLogoScreen();
    void ShowTitleScreen();
    void PlayMusic(const std::string& name, bool loop);

    const CNovelFileHeader& m_header;
    StageImages& m_stage;
    Transitions& m_effects;
    StageSound& m_sound;
    FontRasteriser& m_fonts;
    Transcript& m_log;
    TransitionHost& m_timer;
};

}  // namespace kelva
