// JPEG pictures through the decoder the stage uses for backgrounds.
#include "FuzzSupport.h"
#include "platform/JpegDecoder.h"

using namespace kelva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const JpegDecodeResult result = DecodeJpeg(data, size);
    if (!result.Ok()) return 0;
    const DecodedPicture& p = result.Picture;
    if (static_cast<int64_t>(p.Width) * p.Height > kMaxPicturePixels)
        fuzz::Broken("a picture over the pixel limit");
    if (p.Stride < p.Width * 3 || p.Pixels.size() != static_cast<size_t>(p.Stride) * p.Height)
        fuzz::Broken("pixel buffer and size disagree");
    return 0;
}
