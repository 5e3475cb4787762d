#include "core/BookmarkBook.h"

#include <gtest/gtest.h>

#include "graphics/StageTestImages.h"
#include "support/StageHarness.h"

namespace kelva {
namespace {

class FixedLocalTime final : public LocalTime {
public:
    TLocalDateTime Now() override { return {2026, 3, 7, 9, 5, 4}; }
};

CNovelFileHeader WithBookmarksAtTitleAndEndings()
{
    CNovelFileHeader header;
    header.BookmarkMode = 2;
    return header;
}

// Stage pixels of the centred book and its dialogs.
constexpr const char* kReadFromBeginning = "0 click 150 380\n1 click 270 265\n";  // the button, then ＯＫ
// The ribbon at `place`, はさむ in its action menu, then ＯＫ.
std::string RecordAt(int place)
{
    const int x = 136 + 140 * place;
    return "0 click " + std::to_string(x) + " 229\n1 click " + std::to_string(x + 60) +
           " 269\n2 click 270 265\n";
}

TEST(BookmarkBookTest, TheTitleReadsFromTheBeginningAndTheEndingRecordsThroughTheBook)
{
    test::MediaDirectory media;
    test::StageHarness stage(test::Items({test::MakeItem("start", kItemEnd, {".COUNTERPLUS kept 5", "a"})}),
                             test::Counters({{"kept", 0, 0, 100, true}}), WithBookmarksAtTitleAndEndings());
    test::BlockRasteriser fonts;
    RecordingMessageBox messages{false};
    BookmarkStore store{{"story.knb", "story.knb"}, messages};
    FixedLocalTime time;
    StoryBookmarks bookmarks{stage.Form(), *stage.Game().Story, store, time, stage.Log()};
    BookmarkBook book(stage.Form(), *stage.Game().Story, bookmarks, fonts, stage.Clock(), stage.Log());
    const CNovelCounters& counters = stage.Game().Story->Counters;

    for (int reading = 0; reading < 2; ++reading) {
        stage.Replay(kReadFromBeginning);
        stage.RunTitleToClick();
        stage.Click();
        stage.Tick();  // the book opens, reading starts from the beginning and the book closes
        ASSERT_EQ(stage.State().Mode, PlayerMode::Text) << reading;
        // The kept counter survives an ending, but not a new reading chosen in the book.
        EXPECT_EQ(counters[0].Value, 0) << reading;
        stage.Replay(RecordAt(reading));  // the new ribbon
        for (int i = 0; i < 200 && stage.State().Mode != PlayerMode::Title; ++i) stage.Tick();
        EXPECT_EQ(counters[0].Value, 5) << reading;
        ASSERT_EQ(store.Count(), reading + 1);
        EXPECT_EQ(store.List()[reading].Label, "1回目 クリア");
    }
    EXPECT_FALSE(stage.Form().Windows().ModalShowing());
}

}  // namespace
}  // namespace kelva
