#include "sound/SoundFileSource.h"

#include <algorithm>

namespace kelva {

SoundFileSource::SoundFileSource(std::unique_ptr<SoundDecoder> decoder, Repeat repeat)
    : m_repeat(repeat), m_decoder(std::move(decoder)), m_chunk(kChunkFrames * AudioMixer::kChannels)
{
}

bool SoundFileSource::MixInto(float* mix, size_t frames)
{
    if (m_finished.load()) return false;
    if (m_paused.load()) return true;

    std::lock_guard lock(m_mutex);
    const float left = m_left.load();
    const float right = m_right.load();
    size_t done = 0;
    while (done < frames) {
        const size_t got = Decode(m_chunk.data(), std::min(frames - done, kChunkFrames));
        if (got == 0) {
            m_finished = true;
            break;
        }
        float* out = mix + done * AudioMixer::kChannels;
        for (size_t i = 0; i < got; ++i) {
            out[2 * i] += m_chunk[2 * i] * left;
            out[2 * i + 1] += m_chunk[2 * i + 1] * right;
        }
        done += got;
        m_position += static_cast<int64_t>(got);
    }
    // The frames mixed before the end are heard all the same: the mixer keeps them.
    return !m_finished.load();
}

size_t SoundFileSource::Decode(float* out, size_t frames)
{
    const size_t got = m_decoder->Read(out, frames);
    if (got > 0 || m_repeat == Repeat::Once) return got;
    // Looping: back to the start. A file that yields nothing even then is over, so an
    // empty or unreadable file can't spin the audio thread.
    if (!m_decoder->Rewind()) return 0;
    m_position = 0;
    return m_decoder->Read(out, frames);
}

void SoundFileSource::SetVolume(float left, float right)
{
    m_left = std::clamp(left, 0.0f, 1.0f);
    m_right = std::clamp(right, 0.0f, 1.0f);
}

void SoundFileSource::SetPaused(bool paused)
{
    m_paused = paused;
}

void SoundFileSource::Stop()
{
    m_finished = true;
}

bool SoundFileSource::Seek(int64_t frame)
{
    std::lock_guard lock(m_mutex);
    const int64_t target = std::max<int64_t>(frame, 0);
    if (!m_decoder->Seek(target)) return false;
    m_position = target;
    m_finished = false;
    return true;
}

}  // namespace kelva
