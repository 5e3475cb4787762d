#include "support/JpegEncoding.h"

#include <cstdio>
#include <cstdlib>

namespace kelva::test {

std::vector<uint8_t> EncodeJpeg(int width, int height, J_COLOR_SPACE space,
                                const std::function<void(int, int, uint8_t*)>& pixel, int quality,
                                bool progressive)
{
    jpeg_compress_struct c;
    jpeg_error_mgr error;
    c.err = jpeg_std_error(&error);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = space == JCS_GRAYSCALE ? 1 : space == JCS_CMYK ? 4 : 3;
    c.in_color_space = space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width * c.input_components));
    while (c.next_scanline < c.image_height) {
        for (int x = 0; x < width; ++x)
            pixel(x, static_cast<int>(c.next_scanline), &row[x * c.input_components]);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

}  // namespace kelva::test
