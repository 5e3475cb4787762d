#include "sound/ResampledDecoder.h"

#include <samplerate.h>

#include <cmath>

namespace kelva {

void ResampledDecoder::Deleter::operator()(SRC_STATE* state) const
{
    src_delete(state);
}

std::unique_ptr<ResampledDecoder> ResampledDecoder::Create(std::unique_ptr<SoundStream> stream,
                                                           int outputRate, std::string& error)
{
    const int inputRate = stream->Format().SampleRate;
    if (inputRate <= 0 || outputRate <= 0 ||
        !src_is_valid_ratio(static_cast<double>(outputRate) / inputRate)) {
        error = std::to_string(inputRate) + " Hz から " + std::to_string(outputRate) + " Hz へ変換できません";
        return nullptr;
    }
    std::unique_ptr<ResampledDecoder> decoder(new ResampledDecoder(std::move(stream), outputRate));
    if (inputRate != outputRate) {
        int status = 0;
        // The fastest of the band-limited converters: clean enough for sound effects and
        // music, and cheap enough to run on the audio thread beside the other sources.
        decoder->m_resampler.reset(src_callback_new(&Pull, SRC_SINC_FASTEST, 2, &status, decoder.get()));
        if (!decoder->m_resampler) {
            error = src_strerror(status);
            return nullptr;
        }
        decoder->m_input.resize(SoundStream::kChunkFrames * 2);
    }
    return decoder;
}

ResampledDecoder::ResampledDecoder(std::unique_ptr<SoundStream> stream, int outputRate)
    : m_stream(std::move(stream)), m_ratio(static_cast<double>(outputRate) / m_stream->Format().SampleRate)
{
}

long ResampledDecoder::Pull(void* self, float** data)
{
    auto* decoder = static_cast<ResampledDecoder*>(self);
    *data = decoder->m_input.data();
    return static_cast<long>(decoder->m_stream->Read(decoder->m_input.data(), SoundStream::kChunkFrames));
}

size_t ResampledDecoder::Read(float* out, size_t frames)
{
    if (!m_resampler) return m_stream->Read(out, frames);
    const long got = src_callback_read(m_resampler.get(), m_ratio, static_cast<long>(frames), out);
    return got > 0 ? static_cast<size_t>(got) : 0;
}

int64_t ResampledDecoder::Frames() const
{
    const int64_t frames = m_stream->Format().Frames;
    return frames < 0 ? -1 : std::llround(static_cast<double>(frames) * m_ratio);
}

bool ResampledDecoder::Seek(int64_t frame)
{
    if (!m_stream->Seek(std::llround(static_cast<double>(frame) / m_ratio))) return false;
    if (m_resampler) src_reset(m_resampler.get());
    return true;
}

}  // namespace kelva
