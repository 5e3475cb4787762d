// Transitions: how a change of the stage reaches the screen. A transition brings
// ScreenImage (the old picture) over to StageImage tick by tick; while it runs, the
// interpreter waits.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/Transcript.h"
#include "data/NovelData.h"
#include "data/Random.h"
#include "graphics/NkDIB.h"

namespace kelva {

class StageImages;

// What a running transition needs from the stage window.
class TransitionHost {
public:
    virtual ~TransitionHost() = default;
    virtual void Present() = 0;
    virtual void PresentRect(const TRect& rect) = 0;
    virtual void SetTimerInterval(int milliseconds) = 0;
    // The interval the timer returns to when a transition ends.
    virtual int TextInterval() const = 0;
    virtual int64_t NowMs() = 0;
};

struct TransitionState {
    bool Active = false;
    int Effect = 0;
    int Param = 1;
    int Duration = 500;  // milliseconds
    int Tick = 0;        // steps done; 0: the next step is the first
    int64_t StartTime = 0;
    int64_t LastTime = 0;
    int Elapsed = 0;
    std::array<int16_t, 192> TileOrder{};  // PUZZLE's tile order; WIND's lag of each band
};

class Transitions {
public:
    Transitions(const CNovelFileHeader& header, StageImages& stage, TransitionHost& host, Random& random,
                Transcript& log)
        : m_header(header), m_stage(stage), m_host(host), m_random(random), m_log(log)
    {
    }

    // The header's picture effect, its parameter (0 taken as 1) and its time.
    void SetDefaultEffect();
    // Each argument may be empty (absent). A name starting with a digit is an effect
    // number; "DEFAULT", "0", an unknown or absent name give the header's picture effect.
    // Throws NumberConversionError for a parameter or time that is not an integer.
    void SetEffect(std::string_view name = {}, std::string_view param = {}, std::string_view time = {});
    // The selected transition runs from the next tick on.
    void StartTransition();
    // One tick of the running transition.
    void StepTransition();
    // Ends the running transition where it stands (the caller shows the stage).
    void Finish();

    bool Active() const { return m_state.Active; }
    const TransitionState& State() const { return m_state; }

private:
    // Marks the transition over, leaving the timer as it is.
    void End();
    void StepNone();
    // Per cent of Duration since the first step, at most 100.
    int Progress();
    // Copies `rect` (right and bottom excluded) of the stage onto the screen.
    void Reveal(const TRect& rect);
    void StepBlind();
    void StepShutter();
    void StepBlend();
    void StepPuzzle();
    void StepRotatingShutter();
    void StepCamera();
    void StepWind();
    void StepCrossLine();

    const CNovelFileHeader& m_header;
    StageImages& m_stage;
    TransitionHost& m_host;
    Random& m_random;
    Transcript& m_log;
    TransitionState m_state;
};

}  // namespace kelva
