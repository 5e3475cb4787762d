// Sound files for the sound tests, written with libsndfile, and measurements of what a
// decoder delivers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sound/SoundDecoder.h"

namespace kelva::test {

// Sine tones at half full scale, one frequency per channel (0: that channel is silent),
// `seconds` long at `rate`, in libsndfile's `format` (an SF_FORMAT_ major type and
// encoding). MPEG formats get an ID3 tag with `title` when it isn't empty.
void WriteTones(const std::string& path, int format, int rate, const std::vector<double>& frequencies,
                double seconds, const std::string& title = "");

// The bytes of a RIFF WAVE whose data is the MP3 stream `mp3` (format tag 0x55).
std::vector<uint8_t> Mp3InRiff(const std::vector<uint8_t>& mp3, int rate, int channels);

// Everything the decoder delivers from its position to the end, interleaved stereo.
std::vector<float> DecodeAll(SoundDecoder& decoder);

// Frames of interleaved stereo samples.
inline size_t FrameCount(const std::vector<float>& stereo)
{
    return stereo.size() / 2;
}

// How often `channel` (0 left, 1 right) of interleaved stereo samples rises from below
// −0.1 to above +0.1: a tone's frequency times its length, unaffected by codec noise.
int RisingCrossings(const std::vector<float>& stereo, int channel);

// The largest magnitude in `channel` of interleaved stereo samples.
float Peak(const std::vector<float>& stereo, int channel);

}  // namespace kelva::test
