#include "sound/AudioMixer.h"

#include <algorithm>
#include <cmath>

namespace kelva {

AudioMixer::AudioMixer(int sampleRate) : m_sampleRate(sampleRate) {}

void AudioMixer::Add(std::shared_ptr<AudioSource> source)
{
    if (!source) return;
    std::function<void()> onAdd;
    {
        std::lock_guard lock(m_mutex);
        if (std::find(m_sources.begin(), m_sources.end(), source) == m_sources.end())
            m_sources.push_back(std::move(source));
        onAdd = m_onAdd;
    }
    // Outside the lock: starting the device starts pulls, which take the lock.
    if (onAdd) onAdd();
}

bool AudioMixer::HasSources() const
{
    std::lock_guard lock(m_mutex);
    return !m_sources.empty();
}

void AudioMixer::SetOnAdd(std::function<void()> onAdd)
{
    std::lock_guard lock(m_mutex);
    m_onAdd = std::move(onAdd);
}

void AudioMixer::Remove(const AudioSource* source)
{
    // The last reference may be this one: destroy the source outside the lock, so a
    // source whose destructor talks to the mixer can't deadlock.
    std::shared_ptr<AudioSource> removed;
    {
        std::lock_guard lock(m_mutex);
        auto found = std::find_if(m_sources.begin(), m_sources.end(),
                                  [source](const auto& s) { return s.get() == source; });
        if (found == m_sources.end()) return;
        removed = std::move(*found);
        m_sources.erase(found);
    }
}

bool AudioMixer::Contains(const AudioSource* source) const
{
    std::lock_guard lock(m_mutex);
    return std::any_of(m_sources.begin(), m_sources.end(),
                       [source](const auto& s) { return s.get() == source; });
}

void AudioMixer::Render(float* out, size_t frames)
{
    std::fill(out, out + frames * kChannels, 0.0f);
    std::vector<std::shared_ptr<AudioSource>> finished;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_sources.begin(); it != m_sources.end();) {
            if ((*it)->MixInto(out, frames)) {
                ++it;
            } else {
                finished.push_back(std::move(*it));
                it = m_sources.erase(it);
            }
        }
    }
    const size_t samples = frames * kChannels;
    if (m_muted.load()) {
        std::fill(out, out + samples, 0.0f);
        return;
    }
    const float gain = m_gain.load();
    for (size_t i = 0; i < samples; ++i) out[i] = std::clamp(out[i] * gain, -1.0f, 1.0f);
}

void AudioMixer::Render(int16_t* out, size_t frames)
{
    m_scratch.resize(frames * kChannels);
    Render(m_scratch.data(), frames);
    for (size_t i = 0; i < frames * kChannels; ++i)
        out[i] = static_cast<int16_t>(std::lround(m_scratch[i] * 32767.0f));
}

}  // namespace kelva
