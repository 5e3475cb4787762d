// The backlog and the key list on the real stage form, driven by replay events.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "platform/TextCodec.h"
#include "support/StageHarness.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

// Three pages, one an item: "一二", "三四五", then "六七八九" waits before its last line.
CNovelItems ThreePages()
{
    CNovelItem p1 = test::MakeItem("p1", kItemAutoLink, {"一二@"});
    p1.Links[0] = {true, "", "p2", false, "", 0};
    CNovelItem p2 = test::MakeItem("p2", kItemAutoLink, {"三四五@"});
    p2.Links[0] = {true, "", "p3", false, "", 0};
    return test::Items({p1, p2, test::MakeItem("p3", kItemEnd, {"六七八九@", "おわり"})});
}

// A question and its menu: "一" waits, then the choices come.
CNovelItems AQuestion()
{
    CNovelItem menu = test::MakeItem("m", kItemMenuLink, {"一@"});
    menu.Links[0] = {true, "右へ", "a", false, "", 0};
    return test::Items({menu, test::MakeItem("a", kItemEnd, {"A"})});
}

struct Stage {
    explicit Stage(CNovelItems items)
        : stage(std::move(items), {}, {}, dir.File("transcript.txt"), "", dir.Path().string())
    {
    }

    // Reads on, clicking through key waits, until the story waits at `item` or shows its choices.
    void ReadUntil(PlayerMode mode, int item)
    {
        stage.StartReading();
        for (int n = 0; n < 500 && !(State().Mode == mode && State().CurrentItem == item); ++n) {
            if (State().Mode == PlayerMode::KeyWait) stage.Click();
            stage.Tick();
        }
        stage.Tick();
        ASSERT_EQ(State().Mode, mode);
    }
    void Key(Key key)
    {
        InputEvent event;
        event.type = InputEvent::Type::KeyDown;
        event.key = key;
        stage.Form().FormKeyDown(event);
    }
    // The transcript's lines without their times.
    std::vector<std::string> Events()
    {
        std::ifstream file(dir.File("transcript.txt"));
        std::vector<std::string> events;
        for (std::string line; std::getline(file, line);) events.push_back(line.substr(line.find(' ') + 1));
        return events;
    }
    int Count(const std::string& event)
    {
        const std::vector<std::string> events = Events();
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }
    PlayerState& State() { return stage.State(); }

    test::TempDir dir;
    test::StageHarness stage;
};

// The white text of stage row `y`, as the number of its runs: one a character.
int CharactersOnRow(const std::vector<uint32_t>& pixels, int y)
{
    int runs = 0;
    bool inRun = false;
    for (int x = 0; x < kStageWidth; ++x) {
        const bool white = pixels[static_cast<size_t>(y * kStageWidth + x)] == 0xFFFFFF;
        if (white && !inRun) ++runs;
        inRun = white;
    }
    return runs;
}

TEST(Backlog, TheWheelShowsTheEarlierPagesOverTheStageAndGivesItBack)
{
    Stage story(ThreePages());
    story.ReadUntil(PlayerMode::KeyWait, 2);
    story.stage.Replay(
        "100 wheel 1\n200 dump backlog\n300 wheel -1\n400 dump after\n500 click 300 300\n3000 move 5 5\n");
    story.stage.Form().Run();

    // Rows 42 apart from the message area's top: the two pages before, then this one.
    const std::vector<uint32_t> backlog = test::PngPixels(story.dir.File("backlog.png"));
    ASSERT_EQ(backlog.size(), static_cast<size_t>(kStageWidth * kStageHeight));
    const int middle = 26 + 14;
    EXPECT_EQ(CharactersOnRow(backlog, middle), 2);
    EXPECT_EQ(CharactersOnRow(backlog, middle + 42), 3);
    EXPECT_EQ(CharactersOnRow(backlog, middle + 2 * 42), 4);
    EXPECT_EQ(CharactersOnRow(backlog, middle + 3 * 42), 0);
    // Closed, the stage shows its own page again, and the next click reads on.
    const std::vector<uint32_t> after = test::PngPixels(story.dir.File("after.png"));
    ASSERT_EQ(after.size(), backlog.size());
    EXPECT_EQ(CharactersOnRow(after, middle), 4);
    EXPECT_EQ(CharactersOnRow(after, middle + 42), 0);
    const std::vector<std::string> events = story.Events();
    const auto opened = std::find(events.begin(), events.end(), "backlog");
    EXPECT_NE(std::find(opened, events.end(), "text " + Cp932ToUtf8("おわり")), events.end());
}

TEST(Backlog, OpensOnlyWhereTheStoryWaitsForTheReader)
{
    struct Case {
        const char* name;
        CNovelItems items;
        PlayerMode mode;  // read until then; Title: the title screen
        int wheel;        // 0: PageUp instead
        bool opens;
    } cases[] = {
        {"at the title", ThreePages(), PlayerMode::Title, 1, false},
        {"while text is typed", ThreePages(), PlayerMode::Text, 1, false},
        {"at a key wait", ThreePages(), PlayerMode::KeyWait, 1, true},
        {"PageUp at a key wait", ThreePages(), PlayerMode::KeyWait, 0, true},
        {"the wheel down", ThreePages(), PlayerMode::KeyWait, -1, false},
        {"over the choices", AQuestion(), PlayerMode::Link, 1, true},
    };
    for (Case& c : cases) {
        Stage story(std::move(c.items));
        if (c.mode == PlayerMode::Title) {
            story.stage.RunTitleToClick();
        } else if (c.mode == PlayerMode::Text) {
            story.stage.StartReading();
        } else {
            story.ReadUntil(c.mode, 0);
        }
        const PlayerState before = story.State();
        story.stage.Replay("50 key Escape\n");
        if (c.wheel) {
            story.stage.Form().FormMouseWheel(c.wheel);
        } else {
            story.Key(Key::PageUp);
        }
        EXPECT_EQ(story.Count("backlog"), c.opens ? 1 : 0) << c.name;
        EXPECT_EQ(story.State().TickTotal, before.TickTotal) << c.name << ": the story stood still";
        EXPECT_EQ(story.State().Mode, before.Mode) << c.name;
    }
}

TEST(KeyHelp, F1ShowsTheKeysUntilAKeyOrAClickThatGoNoFurther)
{
    Stage story(ThreePages());
    story.ReadUntil(PlayerMode::KeyWait, 0);
    story.stage.Replay(
        "100 key F1\n200 dump keys\n300 key Space\n400 key F1\n500 click 300 300\n600 dump after\n");
    story.stage.Form().Run();
    EXPECT_EQ(story.Count("keyhelp"), 2);
    EXPECT_EQ(story.Count("keywait"), 1) << "Space and the click closed the list; the story still waits";
    // The list is drawn over the dimmed stage: none of the page's white is left.
    const std::vector<uint32_t> keys = test::PngPixels(story.dir.File("keys.png"));
    const std::vector<uint32_t> after = test::PngPixels(story.dir.File("after.png"));
    ASSERT_EQ(keys.size(), static_cast<size_t>(kStageWidth * kStageHeight));
    EXPECT_EQ(CharactersOnRow(after, 26 + 14), 2);
    EXPECT_EQ(CharactersOnRow(keys, 26 + 14), 0);
}

}  // namespace
}  // namespace kelva
