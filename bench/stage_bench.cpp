// Stage composition at the stage's size (640 x 480, 24 bits): whole-frame blend and tint
// by each path next to a plain copy of the same bytes, the rectangle copy, and drawing a
// 300 x 400 character.
#include <cstring>
#include <memory>

#include <benchmark/benchmark.h>

#include "data/MediaFiles.h"
#include "data/PackageFile2.h"
#include "data/PackageWriter.h"
#include "graphics/BlendTable.h"
#include "graphics/RunCommon.h"
#include "graphics/SpriteLayer.h"
#include "platform/headless/RecordingMessageBox.h"

namespace kelva {
namespace {

constexpr int kW = 640;
constexpr int kH = 480;

// Gradients with some grain, closer to a picture than flat colour.
TNkDIB Picture(int width, int height, uint32_t seed)
{
    TNkDIB image(width, height, 24);
    uint32_t noise = seed;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245 + 12345;
            const int grain = static_cast<int>((noise >> 16) & 31);
            row[x * 3] = static_cast<uint8_t>(x * 223 / width + grain);
            row[x * 3 + 1] = static_cast<uint8_t>(y * 223 / height + (grain ^ 5));
            row[x * 3 + 2] = static_cast<uint8_t>((x + y) / 5 + (grain ^ 9));
        }
    }
    return image;
}

const BlendTable& Table()
{
    static const BlendTable table;
    return table;
}

void FrameCopy(benchmark::State& state)
{
    const TNkDIB from = Picture(kW, kH, 1);
    TNkDIB to(kW, kH, 24);
    const size_t bytes = static_cast<size_t>(from.Stride()) * kH;
    for (auto _ : state) {
        std::memcpy(to.Bits(), from.Bits(), bytes);
        benchmark::DoNotOptimize(to.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}
BENCHMARK(FrameCopy);

// Two frames read and one written, in the plainest loop: the memory traffic a blend of
// two frames can't go below.
void FrameTraffic(benchmark::State& state)
{
    const TNkDIB a = Picture(kW, kH, 1);
    const TNkDIB b = Picture(kW, kH, 2);
    TNkDIB out(kW, kH, 24);
    const size_t words = static_cast<size_t>(out.Stride()) * kH / sizeof(uint64_t);
    for (auto _ : state) {
        const auto* x = reinterpret_cast<const uint64_t*>(a.Bits());
        const auto* y = reinterpret_cast<const uint64_t*>(b.Bits());
        auto* z = reinterpret_cast<uint64_t*>(out.Bits());
        for (size_t i = 0; i < words; ++i) z[i] = x[i] ^ y[i];
        benchmark::DoNotOptimize(out.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * out.Stride() * kH);
}
BENCHMARK(FrameTraffic);

// Whether `path` blends to the very bytes of the table at every strength.
bool BlendsAsTheTable(PixelPath path, const TNkDIB& fresh, const TNkDIB& old)
{
    TNkDIB byPath(kW, kH, 24);
    TNkDIB byTable(kW, kH, 24);
    for (int strength = 0; strength <= 100; ++strength) {
        BlendFrameUsing(path, Table(), fresh, old, byPath, strength);
        BlendFrameUsing(PixelPath::Table, Table(), fresh, old, byTable, strength);
        if (std::memcmp(byPath.Bits(), byTable.Bits(), static_cast<size_t>(byPath.Stride()) * kH) != 0)
            return false;
    }
    return true;
}

void BlendFrameBench(benchmark::State& state, PixelPath path)
{
    if (!PixelPathSupported(path)) {
        state.SkipWithError("not supported by this processor");
        return;
    }
    const TNkDIB fresh = Picture(kW, kH, 1);
    const TNkDIB old = Picture(kW, kH, 2);
    TNkDIB out(kW, kH, 24);
    state.counters["identical"] = BlendsAsTheTable(path, fresh, old) ? 1 : 0;
    state.counters["player_path"] = path == DefaultPixelPath() ? 1 : 0;
    int strength = 0;
    for (auto _ : state) {
        BlendFrameUsing(path, Table(), fresh, old, out, strength);
        strength = (strength + 7) % 100;
        benchmark::DoNotOptimize(out.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * out.Stride() * kH);
}
BENCHMARK_CAPTURE(BlendFrameBench, Table, PixelPath::Table);
BENCHMARK_CAPTURE(BlendFrameBench, Sse2, PixelPath::Sse2);
BENCHMARK_CAPTURE(BlendFrameBench, Avx2, PixelPath::Avx2);

void TintBench(benchmark::State& state, PixelPath path)
{
    if (!PixelPathSupported(path)) {
        state.SkipWithError("not supported by this processor");
        return;
    }
    TNkDIB image = Picture(kW, kH, 3);
    state.counters["player_path"] = path == DefaultPixelPath() ? 1 : 0;
    for (auto _ : state) {
        TintUsing(path, Table(), image, {0, 0, kW, kH}, MakeColor(255, 128, 0), 40);
        benchmark::DoNotOptimize(image.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * image.Stride() * kH);
}
BENCHMARK_CAPTURE(TintBench, Table, PixelPath::Table);
BENCHMARK_CAPTURE(TintBench, Sse2, PixelPath::Sse2);
BENCHMARK_CAPTURE(TintBench, Avx2, PixelPath::Avx2);

void CopyRectFrame(benchmark::State& state)
{
    const TNkDIB from = Picture(kW, kH, 1);
    TNkDIB to(kW, kH, 24);
    for (auto _ : state) {
        CopyRect(from, to, {0, 0, kW - 1, kH - 1});
        benchmark::DoNotOptimize(to.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * to.Stride() * kH);
}
BENCHMARK(CopyRectFrame);

// A 300 x 400 character: a figure in an ellipse, the corners in the key colour.
std::vector<uint8_t> CharacterBmp()
{
    TNkDIB figure = Picture(300, 400, 4);
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 300; ++x) {
            const double dx = (x - 150) / 150.0, dy = (y - 200) / 200.0;
            if (dx * dx + dy * dy > 1.0) figure.SetPixel(x, y, MakeColor(0, 255, 0));
        }
    }
    MemoryStream bmp;
    figure.SaveToStream(bmp);
    return bmp.TakeBytes();
}

void SpriteDraw(benchmark::State& state)
{
    const bool silhouette = state.range(0) != 0;
    PackageWriter writer;
    writer.Add("chara\\girl.bmp", CharacterBmp());
    MemoryStream packed;
    writer.WriteTo(packed);
    MemoryStream stream(packed.TakeBytes());
    RecordingMessageBox messages(false);
    TReadPackageFile package;
    std::string error;
    package.OpenStream(stream, error);
    MediaFiles media(&package);
    TSpriteLayer layer(true, &media, &messages);
    layer.SetCharacter("Mina", "chara\\girl.bmp", "BOTTOM", "CENTER");

    const TNkDIB background = Picture(kW, kH, 5);
    TNkDIB stage = background;
    for (auto _ : state) {
        layer.DrawTo(stage, silhouette, Table());
        benchmark::DoNotOptimize(stage.Bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(SpriteDraw)->Arg(0)->Arg(1)->ArgName("silhouette");

}  // namespace
}  // namespace kelva
