#include <gtest/gtest.h>

#include <fstream>

#include "platform/sdl/RendererChoice.h"
#include "platform/sdl/StageViewport.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

TEST(StageViewport, FullScreenScalesTheStageCentredWithBarsAndMapsPointsBothWays)
{
    struct Case {
        int width, height;
        StageViewport expected;
    };
    const Case cases[] = {
        {640, 480, {0, 0, 640, 480}},        // a window: the stage as it is
        {1920, 1080, {240, 0, 1440, 1080}},  // wide: bars left and right
        {1280, 1024, {0, 32, 1280, 960}},    // tall: bars above and below
        {800, 600, {0, 0, 800, 600}},        // the same shape, scaled by a fraction
        {0, 0, {0, 0, 640, 480}},            // a window not sized yet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const StageViewport view = StageViewport::ForWindow(c.width, c.height);
        EXPECT_EQ(view.X, c.expected.X);
        EXPECT_EQ(view.Y, c.expected.Y);
        EXPECT_EQ(view.Width, c.expected.Width);
        EXPECT_EQ(view.Height, c.expected.Height);
        // Every stage pixel's window point leads back to the same pixel.
        for (const auto& [x, y] : {std::pair{0, 0}, {4, 4}, {639, 479}, {320, 17}}) {
            const auto [wx, wy] = view.ToWindow(x, y);
            EXPECT_EQ(view.ToStage(wx, wy), (std::pair{x, y}));
        }
    }
    // A click on a bar lands on the nearest stage edge.
    const StageViewport wide = StageViewport::ForWindow(1920, 1080);
    EXPECT_EQ(wide.ToStage(10, 500), (std::pair{0, 222}));
    EXPECT_EQ(wide.ToStage(1900, 2000), (std::pair{639, 479}));
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
