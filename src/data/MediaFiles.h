// Where pictures, music and sounds come from: the package appended to the player first,
// then files on disk relative to the current directory (the data folder). Script and
// package names use "\" between folders and were written on a file system that ignores
// letter case; DiskPath maps them onto this one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/PackageFile2.h"
#include "data/Stream.h"

namespace kelva {

class MediaFiles {
public:
    // `package` is borrowed and may be null (a story played from disk).
    explicit MediaFiles(TReadPackageFile* package) : m_package(package) {}

    // The package's shared stream positioned at the entry's first byte, with the entry's
    // size in `size`; nullptr (and `size` untouched) without a package or such an entry.
    // The stream stays valid until the next call that moves it.
    Stream* OpenEntry(std::string_view name, int64_t& size);
    // Exactly the entry's bytes; nullopt without a package or such an entry, or when the
    // package ends inside the entry.
    std::optional<std::vector<uint8_t>> ReadEntry(std::string_view name);

    // The disk path for a script name: "\" becomes "/" (a "\" that is the second byte of
    // a double-byte character stays), relative to the current directory. Each folder and
    // the file name is taken as written when it exists, otherwise from a directory entry
    // that equals it with ASCII letters compared without regard to case (the smallest
    // such name when there are several). From the first part that matches nothing on, the
    // rest is returned as mapped, so the caller's open fails as it would for any missing
    // file.
    std::string DiskPath(std::string_view name) const;
    // The whole file at DiskPath(name); nullopt when it can't be read.
    std::optional<std::vector<uint8_t>> ReadDiskFile(std::string_view name) const;

    // Names in scripts are CP932, but a game copied to this system may have its file
    // names converted (to UTF-8). When set, a part holding non-ASCII bytes that matches
    // nothing is tried once more converted by `toDiskName`.
    void SetDiskNameConverter(std::function<std::string(std::string_view)> toDiskName)
    {
        m_toDiskName = std::move(toDiskName);
    }

    TReadPackageFile* Package() const { return m_package; }

private:
    TReadPackageFile* m_package;
    std::function<std::string(std::string_view)> m_toDiskName;
};

}  // namespace kelva
