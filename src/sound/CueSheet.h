// The text of a CUE sheet: which files hold a disc image and where its tracks lie in them.
// Understood: FILE "name" BINARY | MOTOROLA | WAVE | MP3 | AIFF; TRACK nn with the modes
// AUDIO, MODE1/2048, MODE1/2352, MODE2/2336, MODE2/2352, CDI/2336, CDI/2352; INDEX nn
// mm:ss:ff; PREGAP and POSTGAP mm:ss:ff. REM, CATALOG, CDTEXTFILE, FLAGS, ISRC,
// PERFORMER, SONGWRITER and TITLE are skipped. Keywords ignore letter case; lines may end
// in CR LF.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelva {

enum class CueFileType {
    Binary,    // raw sectors, audio as little-endian samples
    Motorola,  // raw sectors, audio as big-endian samples
    Wave,      // sound files: audio only, in sectors of decoded sound
    Mp3,
    Aiff,
};

struct CueFile {
    std::string Name;  // as written: relative to the sheet's folder unless absolute
    CueFileType Type = CueFileType::Binary;
    int Line = 0;  // where the sheet names it, for messages
};

struct CueTrack {
    int Number = 0;  // 1 … 99, each one more than the track before
    bool Audio = true;
    int SectorBytes = 2352;  // bytes a sector of this track takes in a raw file
    int File = 0;            // index into CueSheet::Files
    int Line = 0;            // the TRACK line
    int32_t Index0 = -1;     // sectors from the start of the file; −1 when not given
    int32_t Index1 = -1;     // where the track starts; always given
    int Index1Line = 0;
    int32_t Pregap = 0;   // sectors of silence before Index1 that no file holds
    int32_t Postgap = 0;  // sectors of silence after the track that no file holds

    // Where the track's part of its file begins.
    int32_t FirstIndex() const { return Index0 >= 0 ? Index0 : Index1; }
};

struct CueSheet {
    std::vector<CueFile> Files;
    std::vector<CueTrack> Tracks;

    // Reads the sheet's text. Null, with `error` as "name:line: problem", when it is
    // damaged: unknown commands or file types, bad numbers or times, tracks out of order
    // or beyond 99, indexes out of order, a track without INDEX 01, a file without tracks.
    static std::optional<CueSheet> Parse(std::string_view text, const std::string& name, std::string& error);
};

// "mm:ss:ff" as sectors (minutes 0–99, seconds 0–59, frames 0–74); nullopt otherwise.
std::optional<int32_t> ParseCueTime(std::string_view text);

}  // namespace kelva
