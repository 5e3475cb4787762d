// WAVE, FLAC, Ogg Vorbis and the other formats libsndfile reads (MP3 too on recent
// versions, though SoundDecoder gives bare MPEG streams to mpg123).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sound/SoundStream.h"

typedef struct sf_private_tag SNDFILE;

namespace kelva {

class SndFileStream final : public SoundStream {
public:
    // Null when libsndfile can't read `path`, with `error` saying why.
    static std::unique_ptr<SndFileStream> Open(const std::string& path, std::string& error);

    size_t Read(float* out, size_t frames) override;
    bool Seek(int64_t frame) override;
    const SoundFormat& Format() const override { return m_format; }

private:
    struct Closer {
        void operator()(SNDFILE* file) const;
    };

    SndFileStream(std::unique_ptr<SNDFILE, Closer> file, SoundFormat format);

    std::unique_ptr<SNDFILE, Closer> m_file;
    SoundFormat m_format;
    std::vector<float> m_buffer;  // one chunk of the file's own channels
};

}  // namespace kelva
