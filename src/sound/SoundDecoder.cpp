#include "sound/SoundDecoder.h"

#include <algorithm>
#include <vector>

#include "sound/Mpg123Stream.h"
#include "sound/ResampledDecoder.h"
#include "sound/SndFileStream.h"

namespace kelva {

std::unique_ptr<SoundDecoder> SoundDecoder::Open(const std::string& path, int outputRate, std::string& error)
{
    // By content, never by name: libsndfile knows the containers; a bare MPEG stream
    // (which recent libsndfile also reads) goes to mpg123, which alone reports its
    // version, bit rate and ID3 tags, so MP3 behaves alike on every libsndfile version.
    std::string sndfileError;
    std::unique_ptr<SoundStream> stream = SndFileStream::Open(path, sndfileError);
    std::string mpegError;
    if (!stream || stream->Format().Kind == SoundFormat::Container::Mpeg) {
        if (auto mpeg = Mpg123Stream::Open(path, mpegError)) stream = std::move(mpeg);
    }
    if (!stream) {
        error = "サウンドファイル \"" + path + "\" を読めません：" + sndfileError + "（MPEG として：" +
                mpegError + "）";
        return nullptr;
    }

    std::string resampleError;
    auto decoder = ResampledDecoder::Create(std::move(stream), outputRate, resampleError);
    if (!decoder) {
        error = "サウンドファイル \"" + path + "\" を再生できません：" + resampleError;
        return nullptr;
    }
    return decoder;
}

const SoundFormat& SoundDecoder::Format() const
{
    static const SoundFormat kUnknown;
    return kUnknown;
}

bool SoundDecoder::Seek(int64_t frame)
{
    if (!Rewind()) return false;
    std::vector<float> skipped(2 * 4096);
    while (frame > 0) {
        const size_t got = Read(skipped.data(), static_cast<size_t>(std::min<int64_t>(frame, 4096)));
        if (got == 0) return false;
        frame -= static_cast<int64_t>(got);
    }
    return true;
}

}  // namespace kelva
