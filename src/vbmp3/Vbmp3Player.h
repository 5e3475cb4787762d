// The one sound of libvbmp3.so: the open file, its playback in a mixer, and the answers
// of the C functions in vbmp3.h, which forward to the process's single Vbmp3Player.
//
// Threads: every call comes from the caller's one thread; the mixer plays the source on
// the audio thread, and the source guards what both touch.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/sdl/SdlAudioOutput.h"
#include "sound/AudioMixer.h"
#include "sound/SoundDecoder.h"
#include "sound/SoundFileSource.h"
#include "vbmp3/vbmp3.h"

namespace kelva {

class Vbmp3Player {
public:
    static constexpr int kVersion = 100;  // 1.00

    Vbmp3Player() = default;
    // Closes the file and the library's own device, if it opened one.
    ~Vbmp3Player();
    Vbmp3Player(const Vbmp3Player&) = delete;
    Vbmp3Player& operator=(const Vbmp3Player&) = delete;

    bool Open(const char* fileName, vbmp3_Info* info);
    void Close();
    int State(int* seconds) const;
    bool Play();
    bool Stop();
    bool Pause();
    bool Restart();
    bool Seek(int seconds);
    void SetVolume(int left, int right);
    bool TagInfo(vbmp3_TagInfo* tag) const;
    bool MpegInfo(vbmp3_MpegInfo* info) const;
    int PlayMs() const;
    int TotalSeconds() const;
    // `mixer` is borrowed; null goes back to a device of the library's own.
    void SetMixer(AudioMixer* mixer);

private:
    // The mixer the open file is decoded for: the player's, else the library's own.
    int OutputRate() const;
    // Where playback goes; opens the library's own device on first use. Null when
    // that device can't be opened (no sound card): nothing can be heard.
    AudioMixer* Output();
    // The mixer the source may be in: the player's or the library's own; null when
    // the library never made one.
    AudioMixer* CurrentMixer() const;
    bool IsPlaying() const;

    AudioMixer* m_mixer = nullptr;  // borrowed from the player
    std::unique_ptr<AudioMixer> m_ownMixer;
    std::unique_ptr<SdlAudioOutput> m_ownOutput;

    std::shared_ptr<SoundFileSource> m_source;  // the open file; null when closed
    SoundFormat m_format;
    int64_t m_frames = 0;    // length at the output rate
    bool m_playing = false;  // play was called and no stop since (paused included)
    bool m_paused = false;
    int m_left = 100;
    int m_right = 100;
};

}  // namespace kelva
