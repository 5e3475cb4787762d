// The one audio output of the process. Everything that makes sound (the synthesizer, the
// wave player, CD audio, the MP3 library) is a source added to this mixer; the audio
// device, or a test, pulls the sum out of it. A second audio device would fail or corrupt
// the output, so nothing opens one beside it.
//
// Threads: sources are added and removed on any thread; Render runs on the audio thread
// (or a test's). A source's MixInto is only ever called from Render, under the mixer's
// lock, so once Remove returns the source is neither being mixed nor will be again. The
// master gain and muting are set on any thread and take effect with the next Render.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace kelva {

class AudioSource {
public:
    virtual ~AudioSource() = default;

    // Adds the next `frames` stereo frames (interleaved left, right; full scale ±1.0, at
    // the mixer's SampleRate) to `mix`. Answers false once the source has nothing more to
    // play; the mixer then drops it. Runs on the audio thread: it must not block for long.
    virtual bool MixInto(float* mix, size_t frames) = 0;
};

class AudioMixer {
public:
    static constexpr int kDefaultSampleRate = 44100;
    static constexpr int kChannels = 2;

    explicit AudioMixer(int sampleRate = kDefaultSampleRate);
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    int SampleRate() const { return m_sampleRate; }

    // Starts mixing `source`; adding one already present does nothing.
    void Add(std::shared_ptr<AudioSource> source);
    // Stops mixing `source`; nothing when it isn't present.
    void Remove(const AudioSource* source);
    // Whether `source` is still being mixed (it is dropped when it answers false).
    bool Contains(const AudioSource* source) const;
    bool HasSources() const;
    // `onAdd` is called after each Add, outside the mixer's lock and on the adding
    // thread: the audio device can start with the first sound. Empty to stop.
    void SetOnAdd(std::function<void()> onAdd);

    // The reader's master volume over the sum: 1 leaves it as mixed, 0 silences it.
    void SetGain(float gain) { m_gain.store(gain); }
    // Muted, the sources still play on (music keeps its place) but nothing is heard.
    void SetMuted(bool muted) { m_muted.store(muted); }

    // The sum of all sources for the next `frames` stereo frames, times the master gain,
    // clipped to full scale.
    void Render(float* out, size_t frames);
    // The same as signed 16-bit samples, as the audio device takes them.
    void Render(int16_t* out, size_t frames);

private:
    const int m_sampleRate;
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<AudioSource>> m_sources;
    std::function<void()> m_onAdd;
    std::atomic<float> m_gain{1.0f};
    std::atomic<bool> m_muted{false};
    std::vector<float> m_scratch;  // Render's float sum for the 16-bit output
};

}  // namespace kelva
