// A disc put together from files: a CUE sheet with its BIN or sound files, or a folder of
// ripped tracks. It knows which file (and where in it) or which gap of silence each
// stretch of sectors comes from, and reads audio out of them like a drive reads a disc.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/CdDrive.h"

namespace kelva {

class DiscImage {
public:
    // Longest disc accepted: a bound for damaged sheets, far beyond any real disc.
    static constexpr int32_t kMaxSectors = 24 * 3600 * kCdSectorsPerSecond;

    // The disc a CUE sheet describes. Null, with `error` naming the sheet (and the line
    // where it helps), when the sheet is damaged, too large, or a file it names is
    // missing, unreadable or shorter than its tracks.
    static std::unique_ptr<DiscImage> FromCueSheet(const std::string& path, std::string& error);

    // The disc a folder of ripped tracks stands for: files named track1 … track99 or
    // track01 … track99 (any letter case) ending in .wav, .flac, .ogg or .mp3. The highest
    // number gives the number of tracks; a number without a file (usually track 1, the
    // game's data) is a silent data track, so the numbering matches the original disc.
    // Null, with `error`, when the folder holds no track or a track can't be decoded.
    static std::unique_ptr<DiscImage> FromTrackFolder(const std::string& folder, std::string& error);

    const std::vector<CdTrack>& Tracks() const { return m_tracks; }
    // The end of the disc.
    int32_t Sectors() const { return m_sectors; }

    // The audio of sectors [start, end), cut to the disc. Data sectors and gaps read as
    // silence, as does anything a file turns out not to hold. Null, with `error`, when
    // one of the files can't be opened.
    std::unique_ptr<CdAudioStream> ReadAudio(int32_t start, int32_t end, std::string& error) const;

    // How a file holds its audio.
    enum class Encoding {
        LittleEndian,  // raw 16-bit stereo samples at 44100 Hz
        BigEndian,
        Decoded,  // any sound file, decoded to 44100 Hz stereo
    };
    struct SourceFile {
        std::string Path;
        Encoding Coding = Encoding::LittleEndian;
        int64_t DataOffset = 0;  // where the sectors begin in a raw file
        int64_t DataBytes = 0;   // bytes of sectors; for a decoded file 4 × its frames
    };
    // A stretch of sectors: from a file (File ≥ 0, starting `Offset` bytes into its data,
    // `SectorBytes` a sector), or silence (File −1).
    struct Piece {
        int32_t Start = 0;
        int32_t Sectors = 0;
        int File = -1;
        int64_t Offset = 0;
        int SectorBytes = kCdSectorBytes;
        bool Audio = false;
    };

private:
    DiscImage() = default;

    // A sound file (WAVE, FLAC, Ogg, MP3) as a source of samples, decoded and measured.
    // 44100 Hz 16-bit files come out sample for sample. Nullopt, with `error`, when it
    // can't be decoded.
    static std::optional<SourceFile> SoundSource(const std::string& path, std::string& error);

    int AddFile(SourceFile file);
    void AddPiece(int file, int64_t offset, int32_t sectors, int sectorBytes, bool audio);
    void AddSilence(int32_t sectors);
    // A track begins at the current end of the disc.
    void StartTrack(bool audio);
    // Sets the track lengths once every piece is in; false when the disc is too long.
    bool Finish();

    std::vector<SourceFile> m_files;
    std::vector<Piece> m_pieces;
    std::vector<CdTrack> m_tracks;
    int64_t m_sectors = 0;
};

}  // namespace kelva
