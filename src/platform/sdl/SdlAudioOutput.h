// The process's one audio device: SDL's default output, fed by the mixer from SDL's
// audio thread. Signed 16-bit stereo at the mixer's rate; SDL converts to whatever the
// hardware takes. No device (no sound card, no server) means no sound, never a failure:
// the output then stays closed and Error says why.
#pragma once

#include <cstdint>
#include <string>

#include "sound/AudioMixer.h"

namespace kelva {

class SdlAudioOutput {
public:
    // Opens the device and starts pulling from `mixer`, which must outlive the output.
    explicit SdlAudioOutput(AudioMixer& mixer);
    // Stops the device (no more pulls from the mixer after this returns) and closes it.
    ~SdlAudioOutput();
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    bool IsOpen() const { return m_device != 0; }
    // Why the device isn't open; empty when it is.
    const std::string& Error() const { return m_error; }

private:
    static void Fill(void* self, uint8_t* stream, int bytes);

    AudioMixer& m_mixer;
    bool m_subsystem = false;  // this object's SDL_InitSubSystem succeeded
    uint32_t m_device = 0;     // SDL_AudioDeviceID; 0 when closed
    std::string m_error;
};

}  // namespace kelva
