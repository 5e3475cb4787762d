#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include <gtest/gtest.h>

#include <functional>

#include "graphics/NkDIB.h"
#include "platform/JpegDecoder.h"

#include "support/HostilePictures.h"
#include "support/JpegEncoding.h"

namespace kelva {
namespace {

using test::EncodeJpeg;

// Quadrants: red top left, green top right, blue bottom left, white bottom right.
void Quadrants(int x, int y, uint8_t* rgb, int width, int height)
{
    static const uint8_t kColours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    const uint8_t* colour = kColours[(y >= height / 2) * 2 + (x >= width / 2)];
    rgb[0] = colour[0], rgb[1] = colour[1], rgb[2] = colour[2];
}

::testing::AssertionResult Near(TColor actual, TColor expected, int tolerance = 12)
{
    if (std::abs(ColorRed(actual) - ColorRed(expected)) <= tolerance &&
        std::abs(ColorGreen(actual) - ColorGreen(expected)) <= tolerance &&
        std::abs(ColorBlue(actual) - ColorBlue(expected)) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
}

TNkDIB Decode(const std::vector<uint8_t>& bytes)
{
    JpegDecodeResult result = DecodeJpeg(bytes.data(), bytes.size());
    EXPECT_TRUE(result.Ok()) << result.Error;
    TNkDIB image;
    if (result.Ok()) image.Assign(std::move(result.Picture));
    return image;
}

TEST(JpegDecodeTest, BaselineAndProgressiveColourPictures)
{
    constexpr int kW = 61, kH = 37;  // not whole blocks, odd row length
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        const auto bytes = EncodeJpeg(
            kW, kH, JCS_RGB, [](int x, int y, uint8_t* rgb) { Quadrants(x, y, rgb, kW, kH); }, 95,
            progressive);
        const JpegDecodeResult result = DecodeJpeg(bytes.data(), bytes.size());
        ASSERT_TRUE(result.Ok()) << result.Error;
        EXPECT_EQ(result.Picture.Width, kW);
        EXPECT_EQ(result.Picture.Height, kH);
        EXPECT_EQ(result.Picture.Stride, 184);
        const TNkDIB image = Decode(bytes);
        EXPECT_TRUE(Near(image.Pixel(10, 8), MakeColor(255, 0, 0)));
        EXPECT_TRUE(Near(image.Pixel(50, 8), MakeColor(0, 255, 0)));
        EXPECT_TRUE(Near(image.Pixel(10, 30), MakeColor(0, 0, 255)));
        EXPECT_TRUE(Near(image.Pixel(50, 30), MakeColor(255, 255, 255)));
    }
}

TEST(JpegDecodeTest, GreyAndCmykPicturesBecomeColour)
{
    const TNkDIB grey =
        Decode(EncodeJpeg(16, 16, JCS_GRAYSCALE, [](int x, int, uint8_t* v) { v[0] = x < 8 ? 40 : 200; }));
    EXPECT_TRUE(Near(grey.Pixel(2, 5), MakeColor(40, 40, 40), 4));
    EXPECT_TRUE(Near(grey.Pixel(13, 5), MakeColor(200, 200, 200), 4));

    // With the Adobe marker (the encoder writes one for CMYK) the inks are stored
    // inverted: full magenta and yellow, no cyan or black, is red.
    const TNkDIB cmyk = Decode(EncodeJpeg(16, 16, JCS_CMYK, [](int, int, uint8_t* ink) {
        ink[0] = 255, ink[1] = 0, ink[2] = 0, ink[3] = 255;
    }));
    EXPECT_TRUE(Near(cmyk.Pixel(8, 8), MakeColor(255, 0, 0)));
}

TEST(JpegDecodeTest, BrokenDataGivesAnError)
{
    const auto good = EncodeJpeg(
        64, 64, JCS_RGB, [](int x, int y, uint8_t* rgb) { rgb[0] = rgb[1] = rgb[2] = uint8_t(x ^ y); });
    const std::vector<uint8_t> half(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
    EXPECT_FALSE(DecodeJpeg(half.data(), half.size()).Ok());
    EXPECT_FALSE(DecodeJpeg(good.data(), 0).Ok());
    const std::vector<uint8_t> garbage(500, 0x5A);
    EXPECT_FALSE(DecodeJpeg(garbage.data(), garbage.size()).Ok());
    const JpegDecodeResult failed = DecodeJpeg(half.data(), half.size());
    EXPECT_TRUE(failed.Picture.Pixels.empty());
    EXPECT_FALSE(failed.Error.empty());

    // Only the end marker missing: every row is there, so the picture is kept.
    EXPECT_TRUE(DecodeJpeg(good.data(), good.size() - 2).Ok());
}

TEST(JpegDecodeTest, DamagedFilesDecodeOrFailCleanly)
{
    const auto baseline =
        EncodeJpeg(24, 24, JCS_RGB, [](int x, int y, uint8_t* rgb) { Quadrants(x, y, rgb, 24, 24); });
    const auto progressive = EncodeJpeg(
        24, 24, JCS_RGB, [](int x, int y, uint8_t* rgb) { Quadrants(x, y, rgb, 24, 24); }, 95, true);
    uint32_t seed = 7;
    auto random = [&](uint32_t limit) {
        seed = seed * 1664525 + 1013904223;
        return (seed >> 8) % limit;
    };
    int failed = 0;
    for (int round = 0; round < 600; ++round) {
        std::vector<uint8_t> bytes = round % 2 ? progressive : baseline;
        for (int i = 0; i < 1 + static_cast<int>(random(3)); ++i) {
            bytes[random(static_cast<uint32_t>(bytes.size()))] = static_cast<uint8_t>(random(256));
        }
        const JpegDecodeResult result = DecodeJpeg(bytes.data(), bytes.size());
        if (!result.Ok()) {
            ++failed;
            continue;
        }
        const DecodedPicture& p = result.Picture;
        ASSERT_EQ(p.Pixels.size(), static_cast<size_t>(p.Stride) * p.Height);
        ASSERT_LE(p.Width, kMaxPictureSide);
    }
    EXPECT_GT(failed, 0);
}

TEST(JpegDecodeTest, MissingScanDataAndNeedlessScansAreRefused)
{
    auto grey = [](int x, int y, uint8_t* v) { v[0] = static_cast<uint8_t>(x * 7 + y); };
    const auto baseline = EncodeJpeg(64, 64, JCS_GRAYSCALE, grey);
    const auto progressive = EncodeJpeg(
        64, 64, JCS_RGB, [](int x, int y, uint8_t* rgb) { Quadrants(x, y, rgb, 64, 64); }, 90, true);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* error;  // empty: decodes
    };
    const Case cases[] = {
        {"baseline scan without data", test::WithoutScanData(baseline), "premature end of data"},
        {"progressive scan without data", test::WithoutScanData(progressive), "premature end of data"},
        {"one of several scans without data", test::ManyScanJpeg(256, 256, 5, 2), "premature end of data"},
        {"arithmetic coding", test::ArithmeticWithoutScanData(baseline),
         "arithmetic coding is not supported"},
        // 1 + 63 passes over every block: four times a usual progressive picture.
        {"a scan for every coefficient", test::ManyScanJpeg(1024, 1024, 63),
         "too many scans for the picture's size"},
        {"twice the usual scans", test::ManyScanJpeg(256, 256, 15), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const JpegDecodeResult result = DecodeJpeg(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(result.Error, c.error);
        EXPECT_EQ(result.Picture.Pixels.empty(), !result.Ok());
    }
}

TEST(JpegDecodeTest, PicturesBeyondTheSizeLimitsAreRefused)
{
    const auto bytes =
        EncodeJpeg(16, 16, JCS_RGB, [](int, int, uint8_t* rgb) { rgb[0] = rgb[1] = rgb[2] = 9; });
    auto withSize = [&](int width, int height) {
        auto patched = bytes;
        test::SetFrameSize(patched, width, height);
        return DecodeJpeg(patched.data(), patched.size());
    };
    EXPECT_EQ(withSize(20000, 16).Error, "picture too large");
    EXPECT_EQ(withSize(16384, 8192).Error, "picture too large");
    // A plausible size with far too little data fails on the missing data instead.
    const JpegDecodeResult short_ = withSize(4000, 4000);
    EXPECT_FALSE(short_.Ok());
    EXPECT_NE(short_.Error, "picture too large");
}

}  // namespace
}  // namespace kelva
