// A sound file decoded at its own sample rate, as the file decoders (libsndfile, mpg123)
// deliver it before resampling. Internal to SoundDecoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sound/SoundDecoder.h"

namespace kelva {

class SoundStream {
public:
    // Frames decoded per library call: bounds the scratch buffers whatever the caller asks.
    static constexpr size_t kChunkFrames = 4096;
    // Sample rates outside this range are refused as damaged headers.
    static constexpr int kMinSampleRate = 1000;
    static constexpr int kMaxSampleRate = 768000;

    virtual ~SoundStream() = default;

    // Up to `frames` stereo frames (2 × frames floats) at Format().SampleRate; 0 at the
    // end of the file or when the rest of it can't be decoded.
    virtual size_t Read(float* out, size_t frames) = 0;
    // Moves to `frame` at the stored rate; false when the file can't go there.
    virtual bool Seek(int64_t frame) = 0;
    virtual const SoundFormat& Format() const = 0;
};

// Turns `frames` frames of `channels` interleaved samples into stereo: mono is doubled,
// more than two channels keep the first two (front left and right in WAVE and FLAC).
void ToStereo(const float* in, int channels, size_t frames, float* out);

// The average bit rate of the file at `path` in kilobits per second, for `format`'s
// length; 0 when the length or the file's size is unknown.
int AverageBitrate(const std::string& path, const SoundFormat& format);

}  // namespace kelva
