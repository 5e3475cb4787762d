// The CD player's drive list: stand-ins for a drive first, then the system's drives.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/CdDrive.h"

namespace kelva {

// Lists the system's CD drives, in the system's order.
using SystemCdDrives = std::function<std::vector<std::unique_ptr<CdDrive>>()>;

// In order: the disc image of the CUE sheet `cueSheet` (none when empty); the folder of
// ripped tracks "cd" in `gameFolder` (any letter case), when it holds tracks; then the
// drives `systemDrives` lists. An image or folder that can't be read is left out, with a
// message naming it in `problems`.
std::vector<std::unique_ptr<CdDrive>> FindCdDrives(const std::string& cueSheet, const std::string& gameFolder,
                                                   const SystemCdDrives& systemDrives,
                                                   std::vector<std::string>& problems);

}  // namespace kelva
