#include "platform/PngWriter.h"

#include <png.h>

#include <cerrno>
#include <cstdio>

namespace kelva {

namespace {

// Encodes into the open `file`; false when the encoder failed.
bool Encode(std::FILE* file, const uint8_t* pixels, int width, int height, int pitch)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_bgr(png);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, const_cast<png_bytep>(pixels + static_cast<ptrdiff_t>(y) * pitch));
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

int WriteBgrPng(const std::string& path, const uint8_t* pixels, int width, int height, int pitch,
                PngTarget target)
{
    // "x": created only when no file is there, in one step, so no other writer's file
    // can be overwritten between a check and the write.
    std::FILE* file = std::fopen(path.c_str(), target == PngTarget::NewFile ? "wbx" : "wb");
    if (!file) return errno;
    int error = Encode(file, pixels, width, height, pitch) ? 0 : EIO;
    if (std::fflush(file) != 0 && error == 0) error = errno;
    if (std::fclose(file) != 0 && error == 0) error = errno;
    if (error != 0) std::remove(path.c_str());
    return error;
}

}  // namespace kelva
