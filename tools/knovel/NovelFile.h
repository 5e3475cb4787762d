// A whole novel file in memory, as the authoring tool reads and writes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/NovelCounters.h"
#include "data/NovelData.h"
#include "data/Stream.h"

namespace kelva::knovel {

struct NovelFile {
    CNovelFileHeader Header;
    CNovelCounters Counters;
    CNovelItems Items;
};

// The stored magic of a novel file, length byte included.
inline constexpr std::string_view kNovelMagic = "\x13KelvaNovel WorkFile";

// Whether `bytes` begin with the novel file magic as it is stored on disk, or as it is
// stored scrambled inside a package.
bool HasNovelMagic(const std::vector<uint8_t>& bytes);
bool HasScrambledNovelMagic(const std::vector<uint8_t>& bytes);

// The source-format word of an item kind ("menu", "auto", "end"); nullptr for a kind the
// player doesn't know.
const char* ItemKindName(uint8_t kind);

// A version 7 novel file: header, counter block, item block.
std::vector<uint8_t> SaveNovelFile(const NovelFile& novel);

struct LoadedNovel {
    NovelFile Novel;
    bool Scrambled = false;     // the file was stored scrambled (a package entry)
    int64_t TrailingBytes = 0;  // bytes after the item block
    bool FromPackage = false;   // the file is the story entry of a package or game
};

// Reads a novel file, plain or scrambled (detected by the magic; a file with neither is
// read plain, as the player does). Throws FormatError (CP932 message) when it ends inside
// a block or declares impossible counts.
LoadedNovel ReadNovelFile(std::vector<uint8_t> bytes);

// Reads the file at `path`: a novel file, or a package or game whose story entry is read.
// False with a UTF-8 reason in `error` when it can't be read or isn't a readable novel file.
bool LoadNovelFile(const std::string& path, LoadedNovel& result, std::string& error);

}  // namespace kelva::knovel
