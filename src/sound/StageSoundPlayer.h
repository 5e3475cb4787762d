// The stage's sound: MIDI music through the MIDI file player, sounds through the MP3
// library when it is loaded and through the wave player otherwise, and CD audio. Names
// come from the story (CP932, "\" separators) and are looked for in the package first,
// then on disk.
//
// Threads: every call comes from the main thread; the MIDI player and the mixer run
// threads of their own.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "data/MediaFiles.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/MidiPort.h"
#include "platform/TemporaryFolder.h"
#include "sound/AudioMixer.h"
#include "sound/Cdp.h"
#include "sound/MidiDrv.h"
#include "sound/StageSound.h"
#include "sound/Vbmp3.h"
#include "sound/WavePlayer.h"

namespace kelva {

// The name a sound taken from the package is written to, inside the run's temporary folder.
inline constexpr const char* kTemporarySoundName = "$KNOVELTEMP_SND$";

// What the story's header asks of the MIDI player, and the caption of its error boxes.
struct MusicSettings {
    bool SkipLeadIn = false;
    bool GmOnAtStart = false;
    bool GsResetAtStart = false;
    std::string ErrorCaption;
};

// The parts the player plays through; all borrowed and outliving it.
struct SoundServices {
    MidiPorts& Ports;
    Clock& Time;
    AudioMixer& Mixer;
    Mp3Library& Mp3;
    MediaFiles& Media;
    MessageBox& Messages;
    TemporaryFolder& Temporary;  // where a sound from the package is written to be played
};

class StageSoundPlayer final : public StageSound {
public:
    // Hands the MP3 library the mixer when it is loaded. The default MIDI output opens
    // with the first song (silently nothing when there is none). With MidiThread::None the
    // music moves only when Poll is called (a replay on the virtual clock: a thread of
    // its own would push that clock on by itself).
    StageSoundPlayer(SoundServices services, std::unique_ptr<TCDP> cd, MusicSettings settings,
                     MidiThread midiThread = MidiThread::Start);
    // Stops everything and removes the temporary sound file.
    ~StageSoundPlayer() override;
    StageSoundPlayer(const StageSoundPlayer&) = delete;
    StageSoundPlayer& operator=(const StageSoundPlayer&) = delete;

    // What runs the window's messages while the CD command waits for a disc; it answers
    // false when the window is closing. Without one the wait only sleeps.
    void SetMessagePump(std::function<bool()> pump) { m_pump = std::move(pump); }

    void PlayMusic(std::string_view name, bool loop) override;
    void StopMusic() override;
    void FadeOutMusic(int milliseconds) override;
    void PlaySoundFile(std::string_view name) override;
    void StopSoundFile() override;
    bool SoundPlaying() override;
    void PlayCdTrack(int track) override;
    void StopCd() override;
    bool CdPlaying() override;
    bool MediaPresent() override;
    std::optional<int> DecoderLibraryVersion() override;
    void Poll() override;

    // The temporary sound file's path; empty until a sound has been taken from the package.
    const std::string& TemporarySoundFile() const { return m_temporarySoundFile; }
    TMidiDrive& Midi() { return m_midi; }
    TWavePlayer& WavePlayer() { return m_wavePlayer; }

private:
    // Where the sound `name` is to be played from: the package entry written to the
    // temporary file, or a file on disk; empty when it is nowhere.
    std::string FindSound(std::string_view name);
    // Writes a package entry to the temporary sound file, as far as it can.
    void WriteTemporarySound(const std::vector<uint8_t>& bytes);
    void ShowError(const std::string& text);

    SoundServices m_services;
    MusicSettings m_settings;
    const MidiThread m_midiThread;
    TMidiDrive m_midi;
    TWavePlayer m_wavePlayer;
    std::unique_ptr<TCDP> m_cd;
    std::function<bool()> m_pump;
    std::string m_temporarySoundFile;  // kept once set, as the file may be made again
};

}  // namespace kelva
