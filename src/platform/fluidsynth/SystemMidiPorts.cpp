#include "platform/fluidsynth/SystemMidiPorts.h"

#include "platform/fluidsynth/FluidSynthPort.h"

namespace kelva {

SystemMidiPorts::SystemMidiPorts(AudioMixer& mixer, std::string soundFont,
                                 std::function<void(const std::string&)> log,
                                 std::vector<std::string> defaultSoundFonts)
    : m_mixer(mixer),
      m_search(std::move(soundFont), std::move(defaultSoundFonts)),
      m_log(log),
      m_alsa(std::move(log))
{
}

int SystemMidiPorts::Count()
{
    return m_alsa.Count();
}

MidiPortName SystemMidiPorts::Name(int port)
{
    if (port == -1) return {kSynthesizerName, kMidiOk};
    return m_alsa.Name(port);
}

MidiPortOpening SystemMidiPorts::Open(int port)
{
    if (port != -1) return m_alsa.Open(port);
    std::lock_guard lock(m_synthMutex);
    if (!m_synthTried) {
        // Once only: a failed search would otherwise be repeated, and logged, at every
        // song.
        m_synthTried = true;
        m_synth = FluidSynth::Create(m_mixer.SampleRate(), m_search.Candidates(m_log), m_log);
    }
    if (!m_synth || !m_synth->Claim()) return {nullptr, kMidiErrorUnavailable};
    return {std::make_unique<FluidSynthPort>(m_synth, m_mixer), kMidiOk};
}

std::optional<std::string> SystemMidiPorts::ErrorText(MidiResult code)
{
    // The synthesizer answers only the common codes.
    return m_alsa.ErrorText(code);
}

}  // namespace kelva
