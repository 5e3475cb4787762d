#include "sound/CdDriveList.h"

#include <cstdlib>
#include <filesystem>

#include "data/MediaFiles.h"
#include "platform/cdio/CdioDrive.h"
#include "sound/DiscImageDrive.h"

namespace kelva {

std::vector<std::unique_ptr<CdDrive>> FindCdDrives(const std::string& cueSheet, const std::string& gameFolder,
                                                   std::vector<std::string>& problems)
{
    std::vector<std::unique_ptr<CdDrive>> drives;
    std::string sheet = cueSheet;
    if (sheet.empty()) {
        const char* named = std::getenv(kCdImageVariable);
        if (named) sheet = named;
    }
    if (!sheet.empty()) {
        std::string error;
        if (std::unique_ptr<DiscImage> disc = DiscImage::FromCueSheet(sheet, error)) {
            drives.push_back(std::make_unique<DiscImageDrive>(sheet, std::move(disc)));
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

    for (auto& drive : ListCdioDrives()) drives.push_back(std::move(drive));
    return drives;
}

}  // namespace kelva
