#include "sound/StageSoundPlayer.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "data/AtomicFile.h"
#include "data/ShiftJis.h"
#include "data/Stream.h"

namespace kelva {

StageSoundPlayer::StageSoundPlayer(SoundServices services, std::unique_ptr<TCDP> cd, MusicSettings settings,
                                   MidiThread midiThread)
    : m_services(services),
      m_settings(std::move(settings)),
      m_midiThread(midiThread),
      m_midi(services.Ports, services.Time, midiThread),
      m_wavePlayer(services.Mixer),
      m_cd(std::move(cd))
{
    m_midi.SetSkipLeadIn(m_settings.SkipLeadIn);
    m_midi.SetGmOnAtStart(m_settings.GmOnAtStart);
    m_midi.SetGsResetAtStart(m_settings.GsResetAtStart);
    if (m_services.Mp3.IsMp3LibraryLoaded()) m_services.Mp3.SetMixer(&m_services.Mixer);
}

StageSoundPlayer::~StageSoundPlayer()
{
    StopSoundFile();
    // The library must not play into the mixer once the player is gone.
    if (m_services.Mp3.IsMp3LibraryLoaded()) m_services.Mp3.SetMixer(nullptr);
}

void StageSoundPlayer::ShowError(const std::string& text)
{
    m_services.Messages.Show(m_settings.ErrorCaption, text, MessageIcon::Error);
}

void StageSoundPlayer::PlayMusic(std::string_view name, bool loop)
{
    // The output opens with the first song: the synthesizer's SoundFont takes a moment to
    // load and much memory to hold, which a story without music never needs.
    m_midi.OpenDevice(-1);
    try {
        if (std::optional<std::vector<uint8_t>> entry = m_services.Media.ReadEntry(name)) {
            MemoryStream stream(std::move(*entry));
            m_midi.LoadFromStream(stream);
        } else {
            m_midi.LoadFromFile(m_services.Media.DiskPath(name));
        }
    } catch (const EFOpenError& error) {
        // Like any error of a script command: shown, and the story goes on without music.
        ShowError(error.what());
        return;
    }
    m_midi.SetLooping(loop);
    m_midi.Play();
}

void StageSoundPlayer::StopMusic()
{
    m_midi.Stop();
}

void StageSoundPlayer::FadeOutMusic(int milliseconds)
{
    m_midi.FadeOut(milliseconds);
}

void StageSoundPlayer::WriteTemporarySound(const std::vector<uint8_t>& bytes)
{
    // A fixed name in the shared temporary folder would let another user replace the
    // sound or read it: the file goes into a folder of this run's own. The sound is played
    // from that name even when it could not be written (no folder, no room): the wave
    // player's own error on opening it then tells the reader.
    const std::string& folder = m_services.Temporary.Path();
    m_temporarySoundFile =
        (folder.empty() ? std::string("<no temporary folder>") : folder) + "/" + kTemporarySoundName;
    std::string error;
    WriteFileAtomically(m_temporarySoundFile, bytes, error);
}

std::string StageSoundPlayer::FindSound(std::string_view name)
{
    const std::string names[] = {std::string(name), ChangeFileExtension(name, ".WAV"),
                                 ChangeFileExtension(name, ".MP3")};
    if (m_services.Media.Package()) {
        for (const std::string& candidate : names) {
            const std::optional<std::vector<uint8_t>> entry = m_services.Media.ReadEntry(candidate);
            if (!entry) continue;
            WriteTemporarySound(*entry);
            return m_temporarySoundFile;
        }
    }
    for (const std::string& candidate : names) {
        const std::string path = m_services.Media.DiskPath(candidate);
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) return path;
    }
    m_services.Messages.Show(".SoundPlay エラー", "ファイル " + std::string(name) + " がありません.",
                             MessageIcon::Error);
    return {};
}

void StageSoundPlayer::PlaySoundFile(std::string_view name)
{
    StopSoundFile();
    const std::string path = FindSound(name);
    if (path.empty()) return;
    if (m_services.Mp3.IsMp3LibraryLoaded()) {
        // Failures are not reported: the sound is simply not heard.
        m_services.Mp3.Open(path);
        m_services.Mp3.Play();
        return;
    }
    try {
        m_wavePlayer.SetFileName(path);
        m_wavePlayer.Open();
        m_wavePlayer.Play();
    } catch (const EMCIDeviceError& error) {
        ShowError(error.what());
    }
}

void StageSoundPlayer::StopSoundFile()
{
    if (m_services.Mp3.IsMp3LibraryLoaded()) {
        m_services.Mp3.Stop();
        m_services.Mp3.Close();
    } else if (m_wavePlayer.Mode() != WavePlayerMode::NotOpen) {
        m_wavePlayer.Stop();
        m_wavePlayer.Close();
    }
    if (!m_temporarySoundFile.empty()) std::remove(m_temporarySoundFile.c_str());
}

bool StageSoundPlayer::SoundPlaying()
{
    return m_wavePlayer.Mode() == WavePlayerMode::Playing;
}

void StageSoundPlayer::PlayCdTrack(int track)
{
    if (!m_cd) return;
    m_cd->PlayCdTrack(track, [this] { return m_pump ? m_pump() : true; });
}

void StageSoundPlayer::StopCd()
{
    if (m_cd) m_cd->StopCd();
}

bool StageSoundPlayer::CdPlaying()
{
    return m_cd && m_cd->CdMode() == TCDP::kModePlaying;
}

bool StageSoundPlayer::MediaPresent()
{
    return m_cd && m_cd->MediaPresent();
}

std::optional<int> StageSoundPlayer::DecoderLibraryVersion()
{
    if (!m_services.Mp3.IsMp3LibraryLoaded()) return std::nullopt;
    return m_services.Mp3.Version();
}

void StageSoundPlayer::Poll()
{
    if (m_midiThread == MidiThread::None) m_midi.RunCycle();
    if (m_cd) m_cd->Tick();
}

}  // namespace kelva
