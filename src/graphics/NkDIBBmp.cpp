// BMP reading and writing for the off-screen image.
//
// Everything a header declares is checked against the picture limits and against what
// the stream really holds before anything is allocated or read, so a lying header ends
// in an ImageError, never in a huge allocation or a read or write outside a buffer.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <utility>

#include "graphics/NkDIB.h"
#include "graphics/NkDIBRows.h"

namespace kelva {

namespace {

constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;
constexpr uint32_t kCompressionAlphaBitFields = 6;

constexpr int kFileHeaderSize = 14;
constexpr int kCoreHeaderSize = 12;  // OS/2 1.x
constexpr int kInfoHeaderSize = 40;
constexpr int kMaxHeaderSize = 124;  // V5

[[noreturn]] void Broken(const std::string& detail)
{
    throw ImageError("ビットマップが壊れています（" + detail + "）。");
}

[[noreturn]] void Unsupported(const std::string& detail)
{
    throw ImageError("対応していない形式のビットマップです（" + detail + "）。");
}

uint16_t U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void ReadOrFail(Stream& stream, void* buffer, size_t count, const char* what)
{
    if (count == 0) return;  // an empty palette has no buffer to pass
    if (stream.Read(buffer, count) != count) Broken(std::string(what) + "が途中で終わっています");
}

struct BmpLayout {
    int width = 0;
    int height = 0;  // rows, positive
    bool topDown = false;
    int bitCount = 0;
    uint32_t compression = kCompressionRgb;
    uint32_t sizeImage = 0;
    uint32_t masks[3] = {0, 0, 0};  // red, green, blue
    std::vector<TColor> palette;
    int64_t dataPosition = 0;  // absolute stream position of the pixel data
    int64_t end = 0;           // absolute stream position no read may pass
};

// Reads headers and palette; leaves the stream at the pixel data.
BmpLayout ReadLayout(Stream& stream, int64_t maxLength, int64_t maxPixels)
{
    const int64_t start = stream.Position();
    int64_t available = stream.Size() - start;
    if (maxLength >= 0) available = std::min(available, maxLength);

    uint8_t fileHeader[kFileHeaderSize];
    if (available < kFileHeaderSize + 4 || stream.Read(fileHeader, sizeof fileHeader) != sizeof fileHeader) {
        throw ImageError("ビットマップではありません（データが短すぎます）。");
    }
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') {
        throw ImageError("ビットマップではありません（先頭が BM ではありません）。");
    }
    const uint32_t dataOffset = U32(fileHeader + 10);

    uint8_t info[kMaxHeaderSize] = {};
    ReadOrFail(stream, info, 4, "ヘッダー");
    const uint32_t headerSize = U32(info);
    const bool core = headerSize == kCoreHeaderSize;
    const bool windows =
        headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124;
    const bool os2 = !core && !windows && headerSize >= 16 && headerSize <= 64;
    if (!core && !windows && !os2) Unsupported("情報ヘッダーの大きさ " + std::to_string(headerSize));
    // Every part of the headers must lie within the bitmap's bytes, not only the stream's.
    auto within = [&](int64_t endOffset, const char* what) {
        if (endOffset > available) Broken(std::string(what) + "が途中で終わっています");
    };
    within(kFileHeaderSize + headerSize, "ヘッダー");
    ReadOrFail(stream, info + 4, headerSize - 4, "ヘッダー");

    BmpLayout layout;
    layout.end = start + available;
    int64_t width, height;
    if (core) {
        width = U16(info + 4);
        height = U16(info + 6);
        layout.bitCount = U16(info + 10);
    } else {
        width = static_cast<int32_t>(U32(info + 4));
        height = static_cast<int32_t>(U32(info + 8));
        layout.bitCount = U16(info + 14);
        layout.compression = U32(info + 16);  // fields past a short OS/2 header read as 0
        layout.sizeImage = U32(info + 20);
    }
    if (height < 0) {
        layout.topDown = true;
        height = -height;  // int64: even INT32_MIN negates safely
    }
    const std::string size = std::to_string(width) + " × " + std::to_string(height);
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) {
        Broken("大きさ " + size + " が不正です");
    }
    if (width * height > maxPixels) {
        throw ImageError("ビットマップが大きすぎます（" + size + " で " + std::to_string(width * height) +
                         " 画素、上限は " + std::to_string(std::max<int64_t>(maxPixels, 0)) + " 画素）。");
    }
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);

    const int bits = layout.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        Unsupported(std::to_string(bits) + " ビット");
    }
    // OS/2 2.x uses 3 and 4 for its own Huffman and 24-bit run-length codings.
    const uint32_t c = layout.compression;
    const bool bitFields = !os2 && (c == kCompressionBitFields || c == kCompressionAlphaBitFields);
    const bool valid = c == kCompressionRgb || (c == kCompressionRle8 && bits == 8) ||
                       (c == kCompressionRle4 && bits == 4) || (bitFields && (bits == 16 || bits == 32));
    if (!valid) Unsupported("圧縮形式 " + std::to_string(c) + "、" + std::to_string(bits) + " ビット");
    if (layout.topDown && (c == kCompressionRle8 || c == kCompressionRle4)) {
        Broken("上から下へ並んだランレングス圧縮は使えません");
    }

    int64_t paletteStart = kFileHeaderSize + headerSize;
    if (bitFields) {
        if (headerSize == kInfoHeaderSize) {
            // The masks follow a 40-byte header; later headers hold them.
            const int maskBytes = c == kCompressionAlphaBitFields ? 16 : 12;
            within(paletteStart + maskBytes, "ビットマスク");
            ReadOrFail(stream, info + kInfoHeaderSize, static_cast<size_t>(maskBytes), "ビットマスク");
            paletteStart += maskBytes;
        }
        layout.masks[0] = U32(info + 40);
        layout.masks[1] = U32(info + 44);
        layout.masks[2] = U32(info + 48);
    } else if (bits == 16) {
        layout.masks[0] = 0x7C00, layout.masks[1] = 0x03E0, layout.masks[2] = 0x001F;
    } else if (bits == 32) {
        layout.masks[0] = 0xFF0000, layout.masks[1] = 0x00FF00, layout.masks[2] = 0x0000FF;
    }

    if (dataOffset != 0 && dataOffset < paletteStart) {
        Broken("画素データの位置 " + std::to_string(dataOffset) + " がヘッダーの中です");
    }

    if (bits <= 8) {
        // The declared count may be anything: take at most what the format can index
        // and, when the pixel data's position is known, what fits before it.
        const int entrySize = core ? 3 : 4;
        const uint32_t declared = core ? 0 : U32(info + 32);
        int64_t count = declared == 0 ? (1 << bits) : std::min<int64_t>(declared, 1 << bits);
        if (dataOffset != 0) count = std::min<int64_t>(count, (dataOffset - paletteStart) / entrySize);
        within(paletteStart + count * entrySize, "パレット");
        std::vector<uint8_t> entries(static_cast<size_t>(count * entrySize));
        ReadOrFail(stream, entries.data(), entries.size(), "パレット");
        layout.palette.resize(static_cast<size_t>(count));
        for (int64_t i = 0; i < count; ++i) {
            const uint8_t* e = &entries[static_cast<size_t>(i * entrySize)];
            layout.palette[static_cast<size_t>(i)] = MakeColor(e[2], e[1], e[0]);
        }
        if (dataOffset == 0) paletteStart += count * entrySize;
    }

    const int64_t dataStart = dataOffset != 0 ? dataOffset : paletteStart;
    if (dataStart > available) Broken("画素データの位置 " + std::to_string(dataStart) + " がデータの外です");
    layout.dataPosition = start + dataStart;
    if (stream.Seek(layout.dataPosition, SeekOrigin::Begin) != layout.dataPosition) {
        Broken("画素データの位置へ移れません");
    }
    return layout;
}

// Expands one channel of a bit-field pixel to 0..255.
class Channel {
public:
    explicit Channel(uint32_t mask) : m_mask(mask)
    {
        if (mask == 0) {
            m_scale.assign(1, 0);
            return;
        }
        m_shift = std::countr_zero(mask);
        uint32_t span = mask >> m_shift;
        // Keep the table small: only the top 16 bits of a wider field count.
        if (const int width = std::bit_width(span); width > 16) {
            m_shift += width - 16;
            span >>= width - 16;
        }
        m_span = span;
        m_scale.resize(span + 1);
        for (uint32_t v = 0; v <= span; ++v) m_scale[v] = static_cast<uint8_t>((v * 255 + span / 2) / span);
    }
    uint8_t operator()(uint32_t pixel) const { return m_scale[((pixel & m_mask) >> m_shift) & m_span]; }

private:
    uint32_t m_mask;
    int m_shift = 0;
    uint32_t m_span = 0;
    std::vector<uint8_t> m_scale;
};

// Checked before the image is allocated, so a short file can't claim a big picture.
void CheckUncompressedSize(const BmpLayout& layout)
{
    const int64_t needed = nkdib::StrideFor(layout.width, layout.bitCount) * layout.height;
    const int64_t left = layout.end - layout.dataPosition;
    if (needed > left) {
        Broken("画素データが " + std::to_string(needed) + " バイト必要ですが、" + std::to_string(left) +
               " バイトしかありません");
    }
}

void ReadUncompressed(Stream& stream, const BmpLayout& layout, TNkDIB& image)
{
    const int64_t rowBytes = nkdib::StrideFor(layout.width, layout.bitCount);
    // 1-, 8- and 24-bit rows have the image's own layout and are read in place.
    const bool inPlace = layout.bitCount == image.BitCount();
    std::vector<uint8_t> row(inPlace ? 0 : static_cast<size_t>(rowBytes));
    const Channel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]);
    const bool plain32 = layout.bitCount == 32 && layout.masks[0] == 0xFF0000 && layout.masks[1] == 0xFF00 &&
                         layout.masks[2] == 0xFF;

    for (int fileRow = 0; fileRow < layout.height; ++fileRow) {
        uint8_t* target = image.ScanLine(layout.topDown ? fileRow : layout.height - 1 - fileRow);
        if (inPlace) {
            ReadOrFail(stream, target, static_cast<size_t>(rowBytes), "画素データ");
            continue;
        }
        ReadOrFail(stream, row.data(), row.size(), "画素データ");
        const uint8_t* p = row.data();
        switch (layout.bitCount) {
            case 4:
                for (int x = 0; x < layout.width; ++x) {
                    target[x] = static_cast<uint8_t>(x & 1 ? p[x >> 1] & 0x0F : p[x >> 1] >> 4);
                }
                break;
            case 16:
                for (int x = 0; x < layout.width; ++x, p += 2, target += 3) {
                    const uint32_t v = U16(p);
                    target[0] = blue(v), target[1] = green(v), target[2] = red(v);
                }
                break;
            default:  // 32
                for (int x = 0; x < layout.width; ++x, p += 4, target += 3) {
                    if (plain32) {
                        target[0] = p[0], target[1] = p[1], target[2] = p[2];
                    } else {
                        const uint32_t v = U32(p);
                        target[0] = blue(v), target[1] = green(v), target[2] = red(v);
                    }
                }
                break;
        }
    }
}

// Buffered byte source for run-length data, which has no length of its own: it ends at
// its end-of-bitmap code. Never reads past `limit` bytes.
class RleSource {
public:
    RleSource(Stream& stream, int64_t limit) : m_stream(stream), m_limit(limit) {}

    bool Next(uint8_t& byte)
    {
        if (m_position == m_filled) {
            const int64_t want = std::min<int64_t>(sizeof m_buffer, m_limit - m_fetched);
            if (want <= 0) return false;
            m_filled = m_stream.Read(m_buffer, static_cast<size_t>(want));
            m_position = 0;
            m_fetched += static_cast<int64_t>(m_filled);
            if (m_filled == 0) return false;
        }
        byte = m_buffer[m_position++];
        ++m_consumed;
        return true;
    }
    int64_t Consumed() const { return m_consumed; }

private:
    Stream& m_stream;
    int64_t m_limit;
    int64_t m_fetched = 0;
    int64_t m_consumed = 0;
    uint8_t m_buffer[4096];
    size_t m_filled = 0;
    size_t m_position = 0;
};

// RLE8 and RLE4 into an 8-bit image. Pixels the codes skip keep index 0.
void ReadRunLength(Stream& stream, const BmpLayout& layout, TNkDIB& image)
{
    const bool four = layout.compression == kCompressionRle4;
    const int64_t left = layout.end - layout.dataPosition;
    // The declared size bounds the data when there is one; many writers leave it 0.
    const int64_t limit = layout.sizeImage != 0 ? std::min<int64_t>(layout.sizeImage, left) : left;
    RleSource source(stream, limit);
    const int width = layout.width;
    const int height = layout.height;

    auto next = [&](uint8_t& byte, int y) {
        if (!source.Next(byte)) {
            if (y >= height) return false;
            Broken("ランレングスデータが途中で終わっています");
        }
        return true;
    };
    auto rowAt = [&](int y) { return image.ScanLine(height - 1 - y); };  // rows run bottom-up

    int x = 0, y = 0;
    for (;;) {
        uint8_t count, value;
        if (!next(count, y) || !next(value, y)) break;
        if (count > 0) {
            if (y >= height || x + count > width) Broken("ランレングスが画像の外に出ています");
            uint8_t* row = rowAt(y);
            if (four) {
                for (int i = 0; i < count; ++i)
                    row[x + i] = static_cast<uint8_t>(i & 1 ? value & 0x0F : value >> 4);
            } else {
                std::memset(row + x, value, count);
            }
            x += count;
        } else if (value == 0) {  // end of line
            if (y >= height) Broken("行の終わりが画像の外にあります");
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // move right and up
            uint8_t dx, dy;
            if (!next(dx, y) || !next(dy, y)) Broken("ランレングスデータが途中で終わっています");
            x += dx;
            y += dy;
            if (x > width || y > height) Broken("移動先が画像の外です");
        } else {  // `value` literal pixels, padded to a 16-bit boundary
            const int pixels = value;
            if (y >= height || x + pixels > width) Broken("ランレングスが画像の外に出ています");
            const int bytes = four ? (pixels + 1) / 2 : pixels;
            uint8_t* row = rowAt(y);
            for (int i = 0; i < bytes; ++i) {
                uint8_t byte;
                if (!source.Next(byte)) Broken("ランレングスデータが途中で終わっています");
                if (!four) {
                    row[x + i] = byte;
                } else {
                    row[x + 2 * i] = byte >> 4;
                    if (2 * i + 1 < pixels) row[x + 2 * i + 1] = byte & 0x0F;
                }
            }
            uint8_t pad;
            if (bytes & 1 && !source.Next(pad)) Broken("ランレングスデータが途中で終わっています");
            x += pixels;
        }
    }
    // Leave the stream just after the codes, not after what the buffer read ahead.
    const int64_t end = layout.dataPosition + source.Consumed();
    if (stream.Seek(end, SeekOrigin::Begin) != end) Broken("データの終わりへ移れません");
}

void PutU16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v), p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

void TNkDIB::LoadFromStream(Stream& stream, int64_t maxLength, int64_t maxPixels)
{
    const BmpLayout layout = ReadLayout(stream, maxLength, std::min(maxPixels, kMaxPicturePixels));
    const bool runLength = layout.compression == kCompressionRle8 || layout.compression == kCompressionRle4;
    if (!runLength) CheckUncompressedSize(layout);
    const int outputBits = layout.bitCount == 1 ? 1 : layout.bitCount <= 8 ? 8 : 24;
    TNkDIB result(layout.width, layout.height, outputBits);
    result.m_palette = layout.palette;
    if (runLength) {
        ReadRunLength(stream, layout, result);
    } else {
        ReadUncompressed(stream, layout, result);
    }
    *this = std::move(result);
}

void TNkDIB::LoadFromFile(const std::string& path, int64_t maxPixels)
{
    auto file = FileStream::Open(path, FileMode::Read);
    if (!file) throw ImageError("ファイルを開けません。");
    LoadFromStream(*file, -1, maxPixels);
}

void TNkDIB::SaveToStream(Stream& stream) const
{
    const int paletteCount = m_bitCount == 24 ? 0 : m_palette.empty() ? (1 << m_bitCount) : PaletteSize();
    const uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize + 4 * paletteCount;
    const uint32_t imageSize = static_cast<uint32_t>(m_stride) * static_cast<uint32_t>(m_height);

    std::vector<uint8_t> header(dataOffset, 0);
    uint8_t* h = header.data();
    h[0] = 'B', h[1] = 'M';
    PutU32(h + 2, dataOffset + imageSize);
    PutU32(h + 10, dataOffset);
    uint8_t* info = h + kFileHeaderSize;
    PutU32(info, kInfoHeaderSize);
    PutU32(info + 4, static_cast<uint32_t>(m_width));
    PutU32(info + 8, static_cast<uint32_t>(m_height));
    PutU16(info + 12, 1);
    PutU16(info + 14, static_cast<uint32_t>(m_bitCount));
    PutU32(info + 20, imageSize);
    PutU32(info + 24, 3780);  // 96 dots per inch
    PutU32(info + 28, 3780);
    PutU32(info + 32, static_cast<uint32_t>(paletteCount));
    for (int i = 0; i < PaletteSize() && i < paletteCount; ++i) {
        uint8_t* e = info + kInfoHeaderSize + 4 * i;
        const TColor color = m_palette[static_cast<size_t>(i)];
        e[0] = static_cast<uint8_t>(ColorBlue(color));
        e[1] = static_cast<uint8_t>(ColorGreen(color));
        e[2] = static_cast<uint8_t>(ColorRed(color));
    }
    stream.WriteExact(header.data(), header.size());
    for (int y = m_height - 1; y >= 0; --y) stream.WriteExact(ScanLine(y), static_cast<size_t>(m_stride));
}

}  // namespace kelva
