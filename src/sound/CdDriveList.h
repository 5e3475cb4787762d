// The CD player's drive list: stand-ins for a drive first, then the system's drives.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/CdDrive.h"

namespace kelva {

// Environment variable naming a CUE sheet when the caller names none.
inline constexpr const char* kCdImageVariable = "KELVA_CD_IMAGE";

// In order: the disc image of the CUE sheet `cueSheet` (or of the one KELVA_CD_IMAGE
// names, when `cueSheet` is empty); the folder of ripped tracks "cd" in `gameFolder`
// (any letter case), when it holds tracks; then the system's CD drives. An image or
// folder that can't be read is left out, with a message naming it in `problems`.
std::vector<std::unique_ptr<CdDrive>> FindCdDrives(const std::string& cueSheet, const std::string& gameFolder,
                                                   std::vector<std::string>& problems);

}  // namespace kelva
