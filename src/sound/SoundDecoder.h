// Sound files decoded for the mixer: WAVE (PCM 8/16/24/32-bit, float, IMA/MS ADPCM …),
// FLAC and Ogg Vorbis through libsndfile, MP3 through libmpg123, converted to interleaved
// float stereo at the rate the caller asks for (mono is doubled, other rates resampled).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kelva {

// The ID3 tag of an MP3 file. Texts are CP932, as everywhere in the engine; a text that
// CP932 can't hold is left empty.
struct SoundTags {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Comment;
    int Genre = -1;  // ID3v1 genre number, −1 when absent
};

// What a sound file holds, as stored (before conversion to the output format).
struct SoundFormat {
    enum class Container {
        Wave,   // RIFF WAVE, whatever its encoding (MPEG audio inside one included)
        Mpeg,   // a bare MPEG audio stream (an .mp3 file)
        Other,  // FLAC, Ogg and the rest of what libsndfile reads
    };
    Container Kind = Container::Other;
    bool MpegCoded = false;         // the samples are MPEG audio, in whatever container
    int MpegVersion = 0;            // 10, 20 or 25 (MPEG 1, 2, 2.5) when MpegCoded, else 0
    int Layer = 0;                  // 1 to 3 when MpegCoded, else 0
    int Bitrate = 0;                // kilobits per second, the file's average; 0 when unknown
    int SampleRate = 0;             // frames per second
    int Channels = 0;               // as stored; the decoder always delivers two
    int64_t Frames = -1;            // length at SampleRate; −1 when unknown
    std::optional<SoundTags> Tags;  // MPEG streams with an ID3 tag only
};

class SoundDecoder {
public:
    virtual ~SoundDecoder() = default;

    // Opens `path` for output at `outputRate` frames per second. Null when the file
    // can't be read or decoded, with `error` saying why (naming the file).
    static std::unique_ptr<SoundDecoder> Open(const std::string& path, int outputRate, std::string& error);

    // Decodes up to `frames` stereo frames into `out` (2 × frames floats, full scale
    // ±1.0); answers how many were written, 0 only at the end of the file.
    virtual size_t Read(float* out, size_t frames) = 0;
    // Goes back to the first frame; false when the file can't be read again.
    virtual bool Rewind() = 0;
    // The length in frames at the output rate; −1 when unknown.
    virtual int64_t Frames() const = 0;

    // The stored format of the file. This base answers an empty description.
    virtual const SoundFormat& Format() const;
    // Moves to `frame` (at the output rate); false when the file can't go there. This
    // base rewinds and decodes up to that frame; the file decoders seek directly.
    virtual bool Seek(int64_t frame);
};

}  // namespace kelva
