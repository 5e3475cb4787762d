// MPEG audio (MP1/MP2/MP3) through libmpg123, with the stream's details and ID3 tags.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sound/SoundStream.h"

struct mpg123_handle_struct;

namespace kelva {

class Mpg123Stream final : public SoundStream {
public:
    // Null when `path` holds no MPEG audio that mpg123 can decode, with `error` saying why.
    static std::unique_ptr<Mpg123Stream> Open(const std::string& path, std::string& error);

    size_t Read(float* out, size_t frames) override;
    bool Seek(int64_t frame) override;
    const SoundFormat& Format() const override { return m_format; }

private:
    struct Closer {
        void operator()(mpg123_handle_struct* handle) const;
    };
    using Handle = std::unique_ptr<mpg123_handle_struct, Closer>;

    Mpg123Stream(Handle handle, SoundFormat format);

    Handle m_handle;
    SoundFormat m_format;
    std::vector<float> m_buffer;  // one chunk of the stream's own channels
    bool m_ended = false;         // a decoding error or a change of format ended the stream
};

}  // namespace kelva
