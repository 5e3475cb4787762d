// knovel dump: a readable description (UTF-8, on stdout) of a stored file, whichever kind
// it is. RunDump tells the kind by the file's magic and hands it to one of these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "NovelFile.h"

namespace kelva::knovel {

enum class StoredFileKind {
    Novel,           // a novel file as on disk
    ScrambledNovel,  // a novel file as stored in a package ("autorun.kne")
    Package,         // a bare package
    Game,            // an executable with a package appended
    Bookmarks,       // a bookmark file
    Unknown,
};

// The kind of the file at `path`, whose bytes are `bytes`; for a package or a game,
// `packageOffset` receives the package's file offset.
StoredFileKind DetectStoredFileKind(const std::string& path, const std::vector<uint8_t>& bytes,
                                    int64_t& packageOffset);

// Each prints its description and returns the exit status.
int DumpNovel(const std::string& path, const std::vector<uint8_t>& bytes);
// The package that starts at file offset `offset` of `path` (0 for a bare package).
int DumpPackage(const std::string& path, int64_t offset);
int DumpBookmarks(const std::string& path);

// The description DumpNovel prints.
std::string DescribeNovel(const LoadedNovel& loaded);

}  // namespace kelva::knovel
