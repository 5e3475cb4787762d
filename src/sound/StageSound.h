// What the stage asks of the sound layer: music, sounds and CD audio by name. Names are
// script names (CP932, "\" separators), looked up in the package first, then on disk.
#pragma once

#include <optional>
#include <string_view>

namespace kelva {

class StageSound {
public:
    virtual ~StageSound() = default;

    virtual void PlayMusic(std::string_view name, bool loop) = 0;
    virtual void StopMusic() = 0;
    virtual void FadeOutMusic(int milliseconds) = 0;

    virtual void PlaySoundFile(std::string_view name) = 0;
    virtual void StopSoundFile() = 0;
    // True while a sound started by PlaySoundFile is still being heard.
    virtual bool SoundPlaying() = 0;

    virtual void PlayCdTrack(int track) = 0;
    virtual void StopCd() = 0;
    virtual bool CdPlaying() = 0;
    virtual bool MediaPresent() = 0;

    // The version number of the MP3 decoder library (major * 100 + minor) when it is
    // loaded, for the logo screen.
    virtual std::optional<int> DecoderLibraryVersion() = 0;

    // Called often by the window's message loop: notices CD discs and plays on from
    // track to track.
    virtual void Poll() = 0;
};

// No sound at all: every request is accepted and nothing is heard.
class SilentStageSound final : public StageSound {
public:
    void PlayMusic(std::string_view, bool) override {}
    void StopMusic() override {}
    void FadeOutMusic(int) override {}
    void PlaySoundFile(std::string_view) override {}
    void StopSoundFile() override {}
    bool SoundPlaying() override { return false; }
    void PlayCdTrack(int) override {}
    void StopCd() override {}
    bool CdPlaying() override { return false; }
    bool MediaPresent() override { return false; }
    std::optional<int> DecoderLibraryVersion() override { return std::nullopt; }
    void Poll() override {}
};

}  // namespace kelva
