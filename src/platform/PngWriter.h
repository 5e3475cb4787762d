// Pictures written as PNG files: the replay's dumps and the reader's screenshots.
#pragma once

#include <cstdint>
#include <string>

namespace kelva {

enum class PngTarget {
    Replace,  // a file already at the path is overwritten
    NewFile,  // a file already at the path is left alone and the write fails with EEXIST
};

// Writes blue-green-red rows (row 0 at the top, `pitch` bytes apart) as an 8-bit RGB PNG.
// Answers 0, or the errno value of the failure (EIO when the encoder failed); a file it
// had begun is then removed.
int WriteBgrPng(const std::string& path, const uint8_t* pixels, int width, int height, int pitch,
                PngTarget target = PngTarget::Replace);

}  // namespace kelva
