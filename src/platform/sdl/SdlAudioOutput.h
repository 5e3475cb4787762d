// The process's one audio device: SDL's default output, fed by the mixer from SDL's
// audio thread. Signed 16-bit stereo at the mixer's rate; SDL converts to whatever the
// hardware takes. The device opens with the mixer's first source, so a story that plays
// no sound keeps no audio thread waking. No device (no sound card, no server) means no
// sound, never a failure: the output then stays closed and Error says why.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "sound/AudioMixer.h"

namespace kelva {

class SdlAudioOutput {
public:
    // Pulls from `mixer`, which must outlive the output, once it has a source. `log` hears
    // why the device could not be opened.
    explicit SdlAudioOutput(AudioMixer& mixer, std::function<void(const std::string&)> log = {});
    // Stops the device (no more pulls from the mixer after this returns) and closes it.
    ~SdlAudioOutput();
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    // Opens the device now rather than with the first source; only the first call tries.
    void Open();
    bool IsOpen() const;
    // Why the device isn't open; empty when it is or was not tried yet.
    std::string Error() const;

private:
    static void Fill(void* self, uint8_t* stream, int bytes);

    AudioMixer& m_mixer;
    const std::function<void(const std::string&)> m_log;
    mutable std::mutex m_lock;  // over everything below
    bool m_tried = false;
    bool m_subsystem = false;  // this object's SDL_InitSubSystem succeeded
    uint32_t m_device = 0;     // SDL_AudioDeviceID; 0 when closed
    std::string m_error;
};

}  // namespace kelva
