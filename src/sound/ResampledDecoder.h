// A SoundDecoder over a file stream: the stream's stereo frames converted to the output
// rate by libsamplerate (passed through untouched when the rates already match).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sound/SoundDecoder.h"
#include "sound/SoundStream.h"

typedef struct SRC_STATE_tag SRC_STATE;

namespace kelva {

class ResampledDecoder final : public SoundDecoder {
public:
    // Null when `outputRate` can't be reached from the stream's rate, with `error` saying why.
    static std::unique_ptr<ResampledDecoder> Create(std::unique_ptr<SoundStream> stream, int outputRate,
                                                    std::string& error);

    size_t Read(float* out, size_t frames) override;
    bool Rewind() override { return Seek(0); }
    int64_t Frames() const override;
    const SoundFormat& Format() const override { return m_stream->Format(); }
    bool Seek(int64_t frame) override;

private:
    struct Deleter {
        void operator()(SRC_STATE* state) const;
    };

    ResampledDecoder(std::unique_ptr<SoundStream> stream, int outputRate);
    // libsamplerate's input callback: the next chunk of the stream.
    static long Pull(void* self, float** data);

    std::unique_ptr<SoundStream> m_stream;
    const double m_ratio;                             // output frames per input frame
    std::unique_ptr<SRC_STATE, Deleter> m_resampler;  // null when no conversion is needed
    std::vector<float> m_input;                       // the chunk handed to libsamplerate
};

}  // namespace kelva
