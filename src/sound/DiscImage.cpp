#include "sound/DiscImage.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "sound/SoundDecoder.h"

namespace kelva {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Reads samples of one file at byte positions of its data (4 bytes a stereo frame).
class SampleReader {
public:
    virtual ~SampleReader() = default;
    // Fills up to `frames` frames from `offset`; answers how many the file holds there.
    virtual size_t Read(int64_t offset, int16_t* out, size_t frames) = 0;
};

class RawSampleReader final : public SampleReader {
public:
    RawSampleReader(FilePtr file, const DiscImage::SourceFile& source)
        : m_file(std::move(file)),
          m_dataOffset(source.DataOffset),
          m_dataBytes(source.DataBytes),
          m_bigEndian(source.Coding == DiscImage::Encoding::BigEndian)
    {
    }

    size_t Read(int64_t offset, int16_t* out, size_t frames) override
    {
        if (offset < 0 || offset >= m_dataBytes) return 0;
        // Whole frames only: a stray byte at the end of the data is never played.
        const size_t bytes =
            static_cast<size_t>(std::min<int64_t>(frames * 4, (m_dataBytes - offset) / 4 * 4));
        if (offset != m_position) {
            if (std::fseek(m_file.get(), static_cast<long>(m_dataOffset + offset), SEEK_SET) != 0) return 0;
        }
        auto* raw = reinterpret_cast<uint8_t*>(out);
        const size_t read = std::fread(raw, 1, bytes, m_file.get());
        const size_t got = read / 4;
        m_position = read == bytes ? offset + static_cast<int64_t>(read) : -1;
        // The samples are in the file's byte order, whatever the machine's.
        for (size_t i = 0; i < got * 2; ++i) {
            const uint8_t first = raw[2 * i];
            const uint8_t second = raw[2 * i + 1];
            out[i] = static_cast<int16_t>(m_bigEndian ? (first << 8) | second : (second << 8) | first);
        }
        return got;
    }

private:
    FilePtr m_file;
    const int64_t m_dataOffset;
    const int64_t m_dataBytes;
    const bool m_bigEndian;
    int64_t m_position = -1;
};

class DecodedSampleReader final : public SampleReader {
public:
    explicit DecodedSampleReader(std::unique_ptr<SoundDecoder> decoder) : m_decoder(std::move(decoder)) {}

    size_t Read(int64_t offset, int16_t* out, size_t frames) override
    {
        const int64_t frame = offset / 4;
        if (frame != m_position) {
            if (!m_decoder->Seek(frame)) return 0;
            m_position = frame;
        }
        size_t done = 0;
        while (done < frames) {
            const size_t got = Decode(std::min(kChunk, frames - done));
            if (got == 0) break;
            for (size_t i = 0; i < got * 2; ++i) {
                // The decoders scale 16-bit samples by 1/32768: this gives them back exactly.
                out[done * 2 + i] =
                    static_cast<int16_t>(std::clamp(std::lround(m_buffer[i] * 32768.0f), -32768L, 32767L));
            }
            done += got;
        }
        return done;
    }

private:
    static constexpr size_t kChunk = 4096;

    size_t Decode(size_t frames)
    {
        const size_t got = m_decoder->Read(m_buffer.data(), frames);
        m_position += static_cast<int64_t>(got);
        return got;
    }

    std::unique_ptr<SoundDecoder> m_decoder;
    std::array<float, kChunk * 2> m_buffer{};
    int64_t m_position = 0;
};

std::unique_ptr<SampleReader> OpenSampleReader(const DiscImage::SourceFile& source, std::string& error)
{
    if (source.Coding == DiscImage::Encoding::Decoded) {
        std::unique_ptr<SoundDecoder> decoder = SoundDecoder::Open(source.Path, kCdSampleRate, error);
        if (!decoder) return nullptr;
        return std::make_unique<DecodedSampleReader>(std::move(decoder));
    }
    FilePtr file(std::fopen(source.Path.c_str(), "rb"));
    if (!file) {
        error = source.Path + ": cannot be opened: " + std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<RawSampleReader>(std::move(file), source);
}

class DiscImageStream final : public CdAudioStream {
public:
    DiscImageStream(std::vector<DiscImage::Piece> pieces, std::vector<std::unique_ptr<SampleReader>> readers,
                    int32_t start, int32_t end)
        : m_pieces(std::move(pieces)),
          m_readers(std::move(readers)),
          m_frame(int64_t{start} * kCdFramesPerSector),
          m_end(int64_t{end} * kCdFramesPerSector)
    {
    }

    size_t Read(int16_t* out, size_t frames) override
    {
        size_t done = 0;
        while (done < frames && m_frame < m_end) {
            while (m_piece < m_pieces.size() && PieceEnd(m_pieces[m_piece]) <= m_frame) ++m_piece;
            if (m_piece == m_pieces.size()) {
                m_frame = m_end;  // the pieces cover the disc, so only a bug gets here
                break;
            }
            const DiscImage::Piece& piece = m_pieces[m_piece];
            const int64_t pieceStart = int64_t{piece.Start} * kCdFramesPerSector;
            const size_t count = static_cast<size_t>(
                std::min<int64_t>(frames - done, std::min(PieceEnd(piece), m_end) - m_frame));
            int16_t* target = out + done * 2;
            size_t got = 0;
            if (piece.Audio && piece.File >= 0) {
                got = m_readers[piece.File]->Read(piece.Offset + (m_frame - pieceStart) * 4, target, count);
            }
            std::fill(target + got * 2, target + count * 2, int16_t{0});
            done += count;
            m_frame += static_cast<int64_t>(count);
        }
        return done;
    }

    bool AtEnd() const override { return m_frame >= m_end; }

private:
    static int64_t PieceEnd(const DiscImage::Piece& piece)
    {
        return (int64_t{piece.Start} + piece.Sectors) * kCdFramesPerSector;
    }

    const std::vector<DiscImage::Piece> m_pieces;
    std::vector<std::unique_ptr<SampleReader>> m_readers;  // by file; null for files not read
    size_t m_piece = 0;
    int64_t m_frame;
    const int64_t m_end;
};

}  // namespace

std::optional<DiscImage::SourceFile> DiscImage::SoundSource(const std::string& path, std::string& error)
{
    SourceFile source{path, Encoding::Decoded, 0, 0};
    std::unique_ptr<SoundDecoder> decoder = SoundDecoder::Open(path, kCdSampleRate, error);
    if (!decoder) return std::nullopt;
    int64_t frames = decoder->Frames();
    if (frames < 0) {
        // The length is only known by decoding it all.
        constexpr int64_t kMaxFrames = int64_t{kMaxSectors} * kCdFramesPerSector;
        std::vector<float> buffer(8192);
        frames = 0;
        while (frames <= kMaxFrames) {
            const size_t got = decoder->Read(buffer.data(), buffer.size() / 2);
            if (got == 0) break;
            frames += static_cast<int64_t>(got);
        }
    }
    source.DataBytes = frames * 4;
    return source;
}

int DiscImage::AddFile(SourceFile file)
{
    m_files.push_back(std::move(file));
    return static_cast<int>(m_files.size()) - 1;
}

void DiscImage::AddPiece(int file, int64_t offset, int32_t sectors, int sectorBytes, bool audio)
{
    if (sectors <= 0) return;
    m_pieces.push_back(Piece{static_cast<int32_t>(std::min<int64_t>(m_sectors, kMaxSectors)), sectors, file,
                             offset, sectorBytes, audio});
    m_sectors += sectors;
}

void DiscImage::AddSilence(int32_t sectors)
{
    AddPiece(-1, 0, sectors, kCdSectorBytes, false);
}

void DiscImage::StartTrack(bool audio)
{
    m_tracks.push_back(CdTrack{static_cast<int32_t>(std::min<int64_t>(m_sectors, kMaxSectors)), 0, audio});
}

bool DiscImage::Finish()
{
    if (m_sectors > kMaxSectors) return false;
    for (size_t i = 0; i < m_tracks.size(); ++i) {
        const int32_t end = i + 1 < m_tracks.size() ? m_tracks[i + 1].Start : static_cast<int32_t>(m_sectors);
        m_tracks[i].Length = end - m_tracks[i].Start;
    }
    return true;
}

std::unique_ptr<CdAudioStream> DiscImage::ReadAudio(int32_t start, int32_t end, std::string& error) const
{
    start = std::clamp<int32_t>(start, 0, static_cast<int32_t>(m_sectors));
    end = std::clamp<int32_t>(end, start, static_cast<int32_t>(m_sectors));
    std::vector<Piece> pieces;
    std::vector<std::unique_ptr<SampleReader>> readers(m_files.size());
    for (const Piece& piece : m_pieces) {
        if (piece.Start + piece.Sectors <= start || piece.Start >= end) continue;
        pieces.push_back(piece);
        // Every file is opened now, on the caller's thread: opening a decoder may take a
        // while, which the audio thread must not spend.
        if (piece.Audio && piece.File >= 0 && !readers[piece.File]) {
            readers[piece.File] = OpenSampleReader(m_files[piece.File], error);
            if (!readers[piece.File]) return nullptr;
        }
    }
    return std::make_unique<DiscImageStream>(std::move(pieces), std::move(readers), start, end);
}

}  // namespace kelva
