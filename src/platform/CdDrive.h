// CD drives for CD audio: real drives, and stand-ins for readers without one (a disc
// image, a folder of ripped tracks). All look the same to the CD player.
//
// Positions and lengths on a disc are counted in sectors of 1/75 s (the frames of a
// minute:second:frame time); one sector holds 588 stereo frames of 16-bit 44100 Hz audio.
//
// Threads: a drive is used from the main thread; an audio stream it hands out is read on
// the audio thread while the main thread goes on asking the drive about its disc. The
// drive stays open and alive while any of its streams exists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelva {

inline constexpr int kCdSectorsPerSecond = 75;
inline constexpr int kCdFramesPerSector = 588;
inline constexpr int kCdSampleRate = kCdSectorsPerSecond * kCdFramesPerSector;
inline constexpr int kCdSectorBytes = kCdFramesPerSector * 4;

// One track of the disc's table of contents.
struct CdTrack {
    int32_t Start = 0;   // first sector
    int32_t Length = 0;  // sectors up to the next track's start (or the end of the disc)
    bool Audio = false;  // false for a data track, which has no sound to play
};

enum class CdDiscState {
    Ready,     // a disc is in and can be read
    NotReady,  // a disc is in but can't be read yet (spinning up)
    NoDisc,
    TrayOpen,
};

// Audio read from a range of the disc, in order.
class CdAudioStream {
public:
    virtual ~CdAudioStream() = default;

    // Writes up to `frames` stereo frames (interleaved left, right, signed 16-bit, host
    // byte order) to `out` and answers how many. Fewer than asked means the range ended
    // (AtEnd) or, for a real drive, that reading fell behind: the caller plays silence
    // for the rest and asks again. Called on the audio thread, so it never waits long.
    virtual size_t Read(int16_t* out, size_t frames) = 0;
    // Whether every frame of the range has been read out.
    virtual bool AtEnd() const = 0;
};

class CdDrive {
public:
    virtual ~CdDrive() = default;

    // What the drive is called in the drive list (a device path, an image file, a folder).
    virtual const std::string& Name() const = 0;

    // Makes the drive usable; false, with `error` saying why, when it can't be opened.
    // Opening an open drive succeeds.
    virtual bool Open(std::string& error) = 0;
    virtual void Close() = 0;

    // Only meaningful while open; a closed drive answers NoDisc and no tracks.
    virtual CdDiscState DiscState() = 0;
    // The table of contents: tracks 1 … size(); empty without a readable disc.
    virtual std::vector<CdTrack> Tracks() = 0;
    // The audio of sectors [start, end). Sectors of data tracks and gaps read as silence.
    // Null, with `error` saying why, when the disc can't be read there.
    virtual std::unique_ptr<CdAudioStream> ReadAudio(int32_t start, int32_t end, std::string& error) = 0;
};

}  // namespace kelva
