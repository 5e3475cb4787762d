#include <gtest/gtest.h>

#include "support/StageHarness.h"

namespace kelva {
namespace {

using test::MakeItem;
using test::StageHarness;

CNovelItems Items(std::initializer_list<CNovelItem> list)
{
    CNovelItems items;
    for (const CNovelItem& item : list) *items.Add() = item;
    return items;
}

CNovelLink Link(const std::string& caption, const std::string& target)
{
    CNovelLink link;
    link.Enabled = true;
    link.Caption = caption;
    link.Target = target;
    return link;
}

CNovelLink ConditionalLink(const std::string& target, const std::string& counter, int threshold)
{
    CNovelLink link = Link("", target);
    link.Conditional = true;
    link.Counter = counter;
    link.Threshold = threshold;
    return link;
}

CNovelCounters Counters(std::initializer_list<CNovelCounter> list)
{
    CNovelCounters counters;
    for (const CNovelCounter& counter : list) counters.Add(counter);
    return counters;
}

TEST(StageLinks, MenuChoicesSkipLinksThatDoNotHoldAndNumberWithoutGaps)
{
    CNovelItem menu = MakeItem("menu", kItemMenuLink, {});
    menu.Links[1] = Link("missing", "nowhere");
    menu.Links[2] = Link("left", "a");
    menu.Links[5] = ConditionalLink("b", "C", 10);
    menu.Links[6] = Link("right", "b");
    const CNovelItems items = Items({menu, MakeItem("a", kItemEnd, {}), MakeItem("b", kItemEnd, {})});
    const std::vector<MenuChoice> choices = MenuChoices(menu, items, Counters({{"C", 9, 0, 100, false}}));
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[0].Caption, "1. left");
    EXPECT_EQ(choices[0].Target, 1);
    EXPECT_EQ(choices[1].Caption, "2. right");
    EXPECT_EQ(choices[1].Target, 2);
}

TEST(StageLinks, AutomaticLinkTakesTheHighestLinkThatHolds)
{
    CNovelItem item = MakeItem("auto", kItemAutoLink, {});
    item.Links[1] = Link("", "a");
    item.Links[3] = ConditionalLink("b", "C", 10);
    item.Links[5] = ConditionalLink("a", "C", 13);
    const CNovelItems items = Items({item, MakeItem("a", kItemEnd, {}), MakeItem("b", kItemEnd, {})});
    EXPECT_EQ(AutoLinkTarget(item, items, Counters({{"C", 12, 0, 100, false}})), 2);
    EXPECT_EQ(AutoLinkTarget(item, items, Counters({})), 1);
    item.Links[1].Enabled = false;
    EXPECT_EQ(AutoLinkTarget(item, items, Counters({})), -1);
}

TEST(StageWindow, CounterCommandsLimitAndReportMissingCounters)
{
    CNovelItem start =
        MakeItem("start", kItemEnd,
                 {".COUNTERSET,A,150", ".COUNTERPLUS B -5", ".counterrndset A 10 5", ".COUNTERSET Z 1"});
    StageHarness stage(Items({start}), Counters({{"A", 0, 0, 100, false}, {"B", 0, 0, 3, false}}));
    stage.StartReading();
    stage.Tick();
    EXPECT_EQ(stage.Form().State().Mode, PlayerMode::Text);
    // One command a tick.
    EXPECT_EQ(stage.State().Position.Line, 1);
    stage.Tick();
    stage.Tick();
    stage.Tick();
    ASSERT_EQ(stage.Messages().Messages().size(), 1u);
    EXPECT_EQ(stage.Messages().Messages()[0].caption, ".CounterSet エラー");
    EXPECT_EQ(stage.Messages().Messages()[0].text, "\"Z\"というカウンタは存在しません.");
}

TEST(StageWindow, BadNumberAbandonsTheTickAndReadingGoesOn)
{
    struct Case {
        const char* Command;
        TPoint CursorAfter;  // a fill begins its page before it reads its numbers
    };
    for (const Case& c : {Case{".WAIT soon", {26, 26 + 42}}, Case{".GRAPHFILL 0 x 255", {26, 26}}}) {
        CNovelFileHeader header;
        header.Title = "Story";
        StageHarness stage(Items({MakeItem("start", kItemEnd, {"あ", c.Command, "い"})}), {}, header);
        stage.StartReading();
        stage.Tick();  // あ, then on to the next line
        const int ticks = stage.State().TickTotal;
        stage.Tick();
        ASSERT_EQ(stage.Messages().Messages().size(), 1u) << c.Command;
        EXPECT_EQ(stage.Messages().Messages()[0].caption, "Story");
        EXPECT_EQ(stage.State().TickTotal, ticks) << c.Command << ": the failed tick is not counted";
        EXPECT_FALSE(stage.State().WaitActive);
        EXPECT_EQ(stage.State().TextCursor, c.CursorAfter) << c.Command;
        stage.Tick();  // the next line is typed
        EXPECT_EQ(stage.State().TextCursor, (TPoint{26, c.CursorAfter.Y + 42})) << c.Command;
    }
}

TEST(StageWindow, AutomaticLinkToAMissingItemLeavesNoCurrentItem)
{
    CNovelItem item = MakeItem("start", kItemAutoLink, {"あ"});
    item.Links[0] = Link("", "nowhere");
    StageHarness stage(Items({item}));
    stage.StartReading();
    for (int tick = 0; tick < 3; ++tick) stage.Tick();  // the character, the end, the link
    ASSERT_EQ(stage.Messages().Messages().size(), 1u);
    EXPECT_EQ(stage.Messages().Messages()[0].caption, "自動リンク");
    EXPECT_EQ(stage.State().Mode, PlayerMode::Title);
    EXPECT_EQ(stage.State().CurrentItem, -1);
}

TEST(StageWindow, AStoryWithoutItemsSaysSoAndGoesBackToTheTitle)
{
    CNovelFileHeader header;
    header.Title = "Story";
    header.StartItem = "start";
    StageHarness stage(Items({}), {}, header);
    for (int round = 1; round <= 2; ++round) {
        stage.RunTitleToClick();
        stage.Click();
        stage.Tick();
        ASSERT_EQ(stage.Messages().Messages().size(), static_cast<size_t>(round));
        EXPECT_EQ(stage.Messages().Messages().back().caption, "Story");
        EXPECT_EQ(stage.State().Mode, PlayerMode::Title);
        EXPECT_EQ(stage.State().TitleStep, 0);
    }
}

TEST(StageWindow, WaitOfASecondAtThirtyMillisecondsEndsAfter34Intervals)
{
    StageHarness stage(Items({MakeItem("start", kItemEnd, {".WAIT 1000", "あ"})}));
    stage.StartReading();
    stage.Tick();  // carries out the wait
    ASSERT_TRUE(stage.State().WaitActive);
    for (int i = 0; i < 33; ++i) stage.Tick();
    EXPECT_TRUE(stage.State().WaitActive);
    stage.Tick();
    EXPECT_FALSE(stage.State().WaitActive);
}

TEST(StageWindow, SpaceLatchesOnlyOnce)
{
    StageHarness stage(Items({MakeItem("start", kItemEnd, {"あ"})}));
    InputEvent space;
    space.type = InputEvent::Type::KeyDown;
    space.key = Key::Space;
    stage.Form().FormMouseMove(300, 300);
    stage.Form().FormKeyDown(space);
    EXPECT_TRUE(stage.State().Click.Pressed);
    EXPECT_EQ(stage.State().Mouse.X, 4);
    EXPECT_EQ(stage.Window().MovedPointer(), (std::pair{4, 4})) << "the real pointer moves too";
    stage.State().Click.X = 77;  // a second press must not overwrite the latch
    stage.Form().FormKeyDown(space);
    EXPECT_EQ(stage.State().Click.X, 77);
}

TEST(StageWindow, EscapeAsksInTheYesNoDialogCancelGoesOnOkCloses)
{
    StageHarness stage(Items({MakeItem("start", kItemEnd, {"あ"})}), {}, {}, "");
    stage.StartReading();
    InputEvent escape;
    escape.type = InputEvent::Type::KeyDown;
    escape.key = Key::Escape;
    // The dialog is centred: 282 x 109 at (179, 185); キャンセル at (144, 68), ＯＫ at (48, 68).
    stage.Replay("10 click 5 5\n20 key Space\n30 click 179 185\n40 click 330 265\n");
    stage.Form().FormKeyDown(escape);
    EXPECT_FALSE(stage.Form().Closed());
    EXPECT_FALSE(stage.State().Click.Pressed);  // neither click nor key reached the story
    stage.Replay("10 click 230 265\n");
    stage.Form().FormKeyDown(escape);
    EXPECT_TRUE(stage.Form().Closed());
    EXPECT_TRUE(stage.Messages().Messages().empty());  // no message box involved
}

TEST(StageWindow, PageHoldsTenLinesAndWrapsAt586)
{
    // 25 characters a line: 20 fit (x = 26 ... 558), the 21st starts a new line.
    std::string line;
    for (int i = 0; i < 25; ++i) line += "あ";
    StageHarness stage(Items({MakeItem("start", kItemEnd, {line, line, line, line, line, line})}));
    stage.StartReading();
    stage.Tick(20);
    EXPECT_EQ(stage.State().TextCursor, (TPoint{26 + 20 * 28, 26}));
    stage.Tick();
    EXPECT_EQ(stage.State().TextCursor, (TPoint{26 + 28, 26 + 42}));
    // 6 lines of 25 make 12 screen lines; the page of 10 fills at y = 404.
    stage.Tick(200);
    EXPECT_EQ(stage.State().Mode, PlayerMode::KeyWait);
    EXPECT_TRUE(stage.State().PageFull);
    EXPECT_EQ(stage.State().TextCursor.Y, 404);
    stage.Click();
    stage.Tick();
    EXPECT_EQ(stage.State().Mode, PlayerMode::Text);
    EXPECT_EQ(stage.State().TextCursor, (TPoint{26, 26}));
}

TEST(StageWindow, KeyWaitMarkContinuesOnTheSameLineAndJoinsJoin)
{
    StageHarness stage(Items({MakeItem("start", kItemEnd, {"あ@い;", "う", "", "え"})}));
    stage.StartReading();
    stage.Tick(5);
    EXPECT_EQ(stage.State().Mode, PlayerMode::KeyWait);
    EXPECT_FALSE(stage.State().PageFull);
    stage.Click();
    stage.Tick();
    stage.Tick(2);                                               // い, then the join
    stage.Tick();                                                // う on the same screen line
    EXPECT_EQ(stage.State().TextCursor, (TPoint{26, 26 + 42}));  // line finished: next line
    stage.Tick(2);  // an empty line ends the tick and adds no space
    stage.Tick();
    EXPECT_EQ(stage.State().TextCursor, (TPoint{26, 26 + 2 * 42}));
}

TEST(StageWindow, MenuLinkFollowsTheChosenLine)
{
    CNovelItem menu = MakeItem("start", kItemMenuLink, {"あ"});
    menu.Links[0] = Link("one", "a");
    menu.Links[1] = Link("two", "b");
    StageHarness stage(Items({menu, MakeItem("a", kItemEnd, {}), MakeItem("b", kItemEnd, {})}));
    stage.StartReading();
    stage.Tick(2);  // the character, then the end of the lines
    EXPECT_EQ(stage.State().Mode, PlayerMode::Link);
    stage.Form().FormMouseMove(100, 26 + 42 + 10);  // over the second line
    stage.Tick();
    stage.Click(100, 26 + 42 + 10, MouseButton::Right);  // opens the game menu only
    stage.Tick();
    EXPECT_EQ(stage.State().Mode, PlayerMode::Link);
    stage.Click(100, 26 + 42 + 10);
    stage.Tick();
    EXPECT_EQ(stage.State().Mode, PlayerMode::Text);
    EXPECT_EQ(stage.State().CurrentItem, 2);
}

TEST(StageWindow, AClickChoosesTheLineItLandedOnWhereverThePointerWentSince)
{
    CNovelItem menu = MakeItem("start", kItemMenuLink, {"あ"});
    menu.Links[0] = Link("one", "a");
    menu.Links[1] = Link("two", "b");
    StageHarness stage(Items({menu, MakeItem("a", kItemEnd, {}), MakeItem("b", kItemEnd, {})}));
    stage.StartReading();
    stage.Tick(2);
    stage.Click(100, 26 + 42 + 10);       // on the second line
    stage.Form().FormMouseMove(100, 30);  // and away to the first before the tick
    stage.Tick();
    EXPECT_EQ(stage.State().CurrentItem, 2);
}

TEST(StageTransitions, ShutterFromTheTopAtHalfTimeShowsTheTopHalf)
{
    StageHarness stage(Items({MakeItem("start", kItemEnd, {".GRAPHFILL 0 0 255 100 SHUTTER 3 1000", "@"})}));
    stage.StartReading();
    stage.Tick();  // the fill starts the shutter
    stage.Tick();  // its first step
    EXPECT_EQ(stage.Form().Timer().Interval(), 1);
    stage.Clock().Advance(499);
    stage.Tick();  // 500 ms after the first step
    const TNkDIB& screen = stage.Form().Stage().ScreenImage;
    EXPECT_EQ(screen.Pixel(10, 239), MakeColor(0, 0, 252));
    EXPECT_EQ(screen.Pixel(10, 240), MakeColor(0, 0, 0));
    stage.Clock().Advance(499);
    stage.Tick();
    EXPECT_FALSE(stage.Form().TransitionsInUse().Active());
    EXPECT_EQ(stage.Form().Timer().Interval(), 30);  // back to the text interval
}

TEST(StageTransitions, PuzzleRevealsEveryTileBy24StepsAndEndsAfter26)
{
    StageHarness stage(Items({MakeItem("start", kItemEnd, {".GRAPHFILL 0 0 255 100 PUZZLE 0 480", "@"})}));
    stage.StartReading();
    stage.Tick();
    const TNkDIB& screen = stage.Form().Stage().ScreenImage;
    int steps = 0;
    while (stage.Form().TransitionsInUse().Active()) {
        stage.Tick();
        ++steps;
        if (steps == 1) {
            EXPECT_EQ(stage.Form().Timer().Interval(), 20);
        }
        if (steps == 24) {
            for (int y = 0; y < 480; y += 40) {
                for (int x = 0; x < 640; x += 40) {
                    EXPECT_EQ(screen.Pixel(x + 20, y + 20), MakeColor(0, 0, 252));
                }
            }
        }
    }
    EXPECT_EQ(steps, 26);
}

TEST(StageWindow, FillsAndTextReachTheScreen)
{
    StageHarness stage(Items({MakeItem("start", kItemEnd, {".GRAPHFILL 255 0 0", "あ"})}));
    stage.StartReading();
    stage.Tick();  // the fill, and its transition starts
    while (stage.Form().TransitionsInUse().Active()) stage.Tick();
    const TNkDIB& screen = stage.Form().Stage().ScreenImage;
    EXPECT_EQ(screen.Pixel(600, 400), MakeColor(252, 0, 0));
    stage.Tick();
    // The block glyph's middle is fully covered: exactly the text colour.
    EXPECT_EQ(screen.Pixel(26 + 14, 26 + 14), MakeColor(255, 255, 255));
    EXPECT_EQ(screen.Pixel(300, 26 + 14), MakeColor(252, 0, 0));
}

}  // namespace
}  // namespace kelva

namespace kelva {
namespace {

TEST(StageWindow, ClosingPunctuationHangsPastTheMarginAndALagTypesSeveral)
{
    std::string line;
    for (int i = 0; i < 20; ++i) line += "あ";
    StageHarness stage(Items({MakeItem("start", kItemEnd, {line + "。いう"})}));
    stage.StartReading();
    stage.Tick(3);  // a lag of three intervals types three characters
    EXPECT_EQ(stage.State().TextCursor, (TPoint{26 + 3 * 28, 26}));
    stage.Tick(17);
    stage.Tick();  // "。" stays on the full line, past the margin
    EXPECT_EQ(stage.State().TextCursor, (TPoint{26 + 21 * 28, 26}));
    stage.Tick();  // "い" starts the next line
    EXPECT_EQ(stage.State().TextCursor, (TPoint{26 + 28, 26 + 42}));
    EXPECT_EQ(stage.State().Position.Line, 0);
}

}  // namespace
}  // namespace kelva

namespace kelva {
namespace {

TEST(StageWindow, PageRecordsTheCdTrackAndTheSoundOnlyWhileTheyPlay)
{
    StageHarness stage(Items({MakeItem("start", kItemEnd, {".CDPLAY 3", ".SOUNDPLAY se1", "@"})}));
    stage.StartReading();
    stage.Tick();
    stage.Tick();
    EXPECT_EQ(stage.Sound().Calls.back(), "sound se1");
    stage.Form().BeginPage();
    EXPECT_EQ(stage.State().PageCdTrack, 0);
    EXPECT_EQ(stage.State().PageSound, "");
    stage.Sound().CdStillPlaying = true;
    stage.Sound().SoundStillPlaying = true;
    stage.Form().BeginPage();
    EXPECT_EQ(stage.State().PageCdTrack, 3);
    EXPECT_EQ(stage.State().PageSound, "se1");
}

}  // namespace
}  // namespace kelva
