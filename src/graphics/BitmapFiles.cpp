#include "graphics/BitmapFiles.h"

#include <exception>

namespace kelva {

bool LoadBitmapPicture(MediaFiles* media, std::string_view name, TNkDIB& picture, int64_t maxPixels)
{
    MediaFiles diskOnly(nullptr);
    MediaFiles& files = media ? *media : diskOnly;
    int64_t size = 0;
    if (Stream* entry = files.OpenEntry(name, size)) {
        try {
            picture.LoadFromStream(*entry, size, maxPixels);
            return true;
        } catch (const std::exception&) {
            // a broken entry falls back to the disk file
        }
    }
    try {
        picture.LoadFromFile(files.DiskPath(name), maxPixels);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace kelva
