#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelva {

// Writes `bytes` to a temporary file beside `path`, flushes it to the disk and renames
// it over `path`: a crash or a full disk leaves either the old file or the new one,
// never a partial file. False, with a reason in `error`, when it could not be written.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace kelva
