#include "core/StoryBookmarks.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "graphics/StageTestImages.h"
#include "support/StageHarness.h"

namespace kelva {
namespace {

using test::Counters;
using test::Items;
using test::MakeItem;
using test::StageHarness;

class FixedLocalTime final : public LocalTime {
public:
    TLocalDateTime At{2026, 3, 7, 9, 5, 4};
    TLocalDateTime Now() override { return At; }
};

// A stage with a bookmark store in a scratch folder, which is also the media folder.
struct BookmarkStage {
    test::MediaDirectory media;
    std::string transcript = std::filesystem::current_path() / "transcript.txt";
    StageHarness stage;
    RecordingMessageBox messages{false};
    BookmarkStore store{{"story.knb", "story.knb"}, messages};
    FixedLocalTime time;
    StoryBookmarks bookmarks{stage.Form(), *stage.Game().Story, store, time, stage.Log()};

    BookmarkStage(CNovelItems items, CNovelCounters counters)
        : stage(std::move(items), std::move(counters), {}, transcript)
    {
    }

    void TickUntilKeyWait()
    {
        for (int i = 0; i < 500 && stage.State().Mode != PlayerMode::KeyWait; ++i) stage.Tick();
        ASSERT_EQ(stage.State().Mode, PlayerMode::KeyWait);
    }
    void TickUntilCalm()
    {
        while (stage.Form().TransitionsInUse().Active()) stage.Tick();
    }
    int Counter(const char* name)
    {
        const CNovelCounters& counters = stage.Game().Story->Counters;
        return counters[counters.IndexOf(name)].Value;
    }
};

TEST(StoryBookmarksTest, OpeningABookmarkPutsBackThePageItWasRecordedOn)
{
    CNovelItem start = MakeItem("start", kItemEnd,
                                {".GRAPHLOAD bg.bmp", ".MIDIPLAY theme.mid", ".COUNTERSET A 5",
                                 ".CHARSET girl girl.bmp BOTTOM CENTER", "あい@", ".COUNTERSET A 9",
                                 ".MIDISTOP", ".CDPLAY 4", ".CHARDELETE girl", ".GRAPHFILL 0 255 0", "う@"});
    BookmarkStage s(Items({start}), Counters({{"A", 0, 0, 100, false}}));
    s.media.Write("bg.bmp", test::BmpBytes(test::SolidImage(640, 480, MakeColor(20, 40, 200))));
    s.media.Write("girl.bmp", test::BmpBytes(test::SolidImage(100, 200, MakeColor(250, 200, 10))));
    s.stage.StartReading();
    while (s.stage.Form().Stage().CharLayer.Name(0).empty()) s.stage.Tick();
    s.TickUntilCalm();
    const TNkDIB pageStart = s.stage.Screen();
    s.TickUntilKeyWait();
    const ReadingPosition pagePosition = s.stage.State().PagePosition;
    const int page = s.stage.State().PageCounter;

    ASSERT_TRUE(s.bookmarks.Record(0));
    const TBookmarkData& recorded = s.store.List()[0];
    EXPECT_EQ(recorded.ItemName, "start");
    EXPECT_EQ(recorded.Background, "bg.bmp");
    EXPECT_EQ(recorded.Music, "theme.mid");
    EXPECT_EQ(recorded.Sprites.Slots[0].Name, "girl");
    EXPECT_EQ(recorded.Counters[0].Value, 5);
    EXPECT_EQ(recorded.DateText, "2026/3/7 9:05.04");

    // Play on: the next page changes all of it.
    s.stage.Click();
    s.stage.Tick();
    s.TickUntilKeyWait();
    ASSERT_EQ(s.Counter("A"), 9);
    ASSERT_FALSE(test::SameBytes(s.stage.Screen(), pageStart));
    s.stage.Sound().Calls.clear();

    s.bookmarks.Open(0);
    EXPECT_TRUE(test::SameBytes(s.stage.Screen(), pageStart));
    EXPECT_EQ(s.Counter("A"), 5);
    EXPECT_EQ(s.stage.State().Mode, PlayerMode::Text);
    EXPECT_EQ(s.stage.State().Position, pagePosition);
    EXPECT_EQ(s.stage.State().PageCounter, page);
    EXPECT_EQ(s.stage.Sound().Calls,
              (std::vector<std::string>{"music theme.mid loop", "sound-stop", "cd-stop"}));
    // Reading goes on from the page's start: the same text and key wait again.
    s.TickUntilKeyWait();
    EXPECT_EQ(s.Counter("A"), 5);

    std::ifstream file(s.transcript);
    std::stringstream text;
    text << file.rdbuf();
    const std::string log = text.str();
    const size_t opened = log.find("bookmark-open 1 ");
    ASSERT_NE(opened, std::string::npos) << log;
    for (const char* replayed : {"music theme.mid", "sound-stop", "cd-stop"}) {
        EXPECT_NE(log.find(replayed, opened), std::string::npos) << replayed;
    }
}

TEST(StoryBookmarksTest, AnEndingBookmarkBeginsTheNextReading)
{
    // The story starts on page 0; each new page counts one more.
    std::vector<std::string> lines;
    for (int i = 0; i < 12; ++i) lines.push_back(".NEXTPAGE");
    lines.push_back("あ@");
    BookmarkStage s(Items({MakeItem("start", kItemEnd, lines)}),
                    Counters({{"kept", 0, 0, 100, true}, {"reset", 0, 0, 100, false}}));
    s.stage.StartReading();
    s.TickUntilKeyWait();
    ASSERT_TRUE(s.bookmarks.Record(0));
    EXPECT_EQ(s.store.List()[0].Label, "1回目 12ページ");

    // At the ending the page counter reads -1 while the book offers to record.
    CNovelCounters& counters = s.stage.Game().Story->Counters;
    s.stage.State().PageCounter = -1;
    s.stage.State().CountersSnapshot.Assign(counters);
    s.stage.State().CountersSnapshot[0].Value = 7;
    s.stage.State().CountersSnapshot[1].Value = 8;
    ASSERT_TRUE(s.bookmarks.Record(1));
    EXPECT_EQ(s.store.List()[1].Label, "1回目 クリア");

    s.bookmarks.Open(1);
    s.TickUntilCalm();
    EXPECT_EQ(s.stage.State().PlayNumber, 2);
    EXPECT_EQ(s.stage.State().CurrentItem, 0);
    EXPECT_EQ(s.stage.State().Position, (ReadingPosition{1, 0}));
    EXPECT_EQ(s.Counter("kept"), 7);
    EXPECT_EQ(s.Counter("reset"), 0);
    s.TickUntilKeyWait();
    ASSERT_TRUE(s.bookmarks.Record(2));
    EXPECT_EQ(s.store.List()[2].PlayNumber, 2);
    EXPECT_EQ(s.store.List()[2].Label, "2回目 12ページ");

    // An ordinary bookmark of the first reading takes its reading number back.
    s.bookmarks.Open(0);
    EXPECT_EQ(s.stage.State().PlayNumber, 1);
    EXPECT_EQ(s.Counter("kept"), 0);
}

}  // namespace
}  // namespace kelva
