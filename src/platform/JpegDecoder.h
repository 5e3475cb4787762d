// JPEG decoding into 24-bit pixels, with the decoder's fast, lower-quality settings
// (fast integer transform, plain upsampling): pictures are shown once at their own size,
// so speed matters more than the last bit of quality.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelva {

// Limits every picture reader applies, so a lying header can't ask for a huge image. The
// stage is 640 x 480 and shows a larger picture cropped; 16 megapixels (54 stages, more
// than most cameras' photos) is room for any picture a story can use, and costs at most
// 48 MB at 24 bits.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr int64_t kMaxPicturePixels = 16 * 1024 * 1024;

// A decoded picture: `Height` rows of `Width` pixels, row 0 at the top, each pixel blue,
// green, red, each row padded to `Stride` bytes (a multiple of 4), the layout of a
// 24-bit off-screen image, which can take the buffer over without copying.
struct DecodedPicture {
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    std::vector<uint8_t> Pixels;  // Stride * Height bytes
};

struct JpegDecodeResult {
    DecodedPicture Picture;  // meaningful only when Ok()
    std::string Error;       // why decoding failed (ASCII, from the decoder); empty on success
    bool Ok() const { return Error.empty(); }
};

// Decodes the JPEG held in `data` (exactly the picture's bytes). Baseline and progressive,
// colour and greyscale pictures decode; CMYK and YCCK pictures are converted. A picture
// larger than the limits above, scan data that is missing or cut short, more scans than
// a picture of its size needs, arithmetic coding and anything the decoder can't read give
// an error. Reads nothing outside `data`; thread-safe.
JpegDecodeResult DecodeJpeg(const uint8_t* data, size_t size);

}  // namespace kelva
