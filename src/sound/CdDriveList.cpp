#include "sound/CdDriveList.h"

#include <filesystem>

#include "data/MediaFiles.h"
#include "sound/DiscImageDrive.h"

namespace kelva {

std::vector<std::unique_ptr<CdDrive>> FindCdDrives(const std::string& cueSheet, const std::string& gameFolder,
                                                   const SystemCdDrives& systemDrives,
                                                   std::vector<std::string>& problems)
{
    std::vector<std::unique_ptr<CdDrive>> drives;
    if (!cueSheet.empty()) {
        std::string error;
        if (std::unique_ptr<DiscImage> disc = DiscImage::FromCueSheet(cueSheet, error)) {
            drives.push_back(std::make_unique<DiscImageDrive>(cueSheet, std::move(disc)));
        } else {
            problems.push_back(error);
        }
    }

    // Game files come from a system that ignores letter case: "CD" or "Cd" will do too.
    const std::string folder = MediaFiles(nullptr).DiskPath((gameFolder.empty() ? "." : gameFolder) + "/cd");
    std::error_code failure;
    if (std::filesystem::is_directory(folder, failure)) {
        std::string error;
        if (std::unique_ptr<DiscImage> disc = DiscImage::FromTrackFolder(folder, error)) {
            drives.push_back(std::make_unique<DiscImageDrive>(folder, std::move(disc)));
        } else {
            problems.push_back(error);
        }
    }

    for (auto& drive : systemDrives()) drives.push_back(std::move(drive));
    return drives;
}

}  // namespace kelva
