#include "sound/SoundStream.h"

#include <algorithm>
#include <filesystem>

namespace kelva {

void ToStereo(const float* in, int channels, size_t frames, float* out)
{
    if (channels == 2) {
        std::copy(in, in + 2 * frames, out);
        return;
    }
    const auto stride = static_cast<size_t>(channels);
    for (size_t i = 0; i < frames; ++i) {
        out[2 * i] = in[i * stride];
        out[2 * i + 1] = in[i * stride + (channels > 1 ? 1 : 0)];
    }
}

int AverageBitrate(const std::string& path, const SoundFormat& format)
{
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    if (error || format.Frames <= 0 || format.SampleRate <= 0) return 0;
    return static_cast<int>(bytes * 8 * static_cast<uint64_t>(format.SampleRate) /
                            static_cast<uint64_t>(format.Frames) / 1000);
}

}  // namespace kelva
