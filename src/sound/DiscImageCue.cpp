// Laying out the disc a CUE sheet describes.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "data/MediaFiles.h"
#include "sound/CueSheet.h"
#include "sound/DiscImage.h"

namespace kelva {
namespace {

namespace fs = std::filesystem;

// Real sheets are a few kilobytes; anything near this is not one.
constexpr int64_t kMaxSheetBytes = 1 << 20;

std::string Where(const std::string& path, int line)
{
    return path + ":" + std::to_string(line) + ": ";
}

}  // namespace

std::unique_ptr<DiscImage> DiscImage::FromCueSheet(const std::string& path, std::string& error)
{
    std::error_code failure;
    const uintmax_t size = fs::file_size(path, failure);
    if (failure) {
        error = path + ": cannot be read: " + failure.message();
        return nullptr;
    }
    if (size > kMaxSheetBytes) {
        error = path + ": too large for a CUE sheet";
        return nullptr;
    }
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        error = path + ": cannot be read: " + std::strerror(errno);
        return nullptr;
    }
    const std::optional<CueSheet> sheet = CueSheet::Parse(text, path, error);
    if (!sheet) return nullptr;

    std::unique_ptr<DiscImage> disc(new DiscImage);
    // File names are relative to the sheet and were often written on a system that
    // ignores letter case and separates folders with "\".
    const std::string folder = fs::path(path).parent_path().string();
    const MediaFiles lookup(nullptr);
    for (const CueFile& file : sheet->Files) {
        const bool absolute = !file.Name.empty() && file.Name[0] == '/';
        const std::string resolved =
            lookup.DiskPath(absolute || folder.empty() ? file.Name : folder + "/" + file.Name);
        if (!fs::is_regular_file(resolved, failure)) {
            error = Where(path, file.Line) + "FILE \"" + file.Name + "\" not found";
            return nullptr;
        }
        std::optional<SourceFile> source;
        if (file.Type == CueFileType::Binary || file.Type == CueFileType::Motorola) {
            const uintmax_t bytes = fs::file_size(resolved, failure);
            if (failure) {
                error = Where(path, file.Line) + "FILE \"" + file.Name +
                        "\" cannot be read: " + failure.message();
                return nullptr;
            }
            source = SourceFile{
                resolved, file.Type == CueFileType::Binary ? Encoding::LittleEndian : Encoding::BigEndian, 0,
                static_cast<int64_t>(bytes)};
        } else {
            std::string problem;
            source = SoundSource(resolved, problem);
            if (!source) {
                error = Where(path, file.Line) + problem;
                return nullptr;
            }
        }
        disc->AddFile(std::move(*source));
    }

    // Each track's part of its file runs from its first index (the file's start for the
    // first track in it) to the next track's first index or the end of the file. The part
    // before INDEX 01 (the gap) comes before the track's start, as on a real disc.
    const std::vector<CueTrack>& tracks = sheet->Tracks;
    size_t next = 0;
    for (int f = 0; f < static_cast<int>(sheet->Files.size()); ++f) {
        const SourceFile& source = disc->m_files[f];
        int64_t byteCursor = 0;
        int64_t sectorCursor = 0;
        for (; next < tracks.size() && tracks[next].File == f; ++next) {
            const CueTrack& track = tracks[next];
            const int sectorBytes = track.SectorBytes;
            int64_t regionEnd = 0;
            if (next + 1 < tracks.size() && tracks[next + 1].File == f) {
                regionEnd = tracks[next + 1].FirstIndex();
            } else {
                const int64_t left = std::max<int64_t>(0, source.DataBytes - byteCursor);
                regionEnd = sectorCursor + (left + sectorBytes - 1) / sectorBytes;
            }
            if (track.Index1 >= regionEnd) {
                error = Where(path, track.Index1Line) + "track " + std::to_string(track.Number) +
                        " starts beyond the end of \"" + sheet->Files[f].Name + "\"";
                return nullptr;
            }
            if (regionEnd - sectorCursor > kMaxSectors) {
                error =
                    Where(path, track.Line) + "track " + std::to_string(track.Number) + " is far too long";
                return nullptr;
            }
            const int32_t gapSectors = static_cast<int32_t>(track.Index1 - sectorCursor);
            disc->AddPiece(f, byteCursor, gapSectors, sectorBytes, track.Audio);
            disc->AddSilence(track.Pregap);
            disc->StartTrack(track.Audio);
            disc->AddPiece(f, byteCursor + int64_t{gapSectors} * sectorBytes,
                           static_cast<int32_t>(regionEnd - track.Index1), sectorBytes, track.Audio);
            disc->AddSilence(track.Postgap);
            byteCursor += (regionEnd - sectorCursor) * sectorBytes;
            sectorCursor = regionEnd;
        }
    }
    if (!disc->Finish()) {
        error = path + ": the disc would be longer than 24 hours";
        return nullptr;
    }
    return disc;
}

}  // namespace kelva
