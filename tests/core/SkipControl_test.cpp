// Skipping by holding a key, and skipping only the pages read before, on the real stage
// form driven by replay events.
#include "core/SkipControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/StageHarness.h"
#include "support/TestFiles.h"
#include "support/TranscriptWords.h"

namespace kelva {
namespace {

// Item "a" waits at seven key waits, one a line, then links on to the choices of "m",
// whose one choice leads to the ending "z".
CNovelItems Story()
{
    CNovelItem a = test::MakeItem("a", kItemAutoLink,
                                  {"いち@", "に@", "さん@", "よん@", "ご@", "ろく@", "なな@", "おわり"});
    a.Links[0] = {true, "", "m", false, "", 0};
    CNovelItem m = test::MakeItem("m", kItemMenuLink, {"どうする？"});
    m.Links[0] = {true, "さきへ", "z", false, "", 0};
    return test::Items({a, m, test::MakeItem("z", kItemEnd, {"その先@", "おしまい"})});
}

struct Reading {
    // With the pages read kept in `pages`, or in memory when it is empty.
    explicit Reading(const std::string& pages = "")
        : stage(Story(), {}, {}, dir.File("transcript.txt"), pages)
    {
    }
    // Starts reading and clicks on until the story waits at key wait `n` (1-based).
    void ClickToKeyWait(int n)
    {
        stage.StartReading();
        for (int waits = 0, tick = 0; tick < 2000; ++tick) {
            if (stage.State().Mode == PlayerMode::KeyWait) {
                if (++waits == n) return;
                stage.Click();
            }
            stage.Tick();
        }
        FAIL() << "key wait " << n << " never came";
    }
    // Plays the replay events (times from now) on the stage's own loop until they run out.
    void Play(const std::string& events)
    {
        stage.Replay(events);
        stage.Form().Run();
    }
    std::vector<std::string> Events() { return test::TranscriptEvents(dir.File("transcript.txt")); }
    // How many times `event` happened between the first `from` and the first `to` after it.
    int CountBetween(const std::string& event, const std::string& from, const std::string& to)
    {
        const std::vector<std::string> events = Events();
        const auto begin = std::find(events.begin(), events.end(), from);
        return static_cast<int>(std::count(begin, std::find(begin, events.end(), to), event));
    }

    test::TempDir dir;
    test::StageHarness stage;
};

TEST(SkipControl, HoldingTheKeyPassesKeyWaitsWithoutClicksUntilItIsLetGo)
{
    Reading reading;
    reading.ClickToKeyWait(1);
    reading.Play("0 keydown Ctrl\n285 keyup Ctrl\n3000 move 5 5\n");
    EXPECT_GE(reading.CountBetween("keywait", "skip", "skip-end release"), 3);
    // Let go, the story waits at the next key wait for as long as nobody clicks.
    EXPECT_LE(reading.CountBetween("keywait", "skip-end release", "close"), 1);
    const PlayerState& state = reading.stage.State();
    EXPECT_EQ(state.Mode, PlayerMode::KeyWait);
    EXPECT_EQ(state.CurrentItem, 0);
    EXPECT_LT(state.Position.Line, 6);
    EXPECT_FALSE(state.SkipMode);
    EXPECT_EQ(reading.stage.Form().Timer().Interval(), 30);
}

TEST(SkipControl, ATapOrAChordWithTheKeySkipsNothing)
{
    for (const char* events : {"0 keydown Ctrl\n200 keyup Ctrl\n1000 move 5 5\n",
                               "0 keydown Ctrl\n100 key Ctrl+2\n900 keyup Ctrl\n1000 move 5 5\n"}) {
        Reading reading;
        reading.ClickToKeyWait(1);
        const int line = reading.stage.State().Position.Line;
        reading.Play(events);
        EXPECT_EQ(reading.CountBetween("skip", "keywait", "close"), 0) << events;
        EXPECT_EQ(reading.stage.State().Position.Line, line) << events << ": the story still waits";
    }
}

TEST(SkipControl, AKeyStillHeldAfterTheChoicesStartsNothingUntilPressedAgain)
{
    Reading reading;
    reading.ClickToKeyWait(1);
    // Held through to the choices; "さきへ" chosen with the keys; the ending's first key
    // wait waits; pressed again, the key takes the story to its end.
    reading.Play(
        "0 keydown Ctrl\n500 key Down\n510 key Return\n3000 keyup Ctrl\n"
        "3500 keydown Ctrl\n3900 keyup Ctrl\n4300 move 5 5\n");
    EXPECT_EQ(reading.CountBetween("keywait", "item z", "skip"), 1);
    EXPECT_EQ(reading.CountBetween("skip", "item z", "end"), 1);
    EXPECT_EQ(reading.CountBetween("end", "item z", "close"), 1);
}

TEST(SkipControl, SkippingOnlyReadTextStopsAtTheFirstPageNotReadBefore)
{
    test::TempDir files;
    const std::string record = files.File("demo.read");
    {
        Reading first(record);
        first.ClickToKeyWait(3);  // "いち", "に" and "さん" have been read
        first.stage.Form().FormClose();
    }
    for (const bool onlyRead : {true, false}) {
        const std::string copy = files.File(onlyRead ? "only.read" : "all.read");
        std::filesystem::copy_file(record, copy);
        Reading second(copy);
        second.stage.Settings().SkipOnlyRead = onlyRead;
        second.ClickToKeyWait(1);
        second.Play("0 keydown Ctrl\n2000 keyup Ctrl\n2500 move 5 5\n");
        const PlayerState& state = second.stage.State();
        if (onlyRead) {
            // Skipping ended as "よん" began: it was typed at the story's pace, and waits.
            EXPECT_EQ(second.CountBetween("keywait", "skip", "skip-end unread"), 2);
            EXPECT_EQ(state.Mode, PlayerMode::KeyWait);
            EXPECT_EQ(state.Position.Line, 3);
        } else {
            EXPECT_EQ(second.CountBetween("skip-end unread", "skip", "close"), 0);
            EXPECT_EQ(state.Mode, PlayerMode::Link);
            EXPECT_EQ(state.CurrentItem, 1);
        }
    }
}

TEST(SkipControl, OnlyReadTextCannotBeSkippedFromAPageNotReadBefore)
{
    Reading reading;
    reading.stage.Settings().SkipOnlyRead = true;
    reading.stage.StartReading();
    reading.stage.Tick();
    ASSERT_EQ(reading.stage.State().Mode, PlayerMode::Text);
    EXPECT_FALSE(reading.stage.Form().Skip().Start());
    EXPECT_FALSE(reading.stage.State().SkipMode);
}

}  // namespace
}  // namespace kelva
