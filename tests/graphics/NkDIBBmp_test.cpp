#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <optional>

#include "graphics/NkDIB.h"
#include "support/HostilePictures.h"

namespace kelva {
namespace {

// A BMP file put together field by field, so tests can build every variant and lie in
// any field.
struct BmpFields {
    uint32_t headerSize = 40;
    int32_t width = 0;
    int32_t height = 0;  // negative: top-down
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t colorsUsed = 0;
    std::vector<TColor> palette;
    std::vector<uint32_t> masks;  // after a 40-byte header, inside a larger one
    std::vector<uint8_t> data;    // the pixel data as stored
    std::optional<uint32_t> dataOffset;
};

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> BuildBmp(const BmpFields& s)
{
    std::vector<uint8_t> out = {'B', 'M'};
    Put(out, 0, 4);  // file size, filled in below
    Put(out, 0, 4);
    Put(out, 0, 4);  // data offset, filled in below
    const size_t infoStart = out.size();
    Put(out, s.headerSize, 4);
    if (s.headerSize == 12) {
        Put(out, static_cast<uint32_t>(s.width), 2);
        Put(out, static_cast<uint32_t>(s.height), 2);
        Put(out, 1, 2);
        Put(out, s.bitCount, 2);
    } else {
        Put(out, static_cast<uint32_t>(s.width), 4);
        Put(out, static_cast<uint32_t>(s.height), 4);
        Put(out, 1, 2);
        Put(out, s.bitCount, 2);
        Put(out, s.compression, 4);
        Put(out, s.sizeImage, 4);
        Put(out, 2835, 4);
        Put(out, 2835, 4);
        Put(out, s.colorsUsed, 4);
        Put(out, 0, 4);
        out.resize(infoStart + s.headerSize, 0);
        for (size_t i = 0; i < s.masks.size(); ++i) {
            if (s.headerSize == 40) {
                Put(out, s.masks[i], 4);
            } else {
                for (int b = 0; b < 4; ++b)
                    out[infoStart + 40 + 4 * i + b] = static_cast<uint8_t>(s.masks[i] >> (8 * b));
            }
        }
    }
    for (TColor color : s.palette) {
        out.insert(out.end(),
                   {static_cast<uint8_t>(ColorBlue(color)), static_cast<uint8_t>(ColorGreen(color)),
                    static_cast<uint8_t>(ColorRed(color))});
        if (s.headerSize != 12) out.push_back(0);
    }
    const uint32_t offset = s.dataOffset.value_or(static_cast<uint32_t>(out.size()));
    out.insert(out.end(), s.data.begin(), s.data.end());
    for (int b = 0; b < 4; ++b) {
        out[2 + b] = static_cast<uint8_t>(out.size() >> (8 * b));
        out[10 + b] = static_cast<uint8_t>(offset >> (8 * b));
    }
    return out;
}

// Stored rows for a picture whose pixel (x, y), row 0 at the top, holds `value(x, y)`:
// an index for up to 8 bits, else the little-endian pixel of 16, 24 or 32 bits.
std::vector<uint8_t> PackRows(int width, int height, int bits, bool topDown,
                              const std::function<uint32_t(int, int)>& value)
{
    const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    std::vector<uint8_t> data(stride * height, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &data[(topDown ? y : height - 1 - y) * stride];
        for (int x = 0; x < width; ++x) {
            const uint32_t v = value(x, y);
            if (bits < 8) {
                const int shift = 8 - bits - (x * bits) % 8;
                row[x * bits / 8] |= static_cast<uint8_t>(v << shift);
            } else {
                for (int b = 0; b < bits / 8; ++b) row[x * bits / 8 + b] = static_cast<uint8_t>(v >> (8 * b));
            }
        }
    }
    return data;
}

TNkDIB Load(const std::vector<uint8_t>& bytes)
{
    MemoryStream stream(bytes);
    TNkDIB image;
    image.LoadFromStream(stream);
    return image;
}

std::string LoadError(const std::vector<uint8_t>& bytes)
{
    try {
        Load(bytes);
    } catch (const ImageError& e) {
        return e.what();
    }
    return "(no error)";
}

constexpr int kW = 13;  // odd, so every format's rows carry padding
constexpr int kH = 5;

int Scale(int value, int maximum)
{
    return static_cast<int>(std::lround(value * 255.0 / maximum));
}

TEST(BmpReadTest, IndexedFormatsKeepIndicesAndPalette)
{
    struct Case {
        const char* name;
        uint32_t headerSize;
        uint16_t bits;
        int colors;
        int expectedBits;
    };
    for (const Case& c : {Case{"1 bit", 40, 1, 2, 1}, Case{"4 bit", 40, 4, 16, 8},
                          Case{"8 bit", 40, 8, 256, 8}, Case{"8 bit, 20 colours", 40, 8, 20, 8},
                          Case{"OS/2 1.x, 8 bit", 12, 8, 256, 8}, Case{"OS/2 2.x, 4 bit", 64, 4, 16, 8}}) {
        SCOPED_TRACE(c.name);
        BmpFields s;
        s.headerSize = c.headerSize;
        s.width = kW;
        s.height = kH;
        s.bitCount = c.bits;
        s.colorsUsed = c.colors == (1 << c.bits) ? 0 : c.colors;
        for (int i = 0; i < c.colors; ++i) s.palette.push_back(MakeColor(i * 7 + 3, 255 - i, i * 13));
        auto index = [&](int x, int y) { return static_cast<uint32_t>((x * 3 + y * 5) % c.colors); };
        s.data = PackRows(kW, kH, c.bits, false, index);

        const TNkDIB image = Load(BuildBmp(s));
        ASSERT_EQ(image.Width(), kW);
        ASSERT_EQ(image.Height(), kH);
        ASSERT_EQ(image.BitCount(), c.expectedBits);
        EXPECT_EQ(image.Palette(), s.palette);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                ASSERT_EQ(image.PixelIndex(x, y), static_cast<int>(index(x, y))) << x << "," << y;
                ASSERT_EQ(image.Pixel(x, y), s.palette[index(x, y)]);
            }
    }
}

TEST(BmpReadTest, DirectColourFormatsBecome24Bit)
{
    auto red = [](int x, int y) { return (x * 5 + y) % 32; };  // 5-bit channel values
    auto green = [](int x, int y) { return (x + y * 7) % 32; };
    auto blue = [](int x, int y) { return (x * y) % 32; };
    struct Case {
        const char* name;
        uint32_t headerSize;
        uint16_t bits;
        uint32_t compression;
        std::vector<uint32_t> masks;
        bool topDown;
        std::function<uint32_t(int, int)> stored;
        std::function<TColor(int, int)> expected;
    };
    auto exact = [&](int x, int y) { return MakeColor(red(x, y) * 8, green(x, y) * 8, blue(x, y) * 8); };
    auto bgr = [&](int x, int y) {
        const TColor c = exact(x, y);
        return uint32_t(ColorBlue(c) | ColorGreen(c) << 8 | ColorRed(c) << 16);
    };
    auto as555 = [&](int x, int y) { return uint32_t(red(x, y) << 10 | green(x, y) << 5 | blue(x, y)); };
    auto as565 = [&](int x, int y) {
        return uint32_t(red(x, y) << 11 | (green(x, y) * 2) << 5 | blue(x, y));
    };
    auto from5 = [&](int x, int y) {
        return MakeColor(Scale(red(x, y), 31), Scale(green(x, y), 31), Scale(blue(x, y), 31));
    };
    auto from565 = [&](int x, int y) {
        return MakeColor(Scale(red(x, y), 31), Scale(green(x, y) * 2, 63), Scale(blue(x, y), 31));
    };
    // 10 bits a channel, blue in the top bits: masks need not be in the usual order.
    auto as1010 = [&](int x, int y) {
        return uint32_t(blue(x, y) * 33) << 20 | uint32_t(green(x, y) * 33) << 10 | red(x, y) * 33;
    };
    auto from1010 = [&](int x, int y) {
        return MakeColor(Scale(red(x, y) * 33, 1023), Scale(green(x, y) * 33, 1023),
                         Scale(blue(x, y) * 33, 1023));
    };
    const std::vector<Case> cases = {
        {"24 bit", 40, 24, 0, {}, false, bgr, exact},
        {"24 bit top-down", 40, 24, 0, {}, true, bgr, exact},
        {"32 bit", 40, 32, 0, {}, false, bgr, exact},
        {"16 bit 5-5-5", 40, 16, 0, {}, false, as555, from5},
        {"16 bit fields 5-6-5", 40, 16, 3, {0xF800, 0x07E0, 0x001F}, false, as565, from565},
        {"V5 header, 5-6-5", 124, 16, 3, {0xF800, 0x07E0, 0x001F}, true, as565, from565},
        {"V4 header, 32 bit fields 10-10-10",
         108,
         32,
         3,
         {0x3FF, 0xFFC00, 0x3FF00000},
         false,
         as1010,
         from1010},
        {"alpha bit fields", 40, 32, 6, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, false, bgr, exact},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFields s;
        s.headerSize = c.headerSize;
        s.width = kW;
        s.height = c.topDown ? -kH : kH;
        s.bitCount = c.bits;
        s.compression = c.compression;
        s.masks = c.masks;
        s.data = PackRows(kW, kH, c.bits, c.topDown, c.stored);
        const TNkDIB image = Load(BuildBmp(s));
        ASSERT_EQ(image.BitCount(), 24);
        ASSERT_EQ(image.Height(), kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) ASSERT_EQ(image.Pixel(x, y), c.expected(x, y)) << x << "," << y;
    }
}

std::vector<int> Indices(const TNkDIB& image)
{
    std::vector<int> out;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) out.push_back(image.PixelIndex(x, y));
    return out;
}

BmpFields RleBmp(uint32_t compression, int width, int height, std::vector<uint8_t> codes)
{
    BmpFields s;
    s.width = width;
    s.height = height;
    s.bitCount = compression == 1 ? 8 : 4;
    s.compression = compression;
    s.palette.resize(compression == 1 ? 256 : 16);
    s.data = std::move(codes);
    return s;
}

TEST(BmpReadTest, Rle8RunsLiteralsDeltasAndLineEnds)
{
    // Rows are coded bottom row first.
    const std::vector<uint8_t> codes = {
        3, 1, 0, 3, 2, 3, 4, 0, 0, 0,  // run, odd literal with its pad byte, end of line
        2, 5, 0, 2, 2, 1,              // run, then move 2 right and 1 up
        2, 7, 0, 0,                    // run, end of line
        6, 9, 0, 1,                    // run, end of bitmap
    };
    std::vector<uint8_t> bytes = BuildBmp(RleBmp(1, 6, 4, codes));
    const size_t end = bytes.size();
    bytes.insert(bytes.end(), {0xAA, 0xBB, 0xCC});  // whatever follows in a package
    MemoryStream stream(bytes);
    TNkDIB image;
    image.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(end));
    ASSERT_EQ(image.BitCount(), 8);
    EXPECT_EQ(Indices(image), (std::vector<int>{9, 9, 9, 9, 9, 9,  //
                                                0, 0, 0, 0, 7, 7,  //
                                                5, 5, 0, 0, 0, 0,  //
                                                1, 1, 1, 2, 3, 4}));
}

TEST(BmpReadTest, Rle4AlternatesNibbles)
{
    const std::vector<uint8_t> codes = {
        3, 0x12, 0,    5,    0x3F, 0x75, 0x60, 0, 0, 0,  // 1 2 1, literal of 3 bytes and a pad, end of line
        0, 3,    0xAB, 0xC0, 4,    0xDE,                 // literal of 2 bytes (no pad), run D E D E
        0, 1,
    };
    const TNkDIB image = Load(BuildBmp(RleBmp(2, 8, 2, codes)));
    EXPECT_EQ(Indices(image), (std::vector<int>{10, 11, 12, 13, 14, 13, 14, 0,  //
                                                1, 2, 1, 3, 15, 7, 5, 6}));
}

TEST(BmpReadTest, ReadsFromTheMiddleOfAStreamAndStopsAfterThePixels)
{
    BmpFields s;
    s.width = 3;
    s.height = 2;
    s.data = PackRows(3, 2, 24, false, [](int x, int y) { return uint32_t(x * 40 + y); });
    const std::vector<uint8_t> bmp = BuildBmp(s);
    std::vector<uint8_t> package(7, 0x55);
    package.insert(package.end(), bmp.begin(), bmp.end());
    package.insert(package.end(), 100, 0x66);
    MemoryStream stream(package);
    stream.Seek(7, SeekOrigin::Begin);
    TNkDIB image;
    image.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(7 + bmp.size()));
    EXPECT_EQ(image.Pixel(2, 1), MakeColor(0, 0, 81));

    // Bounded by an entry's size, the next entry's bytes don't count as pixel data.
    stream.Seek(7, SeekOrigin::Begin);
    EXPECT_NO_THROW(image.LoadFromStream(stream, static_cast<int64_t>(bmp.size())));
    stream.Seek(7, SeekOrigin::Begin);
    EXPECT_THROW(image.LoadFromStream(stream, static_cast<int64_t>(bmp.size()) - 1), ImageError);
    stream.Seek(7, SeekOrigin::Begin);
    EXPECT_THROW(image.LoadFromStream(stream, 30), ImageError);  // inside the info header
}

TEST(BmpReadTest, SavedPicturesReadBackUnchanged)
{
    for (int bits : {1, 8, 24}) {
        SCOPED_TRACE(bits);
        TNkDIB image(11, 3, bits);
        if (bits != 24) image.SetPalette({MakeColor(1, 2, 3), MakeColor(250, 251, 252)});
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 11; ++x)
                image.SetPixel(x, y, (x + y) % 3 ? MakeColor(250, 251, 252) : MakeColor(1, 2, 3 * x));
        MemoryStream stream;
        image.SaveToStream(stream);
        stream.Seek(0, SeekOrigin::Begin);
        TNkDIB copy;
        copy.LoadFromStream(stream);
        EXPECT_EQ(copy.BitCount(), bits);
        EXPECT_EQ(copy.Palette(), image.Palette());
        EXPECT_EQ(std::vector<uint8_t>(copy.Bits(), copy.Bits() + copy.Stride() * 3),
                  std::vector<uint8_t>(image.Bits(), image.Bits() + image.Stride() * 3));
    }
}

// A valid 8-bit 4 x 2 picture that the hostile cases below spoil one field at a time.
BmpFields Valid8Bit()
{
    BmpFields s;
    s.width = 4;
    s.height = 2;
    s.bitCount = 8;
    s.palette.resize(256);
    s.data.assign(8, 1);
    return s;
}

TEST(BmpReadTest, LyingHeadersFailCleanly)
{
    struct Case {
        const char* name;
        std::function<void(BmpFields&)> spoil;
        const char* message;  // part of the expected message
    };
    const std::vector<Case> cases = {
        {"negative width", [](BmpFields& s) { s.width = -4; }, "ビットマップが壊れています"},
        {"zero height", [](BmpFields& s) { s.height = 0; }, "ビットマップが壊れています"},
        {"huge width", [](BmpFields& s) { s.width = 1 << 30; }, "ビットマップが壊れています"},
        {"lowest height", [](BmpFields& s) { s.height = INT32_MIN; }, "ビットマップが壊れています"},
        {"too many pixels", [](BmpFields& s) { s.width = s.height = 16384; }, "ビットマップが大きすぎます"},
        {"big picture, little data", [](BmpFields& s) { s.width = 4000, s.height = 4000; }, "画素データが"},
        {"truncated pixels", [](BmpFields& s) { s.data.pop_back(); }, "画素データが"},
        {"offset past the end", [](BmpFields& s) { s.dataOffset = 1u << 31; }, "データの外"},
        {"offset inside the header", [](BmpFields& s) { s.dataOffset = 20; }, "ヘッダーの中"},
        {"palette past the end", [](BmpFields& s) { s.palette.clear(), s.data.clear(), s.dataOffset = 0; },
         "パレット"},
        {"unknown header size", [](BmpFields& s) { s.headerSize = 200; }, "対応していない"},
        {"2 bits per pixel", [](BmpFields& s) { s.bitCount = 2; }, "対応していない"},
        {"embedded JPEG", [](BmpFields& s) { s.compression = 4; }, "対応していない"},
        {"RLE8 on 24 bits", [](BmpFields& s) { s.compression = 1, s.bitCount = 24; }, "対応していない"},
        {"top-down RLE", [](BmpFields& s) { s.compression = 1, s.height = -2; },
         "ビットマップが壊れています"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFields s = Valid8Bit();
        c.spoil(s);
        EXPECT_NE(LoadError(BuildBmp(s)).find(c.message), std::string::npos) << LoadError(BuildBmp(s));
    }
    EXPECT_NE(LoadError({'B', 'M', 0}).find("ビットマップではありません"), std::string::npos);
    EXPECT_NE(LoadError(std::vector<uint8_t>(64, 'x')).find("ビットマップではありません"), std::string::npos);
}

TEST(BmpReadTest, RunLengthPicturesEndEarlyButStayWithinThePixelBudget)
{
    // Run-length codes may end the bitmap at once, so a few bytes can claim any size: the
    // size alone decides, before anything is allocated.
    struct Case {
        const char* name;
        int width, height;
        int64_t maxPixels;
        const char* error;  // empty: loads
    };
    const Case cases[] = {
        {"at the limit", 4096, 4096, kMaxPicturePixels, ""},
        {"past the limit", 8192, 8192, kMaxPicturePixels,
         "ビットマップが大きすぎます（8192 × 8192 で 67108864 画素、上限は 16777216 画素）。"},
        {"a caller's smaller budget", 640, 480, 640 * 479,
         "ビットマップが大きすぎます（640 × 480 で 307200 画素、上限は 306560 画素）。"},
        {"no budget left", 1, 1, -5, "ビットマップが大きすぎます（1 × 1 で 1 画素、上限は 0 画素）。"},
        {"a budget above the limit still has the limit", 8192, 4096, kMaxPicturePixels * 4,
         "ビットマップが大きすぎます（8192 × 4096 で 33554432 画素、上限は 16777216 画素）。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStream stream(test::EmptyRunLengthBmp(c.width, c.height));
        TNkDIB image;
        try {
            image.LoadFromStream(stream, -1, c.maxPixels);
            EXPECT_STREQ(c.error, "");
            EXPECT_EQ(image.Width(), c.width);
            EXPECT_EQ(image.PixelIndex(c.width - 1, 0), 0) << "pixels the codes skip keep index 0";
        } catch (const ImageError& e) {
            EXPECT_EQ(e.what(), std::string(c.error));
            EXPECT_TRUE(image.IsEmpty());
        }
    }
}

TEST(BmpReadTest, AbsurdPaletteCountIsClamped)
{
    BmpFields s = Valid8Bit();
    s.colorsUsed = 0x80000000u;
    s.palette[1] = MakeColor(10, 20, 30);
    EXPECT_EQ(Load(BuildBmp(s)).Pixel(0, 0), MakeColor(10, 20, 30));
    // A palette the data offset cuts short keeps the entries before the pixels.
    s.palette.resize(2);
    const TNkDIB image = Load(BuildBmp(s));
    EXPECT_EQ(image.PaletteSize(), 2);
    EXPECT_EQ(image.Pixel(3, 1), MakeColor(10, 20, 30));
}

TEST(BmpReadTest, BadRunLengthCodesFailCleanly)
{
    struct Case {
        const char* name;
        uint32_t compression;
        int height;
        std::vector<uint8_t> codes;
    };
    const std::vector<Case> cases = {
        {"run past the row", 1, 2, {7, 1, 0, 1}},
        {"run past the row after a move", 1, 2, {0, 2, 4, 0, 3, 1, 0, 1}},
        {"literal past the row", 1, 2, {0, 7, 1, 2, 3, 4, 5, 6, 7, 0, 0, 1}},
        {"move past the right edge", 1, 2, {0, 2, 7, 0, 0, 1}},
        {"move past the top", 1, 2, {0, 2, 0, 3, 0, 1}},
        {"line end past the top", 1, 1, {0, 0, 0, 0, 0, 1}},
        {"run past the top", 1, 1, {0, 0, 3, 1, 0, 1}},
        {"codes end early", 1, 2, {3, 1}},
        {"literal ends early", 1, 2, {0, 5, 1, 2}},
        {"RLE4 run past the row", 2, 2, {7, 0x11, 0, 1}},
        {"RLE4 literal past the row", 2, 2, {0, 8, 0x12, 0x34, 0x56, 0x78, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string error = LoadError(BuildBmp(RleBmp(c.compression, 6, c.height, c.codes)));
        EXPECT_NE(error.find("ビットマップが壊れています"), std::string::npos) << error;
    }
}

// Random damage to a few bitmaps of every kind: each read must either succeed or throw
// ImageError (under the sanitizers, without touching memory it doesn't own).
TEST(BmpReadTest, DamagedFilesLoadOrFailCleanly)
{
    BmpFields bitFields;
    bitFields.width = 7;
    bitFields.height = 3;
    bitFields.bitCount = 16;
    bitFields.compression = 3;
    bitFields.masks = {0xF800, 0x07E0, 0x001F};
    bitFields.data = PackRows(7, 3, 16, false, [](int x, int y) { return uint32_t(x * 999 + y); });
    BmpFields mono = Valid8Bit();
    mono.bitCount = 1;
    mono.palette = {MakeColor(0, 0, 0), MakeColor(255, 255, 255)};
    mono.data.assign(8, 0xA5);
    const std::vector<std::vector<uint8_t>> originals = {
        BuildBmp(RleBmp(1, 6, 4, {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 2, 5, 0, 2, 2, 1, 2, 7, 0, 0, 6, 9, 0, 1})),
        BuildBmp(
            RleBmp(2, 8, 2, {3, 0x12, 0, 5, 0x3F, 0x75, 0x60, 0, 0, 0, 0, 3, 0xAB, 0xC0, 4, 0xDE, 0, 1})),
        BuildBmp(bitFields), BuildBmp(mono)};
    uint32_t seed = 1;
    auto random = [&](uint32_t limit) {
        seed = seed * 1664525 + 1013904223;
        return (seed >> 8) % limit;
    };
    int loaded = 0, refused = 0;
    for (int round = 0; round < 4000; ++round) {
        std::vector<uint8_t> bytes = originals[round % originals.size()];
        const int changes = 1 + static_cast<int>(random(4));
        for (int i = 0; i < changes; ++i)
            bytes[random(static_cast<uint32_t>(bytes.size()))] = static_cast<uint8_t>(random(256));
        if (random(4) == 0) bytes.resize(random(static_cast<uint32_t>(bytes.size())));
        try {
            Load(bytes);
            ++loaded;
        } catch (const ImageError&) {
            ++refused;
        }
    }
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
}

TEST(BmpReadTest, FailedReadKeepsThePreviousPicture)
{
    TNkDIB image(2, 2, 24);
    image.SetPixel(1, 1, MakeColor(1, 2, 3));
    BmpFields s = Valid8Bit();
    s.data.resize(3);
    MemoryStream stream(BuildBmp(s));
    EXPECT_THROW(image.LoadFromStream(stream), ImageError);
    EXPECT_THROW(image.LoadFromFile("/nonexistent/picture.bmp"), ImageError);
    EXPECT_EQ(image.Width(), 2);
    EXPECT_EQ(image.BitCount(), 24);
    EXPECT_EQ(image.Pixel(1, 1), MakeColor(1, 2, 3));
}

}  // namespace
}  // namespace kelva
