// The player's MIDI outputs: the default output −1 is the built-in synthesizer (FluidSynth,
// playing through the audio mixer); ports 0 … n−1 are the ALSA sequencer's.
//
// The synthesizer's SoundFont is searched for and loaded at the first opening of −1 (it
// takes a moment) and kept for the object's life; later openings reuse it. Without a
// SoundFont −1 can't be opened (kMidiErrorUnavailable) and music is silent.
//
// Threads: any; the synthesizer is set up under a lock of its own.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/MidiPort.h"
#include "platform/alsa/AlsaMidiPorts.h"
#include "platform/fluidsynth/FluidSynth.h"
#include "platform/fluidsynth/SoundFontSearch.h"
#include "sound/AudioMixer.h"

namespace kelva {

class SystemMidiPorts final : public MidiPorts {
public:
    static constexpr const char* kSynthesizerName = "Built-in synthesizer";

    // `mixer` is borrowed and must outlive every port. `soundFont` is the file the user
    // named, or empty. `log` hears which SoundFont was taken (or that none was), and the
    // synthesizer's and the sequencer's own messages; it may be called on any thread.
    // `defaultSoundFonts` stands in for the system's places (see SoundFontSearch).
    SystemMidiPorts(AudioMixer& mixer, std::string soundFont, std::function<void(const std::string&)> log,
                    std::vector<std::string> defaultSoundFonts = DefaultSoundFontPlaces());

    int Count() override;
    MidiPortName Name(int port) override;
    // −1: the synthesizer, unavailable without a SoundFont or while already open.
    MidiPortOpening Open(int port) override;
    std::optional<std::string> ErrorText(MidiResult code) override;

private:
    AudioMixer& m_mixer;
    const SoundFontSearch m_search;
    const std::function<void(const std::string&)> m_log;
    AlsaMidiPorts m_alsa;
    std::mutex m_synthMutex;
    bool m_synthTried = false;            // under m_synthMutex
    std::shared_ptr<FluidSynth> m_synth;  // under m_synthMutex; null without a SoundFont
};

}  // namespace kelva
