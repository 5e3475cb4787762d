// Packages as the authoring tool sees them: files on disk that are either a bare package or
// a game (a player executable with a package appended), and the mapping between package
// entry names (CP932, backslash separators) and relative paths on disk (UTF-8, slashes).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/PackageFile2.h"
#include "data/Stream.h"

namespace kelva::knovel {

// The entry that holds the scrambled novel file.
inline constexpr std::string_view kNovelEntryName = "autorun.kne";

// Whether `name` is the novel file entry, as the player looks it up (ASCII case ignored).
bool IsNovelEntryName(std::string_view name);

// The entry name for the file at `relative` below the data folder: each component
// converted from UTF-8 to CP932, joined with backslashes. nullopt, with a reason (UTF-8)
// in `problem`, for a component CP932 can't hold or one holding a backslash.
std::optional<std::string> EntryNameFromPath(const std::filesystem::path& relative, std::string& problem);

// The relative path (UTF-8) to extract the entry `name` to. Backslashes and slashes both
// separate folders. nullopt, with a reason in `problem`, for a name that could reach
// outside the target folder or can't be a file name: empty, absolute, with a drive letter,
// an empty, "." or ".." component, a NUL byte, or bytes that are no valid CP932.
std::optional<std::filesystem::path> ExtractPathFromEntryName(std::string_view name, std::string& problem);

// A package opened from a file: a bare package (its magic at offset 0) or a game whose
// package sits at the end of its executable image.
class PackageSource {
public:
    // nullptr, with a reason (UTF-8) in `error`, when the file can't be read, holds no
    // package, or the package's directory is broken.
    static std::unique_ptr<PackageSource> Open(const std::string& path, std::string& error);
    // The package that starts at file offset `offset` of `path`.
    static std::unique_ptr<PackageSource> OpenAt(const std::string& path, int64_t offset, std::string& error);

    const TReadPackageFile& Reader() const { return m_reader; }
    // File offset of the package's first byte: 0 for a bare package.
    int64_t Offset() const { return m_offset; }
    int64_t FileSize() const { return m_fileSize; }
    // The bytes of the entry at `index` (not by name: of two entries with one name, each
    // is read). Throws FormatError when the file ends early.
    std::vector<uint8_t> ReadEntry(int index);

private:
    explicit PackageSource(std::unique_ptr<FileStream> file) : m_file(std::move(file)) {}

    std::unique_ptr<FileStream> m_file;
    TReadPackageFile m_reader;
    int64_t m_offset = 0;
    int64_t m_fileSize = 0;
};

}  // namespace kelva::knovel
