// The wave-audio player the stage uses when the MP3 library is missing: WAVE files only,
// played once through the mixer. It behaves as a media-control wave device does: Open
// waits until the file is ready and refuses anything but WAVE (an MP3 even inside a RIFF
// WAVE) with EMCIDeviceError; Play starts without waiting; Mode tells how it stands.
//
// Threads: every call comes from one thread (the stage's); playback runs on the audio
// thread, and Mode notices when it has reached the end.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "sound/AudioMixer.h"
#include "sound/SoundFileSource.h"

namespace kelva {

// A failure of the wave device; the stage lets it reach the script's error handling.
class EMCIDeviceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class WavePlayerMode {
    NotOpen,  // no file open
    Stopped,  // open and still, also after playing to the end
    Playing,
    Paused,
};

class TWavePlayer {
public:
    // `mixer` is borrowed and must outlive the player.
    explicit TWavePlayer(AudioMixer& mixer);
    // Closes the file, so nothing plays on after the player is gone.
    ~TWavePlayer();
    TWavePlayer(const TWavePlayer&) = delete;
    TWavePlayer& operator=(const TWavePlayer&) = delete;

    // The file Open opens (a path as the file system takes it).
    const std::string& FileName() const { return m_fileName; }
    void SetFileName(std::string fileName) { m_fileName = std::move(fileName); }

    // Opens FileName, closing any file open before; the player is then Stopped at the
    // start. Throws EMCIDeviceError when the file can't be read or isn't WAVE.
    void Open();
    // Plays from the position (from the start again after the end) and returns at once.
    // Throws EMCIDeviceError when no file is open, as do Pause and Stop.
    void Play();
    // Holds the position; Play goes on from it.
    void Pause();
    // Stops, keeping the position.
    void Stop();
    // Stops and closes the file; nothing when none is open.
    void Close();

    WavePlayerMode Mode() const;

private:
    void RequireOpen(const char* operation) const;

    AudioMixer& m_mixer;
    std::string m_fileName;
    std::shared_ptr<SoundFileSource> m_source;  // the open file; null when closed
    bool m_started = false;                     // Play was called since Open or Stop (playing or paused)
    bool m_paused = false;
};

}  // namespace kelva
