// The author's keys in debug mode: F7 stops everything (music, sound, characters) and F8
// skips the running transition.
#pragma once

#include "core/StageCommands.h"
#include "platform/Keys.h"

namespace kelva {

class DebugKeys {
public:
    // All borrowed.
    DebugKeys(StageImages& stage, Transitions& effects, StageSound& sound, PageHost& pages)
        : m_stage(stage), m_effects(effects), m_sound(sound), m_pages(pages)
    {
    }

    // Carries out `key` if it is one of them.
    void HandleKey(Key key);

private:
    void PanicStop();
    void SkipTransition();

    StageImages& m_stage;
    Transitions& m_effects;
    StageSound& m_sound;
    PageHost& m_pages;
};

}  // namespace kelva
