// What the hostile picture files cost: each is refused with its message, and loading it
// takes no more memory than a legitimate picture of the same size would.
#include <gtest/gtest.h>

#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "graphics/SpriteLayer.h"
#include "graphics/StageTestImages.h"
#include "platform/JpegDecoder.h"
#include "support/HostilePictures.h"
#include "support/JpegEncoding.h"

namespace kelva {
namespace {

constexpr int64_t kMegabyte = 1024 * 1024;

// How far the peak resident memory rises while `work` runs, in bytes. It runs in a child
// process, whose peak starts at its size when forked, so earlier tests' peaks don't hide
// what this one costs. -1 when the child fails.
int64_t PeakGrowth(const std::function<void()>& work)
{
    int channel[2];
    if (pipe(channel) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        work();
        getrusage(RUSAGE_SELF, &after);
        const int64_t growth = (after.ru_maxrss - before.ru_maxrss) * int64_t{1024};  // KB
        _exit(write(channel[1], &growth, sizeof growth) == sizeof growth ? 0 : 1);
    }
    close(channel[1]);
    int64_t growth = -1;
    if (read(channel[0], &growth, sizeof growth) != sizeof growth) growth = -1;
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? growth : -1;
}

std::string JpegError(const std::vector<uint8_t>& bytes)
{
    return DecodeJpeg(bytes.data(), bytes.size()).Error;
}

std::string BmpError(const std::vector<uint8_t>& bytes)
{
    MemoryStream stream(bytes);
    TNkDIB image;
    try {
        image.LoadFromStream(stream);
    } catch (const ImageError& e) {
        return e.what();
    }
    return {};
}

TEST(PictureCostTest, HostilePicturesAreRefusedWithinAMemoryBudget)
{
    auto grey = [](int, int, uint8_t* v) { v[0] = 128; };
    std::vector<uint8_t> small = test::EncodeJpeg(16, 16, JCS_GRAYSCALE, grey);
    test::SetFrameSize(small, 4096, 4096);
    const std::vector<uint8_t> noData = test::WithoutScanData(small);
    test::SetFrameSize(small, 16384, 4096);
    const std::vector<uint8_t> arithmetic = test::ArithmeticWithoutScanData(small);

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::function<std::string(const std::vector<uint8_t>&)> load;
        std::string error;
        int64_t budget;  // peak memory growth allowed
    };
    const Case cases[] = {
        // A legitimate progressive picture of this size keeps 32 MB of coefficients.
        {"JPEG, 255 scans at 16 megapixels", test::ManyScanJpeg(4096, 4096, 255), JpegError,
         "too many scans for the picture's size", 48 * kMegabyte},
        {"JPEG, 16 megapixels without scan data", noData, JpegError, "premature end of data", 8 * kMegabyte},
        {"JPEG, arithmetic-coded 64 megapixels without scan data", arithmetic, JpegError, "picture too large",
         8 * kMegabyte},
        {"BMP, run-length 64 megapixels in 56 bytes", test::EmptyRunLengthBmp(8192, 8192), BmpError,
         "ビットマップが大きすぎます（8192 × 8192 で 67108864 画素、上限は 16777216 画素）。", 8 * kMegabyte},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.load(c.bytes), c.error);
        const int64_t growth = PeakGrowth([&] { c.load(c.bytes); });
        EXPECT_GE(growth, 0);
        EXPECT_LE(growth, c.budget) << growth / kMegabyte << " MB";
    }
}

TEST(PictureCostTest, SixteenHugeCharactersCostOne)
{
    test::MediaDirectory files;
    files.Write("huge.bmp", test::EmptyRunLengthBmp(4096, 4096));
    // One character at the budget: its 8-bit picture (16 MB) and the 24-bit one (48 MB),
    // with room for the sanitizers' own bookkeeping.
    const int64_t growth = PeakGrowth([] {
        MediaFiles media(nullptr);
        TSpriteLayer layer(true, &media, nullptr);
        for (int i = 0; i < TSpriteLayer::kSlots; ++i)
            layer.SetCharacter("c" + std::to_string(i), "huge.bmp", "", "");
        if (layer.Picture(0).Width() != 4096 || layer.Picture(15).Width() != 1) _exit(2);
    });
    EXPECT_GE(growth, 0);
    EXPECT_LE(growth, 96 * kMegabyte) << growth / kMegabyte << " MB";
}

}  // namespace
}  // namespace kelva
