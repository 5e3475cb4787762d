#include "platform/fluidsynth/FluidSynthPort.h"

namespace kelva {

FluidSynthPort::FluidSynthPort(std::shared_ptr<FluidSynth> synth, AudioMixer& mixer)
    : m_synth(std::move(synth)), m_mixer(mixer)
{
    m_mixer.Add(m_synth);
}

FluidSynthPort::~FluidSynthPort()
{
    Close();
}

MidiResult FluidSynthPort::SendShort(uint32_t message)
{
    return m_synth ? m_synth->SendShort(message) : MidiResult{kMidiErrorNotOpen};
}

MidiResult FluidSynthPort::SendLong(const uint8_t* data, size_t length)
{
    return m_synth ? m_synth->SendLong(data, length) : MidiResult{kMidiErrorNotOpen};
}

MidiResult FluidSynthPort::Close()
{
    if (!m_synth) return kMidiErrorNotOpen;
    // Silenced as well as unmixed: notes still sounding would otherwise resume at the
    // next opening.
    m_mixer.Remove(m_synth.get());
    m_synth->Silence();
    m_synth->Release();
    m_synth.reset();
    return kMidiOk;
}

}  // namespace kelva
