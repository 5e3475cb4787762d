#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/StageHarness.h"

namespace kelva {
namespace {

using test::MakeItem;
using test::StageHarness;

CNovelItems OneItem(std::vector<std::string> lines)
{
    CNovelItems items;
    *items.Add() = MakeItem("start", kItemEnd, std::move(lines));
    return items;
}

CNovelFileHeader HeaderWithMusic()
{
    CNovelFileHeader header;
    header.LogoMusic = "logo.mid";
    header.TitleMusic = "bgm\\title.mid";
    return header;
}

constexpr TColor kBlack = MakeColor(0, 0, 0);
constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kRed = MakeColor(252, 0, 0);
constexpr TColor kBlue = MakeColor(0, 0, 252);

// Runs ticks until the running transition has ended.
void FinishTransition(StageHarness& stage)
{
    while (stage.Form().TransitionsInUse().Active()) stage.Tick();
}

// Counts the pixels of the screen that have the given colour.
int CountColour(const TNkDIB& screen, TColor colour)
{
    int count = 0;
    for (int y = 0; y < screen.Height(); ++y) {
        for (int x = 0; x < screen.Width(); ++x) count += screen.Pixel(x, y) == colour;
    }
    return count;
}

TEST(StageTitle, LogoScreenShowsBadgeAndVersionOnBlackWithoutPicturesOrMusic)
{
    StageHarness stage(OneItem({"a"}));
    stage.Tick();  // the display
    stage.Tick();  // step 0: the logo screen and its transition
    FinishTransition(stage);
    const TNkDIB& screen = stage.Screen();
    EXPECT_EQ(screen.Pixel(10, 10), kBlack);
    EXPECT_EQ(screen.Pixel(379, 430), kBlack);
    EXPECT_NE(screen.Pixel(380 + 90, 412 + 1), kBlack);  // the badge's rim
    EXPECT_EQ(screen.Pixel(639, 412), kBlack);           // the badge's transparent corner
    // "R.9.2" right-aligned at x 636, y 420, in its red; no library line below it.
    EXPECT_EQ(screen.Pixel(625, 430), MakeColor(255, 34, 0));
    EXPECT_EQ(screen.Pixel(625, 460), kBlack);
    EXPECT_EQ(stage.Sound().Calls, std::vector<std::string>{"music-stop"});
    EXPECT_EQ(stage.Form().Timer().Interval(), 30);  // the transition hands back the text interval
    stage.Tick();                                    // step 1
    EXPECT_EQ(stage.Form().Timer().Interval(), 20);
}

TEST(StageTitle, LoadedDecoderLibraryAddsItsLineUnderTheVersion)
{
    StageHarness stage(OneItem({"a"}));
    stage.Sound().LibraryVersion = 105;
    stage.Tick();
    stage.Tick();
    FinishTransition(stage);
    EXPECT_EQ(stage.Screen().Pixel(625, 460), kWhite);
}

TEST(StageTitle, TitleWaitsForAClickAfterTheLogoAndDropsEarlierOnes)
{
    StageHarness stage(OneItem({"a"}), {}, HeaderWithMusic());
    stage.Tick();
    stage.Tick();
    FinishTransition(stage);
    for (int i = 0; i < 50; ++i) stage.Tick();
    stage.Click();  // on the logo screen
    stage.RunTitleToClick();
    EXPECT_EQ(stage.State().Mode, PlayerMode::Title);
    for (int i = 0; i < 1000; ++i) stage.Tick();
    EXPECT_EQ(stage.State().Mode, PlayerMode::Title);
    EXPECT_EQ(stage.State().TitleStep, StageHarness::kTitleWaitStep);

    // The title text and the click prompt, centred on black.
    const TNkDIB& screen = stage.Screen();
    EXPECT_EQ(screen.Pixel(320, 210), kWhite);
    EXPECT_EQ(screen.Pixel(320 - 30, 210), kBlack);
    EXPECT_EQ(screen.Pixel(320 + 30, 210), kBlack);
    EXPECT_EQ(screen.Pixel(320, 280), kWhite);
    EXPECT_EQ(CountColour(screen, kBlack) + CountColour(screen, kWhite), 640 * 480);

    stage.Sound().Calls.clear();
    stage.Click(5, 5, MouseButton::Right);  // any button
    stage.Tick();
    EXPECT_EQ(stage.State().Mode, PlayerMode::Text);
    EXPECT_EQ(stage.Sound().Calls.front(), "music-stop");
}

TEST(StageTitle, LogoAndTitleMusicPlayOnceAndLooping)
{
    StageHarness stage(OneItem({"a"}), {}, HeaderWithMusic());
    stage.RunTitleToClick();
    const std::vector<std::string> expected = {"music-stop", "music logo.mid once",
                                               "music bgm\\title.mid loop"};
    EXPECT_EQ(stage.Sound().Calls, expected);
}

TEST(StageTitle, TheTitleClickStartsTheStoryOrOpensTheBookmarkBookAndAnEndingOffersRecording)
{
    // Mode 2 shows the book at the title (to read) and at the ending (to record, with the
    // timer stopped and the ending's page not yet left); the other modes never do.
    for (uint8_t mode : {0, 1, 2}) {
        CNovelFileHeader header;
        header.BookmarkMode = mode;
        StageHarness stage(OneItem({"a"}), {}, header);
        std::vector<std::string> shown;
        stage.Form().SetBookmarkBook([&](bool recording) {
            shown.push_back(std::string(recording ? "record" : "read") +
                            (stage.Form().Timer().Running() ? " ticking" : "") +
                            (stage.State().Mode == PlayerMode::Title ? " at title" : ""));
        });
        stage.RunTitleToClick();
        stage.Click();
        stage.Tick();
        if (mode != 2) {
            EXPECT_EQ(stage.State().Mode, PlayerMode::Text) << int{mode};
            EXPECT_TRUE(shown.empty()) << int{mode};
            continue;
        }
        EXPECT_EQ(shown, (std::vector<std::string>{"read ticking at title"}));
        stage.Form().StartStory();
        for (int i = 0; i < 200 && stage.State().Mode != PlayerMode::Title; ++i) {
            stage.Click();
            stage.Tick();
        }
        EXPECT_EQ(shown, (std::vector<std::string>{"read ticking at title", "record"}));
        EXPECT_TRUE(stage.Form().Timer().Running());
    }
}

TEST(StageTransitions, CameraClosesOnTheOldPictureThenOpensOnTheNew)
{
    StageHarness stage(OneItem({".GRAPHFILL 255 0 0 100 NONE", ".GRAPHFILL 0 0 255 100 CAMERA 1 1000", "@"}));
    stage.StartReading();
    stage.Tick();  // the red fill, shown at once
    stage.Tick();
    stage.Tick();  // the blue fill starts the camera
    stage.Tick();  // its first step
    EXPECT_EQ(stage.Form().Timer().Interval(), 10);
    const TNkDIB& screen = stage.Screen();
    stage.Clock().Advance(240);
    stage.Tick();  // a quarter: the iris half closed on red
    EXPECT_EQ(screen.Pixel(320, 240), kRed);
    EXPECT_EQ(screen.Pixel(2, 2), kBlack);
    stage.Clock().Advance(500);
    stage.Tick();  // three quarters: half open on blue
    EXPECT_EQ(screen.Pixel(320, 240), kBlue);
    EXPECT_EQ(screen.Pixel(2, 2), kBlack);
    EXPECT_EQ(CountColour(screen, kRed), 0);
    stage.Clock().Advance(250);
    stage.Tick();
    EXPECT_FALSE(stage.Form().TransitionsInUse().Active());
    EXPECT_EQ(CountColour(screen, kBlue), 640 * 480);
    EXPECT_EQ(stage.Form().Timer().Interval(), 30);
}

TEST(StageTransitions, WindAndCrossLineMixHalfWayAndEndOnTime)
{
    for (const char* effect : {"WIND", "CROSSLINE"}) {
        StageHarness stage(OneItem({".GRAPHFILL 255 0 0 100 NONE",
                                    std::string(".GRAPHFILL 0 0 255 100 ") + effect + " 1 1000", "@"}));
        stage.StartReading();
        for (int i = 0; i < 4; ++i) stage.Tick();
        EXPECT_EQ(stage.Form().Timer().Interval(), 10) << effect;
        stage.Clock().Advance(490);
        stage.Tick();
        const TNkDIB& screen = stage.Screen();
        const int blue = CountColour(screen, kBlue);
        EXPECT_GT(blue, 640 * 480 / 5) << effect;
        EXPECT_LT(blue, 640 * 480 * 4 / 5) << effect;
        EXPECT_EQ(blue + CountColour(screen, kRed), 640 * 480) << effect;
        stage.Clock().Advance(480);
        stage.Tick();  // 980 ms: still running
        EXPECT_TRUE(stage.Form().TransitionsInUse().Active()) << effect;
        stage.Tick();  // 990 + 10 ms
        EXPECT_FALSE(stage.Form().TransitionsInUse().Active()) << effect;
        EXPECT_EQ(CountColour(screen, kBlue), 640 * 480) << effect;
    }
}

TEST(StageTransitions, UnknownEffectsAndTimesOfZeroShowTheChangeAtOnce)
{
    for (const char* fill : {".GRAPHFILL 0 0 255 100 12 1 1000", ".GRAPHFILL 0 0 255 100 BLEND 1 0",
                             ".GRAPHFILL 0 0 255 100 SHUTTER 1 -5", ".GRAPHFILL 0 0 255 100"}) {
        CNovelFileHeader header;
        header.BgEffect = "SPARKLE";  // no such effect: 0 selects nothing either
        StageHarness stage(OneItem({fill, "@"}), {}, header);
        stage.StartReading();
        stage.Tick();  // the fill
        stage.Tick();  // the one step
        EXPECT_FALSE(stage.Form().TransitionsInUse().Active()) << fill;
        EXPECT_EQ(CountColour(stage.Screen(), kBlue), 640 * 480) << fill;
    }
}

TEST(StageTransitions, NegativeShutterParameterWipesFromTheLeft)
{
    StageHarness stage(OneItem({".GRAPHFILL 0 0 255 100 SHUTTER -3 1000", "@"}));
    stage.StartReading();
    stage.Tick();
    stage.Tick();
    stage.Clock().Advance(499);
    stage.Tick();
    EXPECT_EQ(stage.Screen().Pixel(300, 240), kBlue);
    EXPECT_EQ(stage.Screen().Pixel(340, 240), kBlack);
}

TEST(StageTransitions, F8InDebugModeShowsTheWholeNewPictureAtOnce)
{
    StageHarness stage(OneItem({".GRAPHFILL 0 0 255 100 PUZZLE 0 4800", "@"}));
    stage.Game().Values.DebugMode = true;
    stage.StartReading();
    stage.Tick();
    stage.Tick();
    stage.Tick();
    ASSERT_TRUE(stage.Form().TransitionsInUse().Active());
    EXPECT_LT(CountColour(stage.Screen(), kBlue), 640 * 480);
    InputEvent f8;
    f8.type = InputEvent::Type::KeyDown;
    f8.key = Key::F8;
    stage.Form().FormKeyDown(f8);
    EXPECT_FALSE(stage.Form().TransitionsInUse().Active());
    EXPECT_EQ(CountColour(stage.Screen(), kBlue), 640 * 480);
    EXPECT_EQ(stage.Form().Timer().Interval(), 30);
}

}  // namespace
}  // namespace kelva
