#include "sound/CdAudioSource.h"

namespace kelva {

CdAudioSource::CdAudioSource(std::unique_ptr<CdAudioStream> stream, int32_t start, int mixerRate)
    : m_stream(std::move(stream)),
      m_start(start),
      m_step(static_cast<double>(kCdSampleRate) / mixerRate),
      m_chunk(kChunkFrames * 2)
{
}

int32_t CdAudioSource::Position() const
{
    return m_start + static_cast<int32_t>(m_framesTaken.load() / kCdFramesPerSector);
}

bool CdAudioSource::Advance()
{
    if (m_chunkUsed == m_chunkFrames) {
        m_chunkFrames = m_stream->Read(m_chunk.data(), kChunkFrames);
        m_chunkUsed = 0;
        if (m_chunkFrames == 0) return false;
    }
    constexpr float kScale = 1.0f / 32768.0f;
    m_previous = m_next;
    m_next = {m_chunk[m_chunkUsed * 2] * kScale, m_chunk[m_chunkUsed * 2 + 1] * kScale};
    ++m_chunkUsed;
    ++m_taken;
    return true;
}

bool CdAudioSource::MixInto(float* mix, size_t frames)
{
    // A frame the stream can't give yet (a real drive falling behind) is left silent.
    for (size_t i = 0; i < frames; ++i) {
        if (m_step == 1.0) {
            if (!Advance()) break;
            mix[2 * i] += m_next[0];
            mix[2 * i + 1] += m_next[1];
            continue;
        }
        bool ready = true;
        while (ready && m_phase >= 1.0) {
            ready = Advance();
            if (ready) m_phase -= 1.0;
        }
        if (!ready) break;
        const float weight = static_cast<float>(m_phase);
        mix[2 * i] += m_previous[0] + (m_next[0] - m_previous[0]) * weight;
        mix[2 * i + 1] += m_previous[1] + (m_next[1] - m_previous[1]) * weight;
        m_phase += m_step;
    }
    // Finished as soon as the last frame is out, so the next play can follow without a gap.
    if (m_chunkUsed == m_chunkFrames && m_stream->AtEnd()) m_finished.store(true);
    m_framesTaken.store(m_taken);
    return !m_finished.load();
}

}  // namespace kelva
