#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelva {

// Why a file could not be written: the errno value and the system's text for it.
struct FileError {
    int Code = 0;
    std::string Text;
};

// One version of a file as the folder holds it. Every atomic rewrite puts a new file in
// place, so a file replaced by another program is another version even at equal size.
struct FileVersion {
    bool Exists = false;
    uint64_t Device = 0;
    uint64_t Inode = 0;
    int64_t ModifiedNs = 0;
    int64_t Size = 0;
    bool operator==(const FileVersion&) const = default;
};
FileVersion VersionOf(const std::string& path);

// How long a writer waits for another one writing in the same folder.
inline constexpr int kFolderLockWaitMs = 5000;

// Writes `bytes` to a temporary file beside `path`, flushes it to the disk, renames it
// over `path` and flushes the folder: a crash, a kill or a full disk at any moment
// leaves either the old file or the new one, never a partial file. Writers in one folder
// take turns through a lock on the folder (other programs and copies of this one
// included); after waiting kFolderLockWaitMs for it the write fails with EWOULDBLOCK.
// False, with the reason in `error`, when the file could not be written; the old file
// is then untouched. With `version`, the file is replaced only while it is still that
// version (checked under the lock; else ESTALE), and `version` becomes the one written.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, FileError& error,
                         FileVersion* version = nullptr);
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace kelva
