#include "sound/Mpg123Stream.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/TextCodec.h"

namespace kelva {

namespace {

// ID3v1 fields are fixed-width bytes, not always terminated; Japanese tags hold CP932.
std::string FixedText(const char* field, size_t width)
{
    return std::string(field, strnlen(field, width));
}

// ID3v2 texts arrive as UTF-8; a field may hold several zero-separated strings.
std::string TagText(const mpg123_string* text)
{
    if (!text || !text->p || text->fill == 0) return {};
    return Utf8ToCp932(std::string(text->p, strnlen(text->p, text->fill))).value_or("");
}

// ID3v2 fields win over ID3v1 ones, as they are the newer and longer.
SoundTags ReadTags(const mpg123_id3v1* v1, const mpg123_id3v2* v2)
{
    SoundTags tags;
    if (v1) {
        tags.Title = FixedText(v1->title, sizeof v1->title);
        tags.Artist = FixedText(v1->artist, sizeof v1->artist);
        tags.Album = FixedText(v1->album, sizeof v1->album);
        tags.Year = FixedText(v1->year, sizeof v1->year);
        tags.Comment = FixedText(v1->comment, sizeof v1->comment);
        if (v1->genre != 255) tags.Genre = v1->genre;
    }
    if (v2) {
        const auto take = [](std::string& field, const mpg123_string* text) {
            std::string value = TagText(text);
            if (!value.empty()) field = std::move(value);
        };
        take(tags.Title, v2->title);
        take(tags.Artist, v2->artist);
        take(tags.Album, v2->album);
        take(tags.Year, v2->year);
        take(tags.Comment, v2->comment);
    }
    return tags;
}

int MpegVersion(int version)
{
    switch (version) {
        case MPG123_1_0:
            return 10;
        case MPG123_2_0:
            return 20;
        default:
            return 25;
    }
}

}  // namespace

void Mpg123Stream::Closer::operator()(mpg123_handle_struct* handle) const
{
    mpg123_close(handle);
    mpg123_delete(handle);
}

std::unique_ptr<Mpg123Stream> Mpg123Stream::Open(const std::string& path, std::string& error)
{
    // Needed before anything else by mpg123 before 1.27, harmless after.
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });

    int status = MPG123_OK;
    Handle handle(mpg123_new(nullptr, &status));
    if (!handle) {
        error = mpg123_plain_strerror(status);
        return nullptr;
    }
    mpg123_handle* const h = handle.get();
    // Gapless: the encoder's padding is cut, so the length is the one that was encoded.
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    // After a seek, layer III needs the bit reservoir of the frames before the target:
    // too few frames decoded in advance come out as silence or a click. Sixteen cover the
    // deepest reservoir at the lowest bit rates, for a few milliseconds of decoding.
    mpg123_param(h, MPG123_PREFRAMES, 16, 0);
    // Float samples at whatever rate the stream has; the resampler does the rest.
    mpg123_format_none(h);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);

    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_open(h, path.c_str()) != MPG123_OK ||
        mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK) {
        error = mpg123_strerror(h);
        return nullptr;
    }
    if (encoding != MPG123_ENC_FLOAT_32 || channels < 1 || channels > 2) {
        error = "MPEG の出力形式を設定できません";
        return nullptr;
    }

    SoundFormat format;
    format.Kind = SoundFormat::Container::Mpeg;
    format.MpegCoded = true;
    format.SampleRate = static_cast<int>(rate);
    format.Channels = channels;
    // The length comes from the encoder's Xing/LAME header, exact with its gapless
    // figures, else from the file size. No full scan (mpg123_scan): it costs about 100 ms
    // for a five-minute file on the caller's thread, and seeks stay exact without it
    // because mpg123 then reads the frame headers up to the target.
    const off_t length = mpg123_length(h);
    format.Frames = length >= 0 ? length : -1;

    mpg123_frameinfo2 frame{};
    if (mpg123_info2(h, &frame) == MPG123_OK) {
        format.MpegVersion = MpegVersion(frame.version);
        format.Layer = frame.layer;
        format.Bitrate = frame.vbr == MPG123_ABR ? frame.abr_rate : frame.bitrate;
        // A variable rate: the first frame says little, the file's average is wanted.
        if (frame.vbr == MPG123_VBR) format.Bitrate = AverageBitrate(path, format);
    }

    mpg123_id3v1* v1 = nullptr;
    mpg123_id3v2* v2 = nullptr;
    if ((mpg123_meta_check(h) & MPG123_ID3) && mpg123_id3(h, &v1, &v2) == MPG123_OK && (v1 || v2))
        format.Tags = ReadTags(v1, v2);

    return std::unique_ptr<Mpg123Stream>(new Mpg123Stream(std::move(handle), std::move(format)));
}

Mpg123Stream::Mpg123Stream(Handle handle, SoundFormat format)
    : m_handle(std::move(handle)),
      m_format(std::move(format)),
      m_buffer(kChunkFrames * static_cast<size_t>(m_format.Channels))
{
}

size_t Mpg123Stream::Read(float* out, size_t frames)
{
    const auto channels = static_cast<size_t>(m_format.Channels);
    size_t done = 0;
    while (done < frames && !m_ended) {
        const size_t want = std::min(frames - done, kChunkFrames);
        size_t bytes = 0;
        const int status =
            mpg123_read(m_handle.get(), m_buffer.data(), want * channels * sizeof(float), &bytes);
        const size_t got = bytes / (channels * sizeof(float));
        ToStereo(m_buffer.data(), m_format.Channels, got, out + 2 * done);
        done += got;
        if (status == MPG123_NEW_FORMAT) {
            // A stream that changes rate or channels midway is cut there: the rest
            // would need a new resampler, and such files are broken in practice.
            long rate = 0;
            int newChannels = 0;
            int encoding = 0;
            mpg123_getformat(m_handle.get(), &rate, &newChannels, &encoding);
            if (rate != m_format.SampleRate || newChannels != m_format.Channels) m_ended = true;
        } else if (status != MPG123_OK) {
            m_ended = true;  // MPG123_DONE, or damage that mpg123 can't decode past
        } else if (got == 0) {
            m_ended = true;  // no progress: don't spin
        }
    }
    return done;
}

bool Mpg123Stream::Seek(int64_t frame)
{
    if (mpg123_seek(m_handle.get(), frame, SEEK_SET) < 0) return false;
    m_ended = false;
    return true;
}

}  // namespace kelva
