// A sound file played into the mixer: once, or over and over (CD tracks ripped to files),
// with a volume per channel, pause and seek.
//
// Threads: the owner's thread calls everything below; the mixer calls MixInto on the
// audio thread, which decodes there (the files are small and decoding is cheap beside
// the device's buffer time). The decoder is guarded by a lock that only Seek contends.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "sound/AudioMixer.h"
#include "sound/SoundDecoder.h"

namespace kelva {

class SoundFileSource final : public AudioSource {
public:
    enum class Repeat { Once, Loop };

    SoundFileSource(std::unique_ptr<SoundDecoder> decoder, Repeat repeat);

    bool MixInto(float* mix, size_t frames) override;

    // Gains 0.0 (silent) to 1.0 (as decoded) for the left and right channel.
    void SetVolume(float left, float right);
    // A paused source stays in the mixer and adds nothing.
    void SetPaused(bool paused);
    // Ends playback: the mixer drops the source at its next turn.
    void Stop();
    // Moves to `frame` at the mixer's rate and clears Finished; false when the file
    // can't go there.
    bool Seek(int64_t frame);

    // Frames at the mixer's rate from the start of the file to the playing position.
    int64_t Position() const { return m_position.load(); }
    // The file has been played to its end, or Stop was called.
    bool Finished() const { return m_finished.load(); }

private:
    static constexpr size_t kChunkFrames = 1024;

    // Decodes the next frames, looping if asked; false at the end. Called with m_mutex held.
    size_t Decode(float* out, size_t frames);

    const Repeat m_repeat;
    std::mutex m_mutex;  // guards m_decoder and m_chunk
    std::unique_ptr<SoundDecoder> m_decoder;
    std::vector<float> m_chunk;  // decoded frames before the volume is applied
    std::atomic<float> m_left{1.0f};
    std::atomic<float> m_right{1.0f};
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_finished{false};
    std::atomic<int64_t> m_position{0};
};

}  // namespace kelva
