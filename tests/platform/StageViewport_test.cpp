#include <gtest/gtest.h>

#include <fstream>

#include "platform/sdl/RendererChoice.h"
#include "platform/sdl/StageViewport.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

TEST(StageViewport, TheStageScalesCentredWithBarsAndPointsMapBothWays)
{
    struct Case {
        int width, height;
        StageScaling scaling;
        StageViewport expected;
        int factor;
    };
    const StageScaling whole = StageScaling::Whole, smooth = StageScaling::Smooth;
    const Case cases[] = {
        {640, 480, whole, {0, 0, 640, 480}, 1},          // a window: the stage as it is
        {1280, 960, whole, {0, 0, 1280, 960}, 2},        // a window at twice the size
        {2560, 1920, smooth, {0, 0, 2560, 1920}, 4},     // a smooth window at four times
        {1920, 1080, whole, {320, 60, 1280, 960}, 2},    // wide: the largest whole factor
        {1920, 1080, smooth, {240, 0, 1440, 1080}, 0},   // smooth: as large as fits
        {1280, 1024, whole, {0, 32, 1280, 960}, 2},      // tall: bars above and below
        {800, 600, whole, {80, 60, 640, 480}, 1},        // the same shape: no fraction of a pixel
        {800, 600, smooth, {0, 0, 800, 600}, 0},         // but smoothly scaled to fill
        {3840, 2160, whole, {640, 120, 2560, 1920}, 4},  // 4K
        {600, 400, whole, {33, 0, 533, 400}, 0},         // smaller than the stage: shrunk to fit
        {0, 0, whole, {0, 0, 640, 480}, 1},              // a window not sized yet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.width << " x " << c.height << " smooth " << (c.scaling == StageScaling::Smooth));
        const StageViewport view = StageViewport::ForWindow(c.width, c.height, c.scaling);
        EXPECT_EQ(view.X, c.expected.X);
        EXPECT_EQ(view.Y, c.expected.Y);
        EXPECT_EQ(view.Width, c.expected.Width);
        EXPECT_EQ(view.Height, c.expected.Height);
        EXPECT_EQ(view.Factor(), c.factor);
        // Every stage pixel's window point leads back to the same pixel.
        for (const auto& [x, y] : {std::pair{0, 0}, {4, 4}, {639, 479}, {320, 17}}) {
            const auto [wx, wy] = view.ToWindow(x, y);
            EXPECT_EQ(view.ToStage(wx, wy), (std::pair{x, y}));
        }
        // At a whole factor every screen pixel of a stage pixel's square maps to it.
        if (c.factor > 1) {
            for (int dy = 0; dy < c.factor; ++dy) {
                for (int dx = 0; dx < c.factor; ++dx) {
                    EXPECT_EQ(view.ToStage(view.X + 7 * c.factor + dx, view.Y + 5 * c.factor + dy),
                              (std::pair{7, 5}));
                }
            }
        }
    }
    // A click on a bar lands on the nearest stage edge.
    const StageViewport wide = StageViewport::ForWindow(1920, 1080, StageScaling::Whole);
    EXPECT_EQ(wide.ToStage(10, 500), (std::pair{0, 220}));
    EXPECT_EQ(wide.ToStage(1900, 2000), (std::pair{639, 479}));
}

TEST(StageViewport, WholeScaleCountsTheStageSizesThatFit)
{
    EXPECT_EQ(StageViewport::WholeScale(1920, 1080), 2);
    EXPECT_EQ(StageViewport::WholeScale(1920, 1440), 3);
    EXPECT_EQ(StageViewport::WholeScale(1366, 768), 1);
    EXPECT_EQ(StageViewport::WholeScale(639, 1000), 0);
    EXPECT_EQ(StageViewport::WholeScale(-5, 480), 0);
}

TEST(RendererChoice, NamesAndAGraphicsCardDecide)
{
    EXPECT_EQ(ParseRendererChoice("software"), RendererChoice::Software);
    EXPECT_EQ(ParseRendererChoice("accelerated"), RendererChoice::Accelerated);
    EXPECT_EQ(ParseRendererChoice("Software"), std::nullopt);
    EXPECT_EQ(ParseRendererChoice(""), std::nullopt);

    test::TempDir dri;
    const std::string folder = dri.Path().string();
    EXPECT_EQ(ResolveRendererChoice(RendererChoice::Automatic, folder + "/missing"),
              RendererChoice::Software);
    std::ofstream(dri.File("card0")) << "";  // a display controller alone draws nothing
    EXPECT_EQ(ResolveRendererChoice(RendererChoice::Automatic, folder), RendererChoice::Software);
    std::ofstream(dri.File("renderD128")) << "";
    EXPECT_EQ(ResolveRendererChoice(RendererChoice::Automatic, folder), RendererChoice::Accelerated);
    // A name overrides what the machine looks like.
    EXPECT_EQ(ResolveRendererChoice(RendererChoice::Software, folder), RendererChoice::Software);
    EXPECT_EQ(ResolveRendererChoice(RendererChoice::Accelerated, folder + "/missing"),
              RendererChoice::Accelerated);
}

}  // namespace
}  // namespace kelva
