#pragma once

#include <string_view>

#include "data/MediaFiles.h"
#include "graphics/NkDIB.h"

namespace kelva {

// Reads the bitmap picture `name` into `picture`: from the package entry of that name
// when there is one and it reads, otherwise from the disk file. False when neither
// works; `picture` then keeps what it held. Never throws: a missing picture must not stop
// the story. `media` may be null (disk only, by the name as written). A picture of more
// than `maxPixels` pixels counts as one that can't be read.
bool LoadBitmapPicture(MediaFiles* media, std::string_view name, TNkDIB& picture,
                       int64_t maxPixels = kMaxPicturePixels);

}  // namespace kelva
