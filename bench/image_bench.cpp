// Picture decoding and full-frame pixel work at the stage's size (640 x 480, 24 bits).
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include <benchmark/benchmark.h>

#include "support/JpegEncoding.h"

#include "graphics/NkDIB.h"
#include "platform/JpegDecoder.h"

namespace kelva {
namespace {

constexpr int kW = 640;
constexpr int kH = 480;

// Smooth gradients with some grain, closer to a background picture than flat colour.
TNkDIB StagePicture()
{
    TNkDIB image(kW, kH, 24);
    uint32_t noise = 12345;
    for (int y = 0; y < kH; ++y) {
        uint8_t* row = image.ScanLine(y);
        for (int x = 0; x < kW; ++x) {
            noise = noise * 1103515245 + 12345;
            const int grain = static_cast<int>((noise >> 16) & 31);
            row[x * 3] = static_cast<uint8_t>(x * 223 / kW + grain);
            row[x * 3 + 1] = static_cast<uint8_t>(y * 223 / kH + (grain ^ 5));
            row[x * 3 + 2] = static_cast<uint8_t>((x + y) / 5 + (grain ^ 9));
        }
    }
    return image;
}

std::vector<uint8_t> EncodeJpeg(const TNkDIB& image, int quality)
{
    return test::EncodeJpeg(
        image.Width(), image.Height(), JCS_RGB,
        [&](int x, int y, uint8_t* rgb) {
        const uint8_t* bgr = image.ScanLine(y) + x * 3;
        rgb[0] = bgr[2];
        rgb[1] = bgr[1];
        rgb[2] = bgr[0];
        },
        quality);
}

void BM_DecodeBmp24(benchmark::State& state)
{
    MemoryStream stream;
    StagePicture().SaveToStream(stream);
    TNkDIB image;
    for (auto _ : state) {
        stream.Seek(0, SeekOrigin::Begin);
        image.LoadFromStream(stream);
        benchmark::DoNotOptimize(image.Bits());
    }
    state.SetBytesProcessed(state.iterations() * stream.Size());
}
BENCHMARK(BM_DecodeBmp24)->Unit(benchmark::kMicrosecond);

void BM_DecodeJpeg(benchmark::State& state)
{
    const std::vector<uint8_t> bytes = EncodeJpeg(StagePicture(), 85);
    state.SetLabel(std::to_string(bytes.size()) + " bytes");
    TNkDIB image;
    for (auto _ : state) {
        JpegDecodeResult result = DecodeJpeg(bytes.data(), bytes.size());
        if (!result.Ok()) state.SkipWithError(result.Error.c_str());
        image.Assign(std::move(result.Picture));
        benchmark::DoNotOptimize(image.Bits());
    }
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMicrosecond);

void BM_CopyRectFullFrame(benchmark::State& state)
{
    const TNkDIB source = StagePicture();
    TNkDIB target(kW, kH, 24);
    for (auto _ : state) {
        target.CopyRect(target.BoundsRect(), source, source.BoundsRect());
        benchmark::DoNotOptimize(target.Bits());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(source.Stride()) * kH);
}
BENCHMARK(BM_CopyRectFullFrame)->Unit(benchmark::kMicrosecond);

// One step of the rotating shutter: a wedge of a twelfth of a turn on the one-bit mask.
void BM_FillWedgeOnMask(benchmark::State& state)
{
    TNkDIB mask(kW, kH, 1);
    mask.SetPalette({MakeColor(0, 0, 0), MakeColor(255, 255, 255)});
    const TPoint wedge[] = {{320, 240}, {320, -190}, {535, -132}, {322, 240}};
    for (auto _ : state) {
        mask.FillPolygon(wedge, MakeColor(255, 255, 255), FillRule::EvenOdd, PolygonCoverage::Touched);
        benchmark::DoNotOptimize(mask.Bits());
    }
}
BENCHMARK(BM_FillWedgeOnMask)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kelva
