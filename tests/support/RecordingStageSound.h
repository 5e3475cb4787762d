// A sound layer that writes down what the stage asked of it, one line a call.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sound/StageSound.h"

namespace kelva::test {

class RecordingStageSound final : public StageSound {
public:
    std::vector<std::string> Calls;
    std::optional<int> LibraryVersion;  // the decoder library "loaded" with this version
    bool SoundStillPlaying = false;
    bool CdStillPlaying = false;
    bool DiscPresent = false;

    void PlayMusic(std::string_view name, bool loop) override
    {
        Calls.push_back("music " + std::string(name) + (loop ? " loop" : " once"));
    }
    void StopMusic() override { Calls.push_back("music-stop"); }
    void FadeOutMusic(int milliseconds) override
    {
        Calls.push_back("music-fade " + std::to_string(milliseconds));
    }
    void PlaySoundFile(std::string_view name) override { Calls.push_back("sound " + std::string(name)); }
    void StopSoundFile() override { Calls.push_back("sound-stop"); }
    bool SoundPlaying() override { return SoundStillPlaying; }
    void PlayCdTrack(int track) override { Calls.push_back("cd " + std::to_string(track)); }
    void StopCd() override { Calls.push_back("cd-stop"); }
    bool CdPlaying() override { return CdStillPlaying; }
    bool MediaPresent() override { return DiscPresent; }
    std::optional<int> DecoderLibraryVersion() override { return LibraryVersion; }
    void Poll() override {}
};

}  // namespace kelva::test
