#include "sound/SndFileStream.h"

#include <sndfile.h>

#include <algorithm>

namespace kelva {

namespace {

int MpegLayer(int subtype)
{
    switch (subtype) {
        case SF_FORMAT_MPEG_LAYER_I:
            return 1;
        case SF_FORMAT_MPEG_LAYER_II:
            return 2;
        case SF_FORMAT_MPEG_LAYER_III:
            return 3;
        default:
            return 0;
    }
}

// libsndfile doesn't report the MPEG version; the sample rate decides it.
int MpegVersion(int sampleRate)
{
    if (sampleRate >= 32000) return 10;
    if (sampleRate >= 16000) return 20;
    return 25;
}

}  // namespace

void SndFileStream::Closer::operator()(SNDFILE* file) const
{
    sf_close(file);
}

std::unique_ptr<SndFileStream> SndFileStream::Open(const std::string& path, std::string& error)
{
    SF_INFO info{};
    std::unique_ptr<SNDFILE, Closer> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        error = sf_strerror(nullptr);
        return nullptr;
    }
    if (info.channels < 1) {
        error = "チャンネル数が 0 です";
        return nullptr;
    }
    if (info.samplerate < kMinSampleRate || info.samplerate > kMaxSampleRate) {
        error = "サンプリング周波数 " + std::to_string(info.samplerate) + " Hz は扱えません";
        return nullptr;
    }

    SoundFormat format;
    const int major = info.format & SF_FORMAT_TYPEMASK;
    if (major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX)
        format.Kind = SoundFormat::Container::Wave;
    else if (major == SF_FORMAT_MPEG)
        format.Kind = SoundFormat::Container::Mpeg;
    format.Layer = MpegLayer(info.format & SF_FORMAT_SUBMASK);
    format.MpegCoded = format.Layer != 0;
    if (format.MpegCoded) format.MpegVersion = MpegVersion(info.samplerate);
    format.SampleRate = info.samplerate;
    format.Channels = info.channels;
    format.Frames = info.frames;
    format.Bitrate = AverageBitrate(path, format);
    return std::unique_ptr<SndFileStream>(new SndFileStream(std::move(file), format));
}

SndFileStream::SndFileStream(std::unique_ptr<SNDFILE, Closer> file, SoundFormat format)
    : m_file(std::move(file)), m_format(format), m_buffer(kChunkFrames * static_cast<size_t>(format.Channels))
{
}

size_t SndFileStream::Read(float* out, size_t frames)
{
    size_t done = 0;
    while (done < frames) {
        const auto want = static_cast<sf_count_t>(std::min(frames - done, kChunkFrames));
        const sf_count_t got = sf_readf_float(m_file.get(), m_buffer.data(), want);
        if (got <= 0) break;
        ToStereo(m_buffer.data(), m_format.Channels, static_cast<size_t>(got), out + 2 * done);
        done += static_cast<size_t>(got);
        if (got < want) break;
    }
    return done;
}

bool SndFileStream::Seek(int64_t frame)
{
    return sf_seek(m_file.get(), frame, SEEK_SET) >= 0;
}

}  // namespace kelva
