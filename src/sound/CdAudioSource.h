// CD audio in the mixer: one play of a range of the disc, converted from 16-bit 44100 Hz
// to the mixer's float samples and rate.
//
// Threads: made and asked on the main thread; MixInto reads the drive's stream on the
// audio thread. Position and Finished are safe from any thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/CdDrive.h"
#include "sound/AudioMixer.h"

namespace kelva {

class CdAudioSource final : public AudioSource {
public:
    // Plays `stream`, which starts at sector `start`, into a mixer running at `mixerRate`.
    CdAudioSource(std::unique_ptr<CdAudioStream> stream, int32_t start, int mixerRate);

    bool MixInto(float* mix, size_t frames) override;

    // The sector being played.
    int32_t Position() const;
    // Every frame of the range has been played; the mixer drops the source then.
    bool Finished() const { return m_finished.load(); }

private:
    static constexpr size_t kChunkFrames = 1024;

    // Moves m_next on to the next frame of the stream; false when there is none yet (the
    // drive fell behind) or any more (the range ended).
    bool Advance();

    std::unique_ptr<CdAudioStream> m_stream;
    const int32_t m_start;
    const double m_step;  // stream frames per mixer frame
    std::vector<int16_t> m_chunk;
    size_t m_chunkFrames = 0;  // frames in m_chunk
    size_t m_chunkUsed = 0;    // of which already taken
    // Linear interpolation between two stream frames when the rates differ.
    std::array<float, 2> m_previous{};
    std::array<float, 2> m_next{};
    double m_phase = 1.0;                   // where between m_previous and m_next the next output lies
    int64_t m_taken = 0;                    // stream frames taken, on the audio thread
    std::atomic<int64_t> m_framesTaken{0};  // the same, for Position
    std::atomic<bool> m_finished{false};
};

}  // namespace kelva
