// JPEG pictures made in tests and benchmarks, with the decoder's own library.
#pragma once

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace kelva::test {

// Encodes `width` x `height` pixels; `pixel` fills one pixel's samples in the order of
// `space` (1 for grey, 3 for RGB, 4 for CMYK). The encoder's default error handling
// ends the process, which is fine for the well-formed input given here.
std::vector<uint8_t> EncodeJpeg(int width, int height, J_COLOR_SPACE space,
                                const std::function<void(int, int, uint8_t*)>& pixel, int quality = 95,
                                bool progressive = false);

}  // namespace kelva::test
