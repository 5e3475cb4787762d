// The package archive: a flat, read-only archive of named files appended to the player's
// executable. Layout (little-endian): the 13-byte magic (length byte 12 and "PackageFile2"),
// an int16 entry count N, N directory entries of 264 bytes, then the data area.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/Stream.h"

namespace kelva {

// The magic that starts every package, length byte included.
inline constexpr std::string_view kPackageMagic{
    "\x0C"
    "PackageFile2",
    13};
inline constexpr int kPackageHeaderSize = 15;     // magic and entry count
inline constexpr int kPackageEntrySize = 264;     // one directory entry on disk
inline constexpr int kPackageNameCapacity = 255;  // name bytes in a directory entry
inline constexpr int kPackageMaxEntries = 32767;  // the count is a signed 16-bit number
// The caption under which the player shows why a package could not be opened.
inline constexpr std::string_view kPackageErrorCaption = "TReadPackageFile.OpenStream";

// One directory entry. Offset counts from the start of the data area, not of the package.
struct TPackageEntry {
    std::string Name;  // CP932, may hold a relative path with backslashes
    int32_t Offset = -1;
    int32_t Size = -1;
};

// Reads the directory of a package and hands out its entries. The stream is borrowed: its
// owner frees it after the reader. All entries share that one stream and its position, so
// an entry must be read (or copied out) before the next OpenEntry.
class TReadPackageFile {
public:
    TReadPackageFile() = default;
    ~TReadPackageFile() { Close(); }
    TReadPackageFile(const TReadPackageFile&) = delete;
    TReadPackageFile& operator=(const TReadPackageFile&) = delete;

    // Reads the magic and the directory from the stream's current position. A bad magic,
    // or a directory that is impossible for this stream (negative count, more entries than
    // the stream holds, an entry outside the data area), leaves the reader closed and
    // returns false with the reason (CP932, for the user) in `error`; a closed reader
    // answers every lookup with "not found".
    bool OpenStream(Stream& stream, std::string& error);
    // Forgets the directory; the stream stays with its owner.
    void Close();

    // Index of the LAST entry whose name equals `name`, ASCII letters compared without
    // regard to case (double-byte characters compare exactly); -1 when none does.
    int IndexOf(std::string_view name) const;
    // A copy of the entry; outside 0..Count()-1 the entry "ERROR" with Offset and Size -1.
    TPackageEntry GetEntry(int index) const;
    // Seeks the shared stream to the start of the named entry and returns it (not owned by
    // the caller), or nullptr when the entry does not exist or the reader is closed.
    Stream* OpenEntry(std::string_view name);

    int Count() const { return static_cast<int>(m_entries.size()); }
    // Stream position of the data area; 0 while closed.
    int64_t DataStart() const { return m_dataStart; }
    bool IsOpen() const { return m_open; }

private:
    bool Reject(const std::string& detail, std::string& error);

    Stream* m_stream = nullptr;
    bool m_open = false;
    int64_t m_dataStart = 0;
    std::vector<TPackageEntry> m_entries;
    std::vector<std::string> m_foldedNames;  // upper-cased once at opening, for IndexOf
};

// Where the executable image in `file` ends: for a PE file the first byte after the raw
// data of the last section (the section table is taken to start 248 bytes after the "PE"
// signature); for a little-endian ELF file (32 or 64 bit) the largest end of the section
// header table, of any segment's file image and of any section that occupies file space.
// -1 when the file is neither or its headers point outside the file. A package is
// appended exactly at this offset.
int64_t FindImageEnd(Stream& file);

// File offset of a package appended to the executable at `programPath`, or -1 (silently)
// when the file can't be opened, is no PE or ELF executable, or has no package magic at
// its image end with at least 16 bytes left from there.
int64_t FindPackageOffset(const std::string& programPath);

}  // namespace kelva
