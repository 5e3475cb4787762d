// The built-in synthesizer as an open MIDI port: while open, the synthesizer is a source
// of the audio mixer; closing takes it out and silences it, ready for the next opening.
#pragma once

#include <memory>

#include "platform/MidiPort.h"
#include "platform/fluidsynth/FluidSynth.h"
#include "sound/AudioMixer.h"

namespace kelva {

class FluidSynthPort final : public MidiPort {
public:
    // `synth` must have been claimed for this port (FluidSynth::Claim); the port releases
    // it on Close. `mixer` is borrowed and must outlive the port.
    FluidSynthPort(std::shared_ptr<FluidSynth> synth, AudioMixer& mixer);
    ~FluidSynthPort() override;

    MidiResult SendShort(uint32_t message) override;
    MidiResult SendLong(const uint8_t* data, size_t length) override;
    MidiResult Close() override;

private:
    std::shared_ptr<FluidSynth> m_synth;  // null once closed
    AudioMixer& m_mixer;
};

}  // namespace kelva
