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

// How long a writer waits for another one writing in the same folder.
inline constexpr int kFolderLockWaitMs = 5000;

// Writes `bytes` to a temporary file beside `path`, flushes it to the disk, renames it
// over `path` and flushes the folder: a crash, a kill or a full disk at any moment
// leaves either the old file or the new one, never a partial file. Writers in one folder
// take turns through a lock on the folder (other programs and copies of this one
// included); after waiting kFolderLockWaitMs for it the write fails with EWOULDBLOCK.
// False, with the reason in `error`, when the file could not be written; the old file
// is then untouched.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, FileError& error);
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace kelva
