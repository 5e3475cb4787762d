// The built-in software synthesizer: FluidSynth with one General MIDI SoundFont, pulled
// by our audio mixer (it has no audio driver of its own).
//
// Threads: the senders are called by the port's one user while the mixer's audio thread
// renders; FluidSynth's own lock keeps the two apart. The log sink may be called on any
// thread that talks to FluidSynth.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/MidiPort.h"
#include "sound/AudioMixer.h"

using fluid_settings_t = struct _fluid_hashtable_t;
using fluid_synth_t = struct _fluid_synth_t;

namespace kelva {

class FluidSynth final : public AudioSource {
public:
    using Log = std::function<void(const std::string&)>;

    // FluidSynth's default gain of 0.2 leaves music far quieter than full-scale sounds.
    // At 0.6 a four-part tune with drums at ordinary velocities peaks just under full
    // scale (0.94 with TimGM6mb) and the demo's gentler tune at 0.42; much more and
    // fuller scores clip in the mixer.
    static constexpr double kGain = 0.6;
    // GS and XG messages in MIDI files are addressed to device 0x10; FluidSynth answers
    // only its own device number (0 unless told) and the broadcast 0x7F.
    static constexpr int kDeviceId = 0x10;

    // A synthesizer at `sampleRate` with the first of `soundFonts` that FluidSynth loads;
    // nullptr when none loads. Says through `log` which one was taken, or that none
    // was, and from then on passes FluidSynth's (and libinstpatch's) own messages to
    // it until the synthesizer is destroyed or another one is made.
    static std::shared_ptr<FluidSynth> Create(int sampleRate, const std::vector<std::string>& soundFonts,
                                              Log log);
    ~FluidSynth() override;
    FluidSynth(const FluidSynth&) = delete;
    FluidSynth& operator=(const FluidSynth&) = delete;

    // Short and long messages as MidiPort takes them. Any well-formed message is
    // accepted, even one the synthesizer has nothing to do with (a note-off for a note
    // that isn't sounding): it was delivered.
    MidiResult SendShort(uint32_t message);
    MidiResult SendLong(const uint8_t* data, size_t length);
    // Every voice stops at once (the reverb's tail fades as it would).
    void Silence();

    // One user at a time: Claim answers false while another holds the synthesizer.
    bool Claim();
    void Release();

    bool MixInto(float* mix, size_t frames) override;

private:
    struct SettingsDeleter {
        void operator()(fluid_settings_t* settings) const;
    };
    struct SynthDeleter {
        void operator()(fluid_synth_t* synth) const;
    };

    FluidSynth() = default;

    std::unique_ptr<fluid_settings_t, SettingsDeleter> m_settings;
    std::unique_ptr<fluid_synth_t, SynthDeleter> m_synth;  // after the settings: destroyed first
    uint64_t m_logToken = 0;                               // this synthesizer's hold on the log, see Create
    std::atomic<bool> m_claimed{false};
    static constexpr size_t kChunkFrames = 256;
    std::array<float, kChunkFrames * AudioMixer::kChannels> m_chunk{};  // only used under the mixer's lock
};

}  // namespace kelva
