// BMP pictures (every bit depth, run-length coded ones included) through the off-screen
// image's reader, bounded by the file's own length as for a package entry.
#include "FuzzSupport.h"
#include "graphics/NkDIB.h"
#include "platform/JpegDecoder.h"

using namespace kelva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryStream stream(fuzz::Bytes(data, size));
    TNkDIB picture;
    try {
        picture.LoadFromStream(stream, static_cast<int64_t>(size));
    } catch (const FormatError&) {
        return 0;
    }
    if (static_cast<int64_t>(picture.Width()) * picture.Height() > kMaxPicturePixels)
        fuzz::Broken("a picture over the pixel limit was accepted");
    return 0;
}
