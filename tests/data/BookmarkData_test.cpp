#include "data/BookmarkData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kelva {
namespace {

// Size of a version 3 record with an empty counter table.
constexpr size_t kEmptyRecordSize = 2 + 256 + 8 + 8 + 3 * 129 + 4256 + 8 + 2 * 129 + 4 + 4 + 4 + 4;
constexpr size_t kFileHeaderSize = 33 + 4 + 4;

TBookmarkData SampleBookmark(int n)
{
    TBookmarkData b;
    b.ItemName = "\x8E\x6E\x82\xDF item " + std::to_string(n);  // 始め
    b.Position = {7 + n, 3 * n};
    b.Counters.Add({"\x8D\x44\x8A\xB4\x93\x78", 40 + n, 0, 100, n % 2 == 0});
    b.Counters.Add({"flag", -n, -5, 5, true});
    b.Background = "bg\\room" + std::to_string(n) + ".jpg";
    b.Music = n == 2 ? "" : "bgm\\theme.mid";
    b.Sound = "se\\chime.wav";
    b.Sprites.SetSlot(0, "girl", "chara\\girl.bmp", 100, -20);
    b.Sprites.SetSlot(15, "cat", "chara\\sub\\cat.bmp", 640 - n, 480);
    b.CdTrack = n;
    b.Saved = EncodeSavedDate({2024, 3, 5 + n, 9, 7, 3});
    b.PlayNumber = n;
    b.Page = n == 3 ? -1 : 12;
    b.UpdateTexts();
    return b;
}

std::vector<uint8_t> FileBytes(TBookmarkList& list)
{
    MemoryStream out;
    list.SaveToStream(out);
    return out.TakeBytes();
}

std::vector<uint8_t> RecordBytes(TBookmarkData bookmark)
{
    MemoryStream out;
    bookmark.SaveToStream(out);
    return out.TakeBytes();
}

// Two bookmarks are the same when every field writes the same bytes.
void ExpectSameBookmark(const TBookmarkData& a, const TBookmarkData& b)
{
    EXPECT_EQ(RecordBytes(a), RecordBytes(b));
}

std::vector<uint8_t> Int32Bytes(int32_t value)
{
    MemoryStream out;
    out.WriteInt32(value);
    return out.TakeBytes();
}

// A file header (magic, version, count) followed by the given raw records.
std::vector<uint8_t> FileOf(int32_t count, const std::vector<std::vector<uint8_t>>& records)
{
    TBookmarkList empty;
    std::vector<uint8_t> bytes = FileBytes(empty);
    const auto countBytes = Int32Bytes(count);
    std::copy(countBytes.begin(), countBytes.end(), bytes.end() - 4);
    for (const auto& record : records) bytes.insert(bytes.end(), record.begin(), record.end());
    return bytes;
}

TEST(BookmarkFileTest, LayoutOfTheFileAndOfARecord)
{
    TBookmarkList list;
    TBookmarkData* b = list.Add();
    b->Sprites.SetSlot(1, "a", "b.bmp", -1, 2);
    b->Version = 1;  // saving always writes the current version
    const std::vector<uint8_t> bytes = FileBytes(list);

    ASSERT_EQ(bytes.size(), kFileHeaderSize + kEmptyRecordSize);
    EXPECT_EQ(bytes[0], 23);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 24), "KelvaNovel BookMarkFile");
    EXPECT_EQ(std::string(bytes.begin() + 24, bytes.begin() + 33), std::string(9, ' '))
        << "padded with spaces";
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 33, bytes.begin() + 41),
              (std::vector<uint8_t>{3, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(b->Version, 3);

    const uint8_t* record = bytes.data() + kFileHeaderSize;
    EXPECT_EQ(record[0], 3) << "record version";
    EXPECT_EQ(record[2 + 256], 1) << "a new record's reading position is character 1";
    const size_t sprites = 2 + 256 + 8 + 8 + 3 * 129;
    EXPECT_EQ(record[sprites + 266], 1) << "slot 1 starts 266 bytes into the layer record";
    EXPECT_EQ(record[sprites + 266 + 1], 'a');
    EXPECT_EQ(record[sprites + 266 + 2], 0) << "unused name bytes are zero";
    EXPECT_EQ(record[sprites + 266 + 258], 0xFF) << "X = -1";
    const size_t tail = kEmptyRecordSize - 8;
    EXPECT_EQ(std::vector<uint8_t>(record + tail, record + tail + 8), (std::vector<uint8_t>(8, 0)))
        << "an empty counted string, then CdTrack 0";
}

TEST(BookmarkFileTest, ThreeBookmarksRoundTripInOrder)
{
    TBookmarkList list;
    for (int n = 1; n <= 3; ++n) *list.Add() = SampleBookmark(n);
    const std::vector<uint8_t> bytes = FileBytes(list);

    MemoryStream input(bytes);
    TBookmarkList loaded;
    loaded.LoadFromStream(input);
    EXPECT_EQ(input.Remaining(), 0);
    ASSERT_EQ(loaded.Count(), 3);
    for (int i = 0; i < 3; ++i) ExpectSameBookmark(loaded[i], list[i]);
    EXPECT_EQ(FileBytes(loaded), bytes);
    EXPECT_EQ(loaded[2].Label, "3\x89\xF1\x96\xDA \x83\x4E\x83\x8A\x83\x41") << "3回目 クリア";
}

TEST(BookmarkFileTest, OlderRecordsReadTheirOwnFields)
{
    TBookmarkData v1 = SampleBookmark(1);
    std::vector<uint8_t> first = RecordBytes(v1);
    first.resize(first.size() - 8);  // no counted string, no CD track
    first[0] = 1;
    TBookmarkData v2 = SampleBookmark(2);
    std::vector<uint8_t> second = RecordBytes(v2);
    second.resize(second.size() - 4);  // no CD track
    second[0] = 2;
    // A version 2 record's counted string is skipped whatever it holds.
    const std::vector<uint8_t> junk = {5, 0, 0, 0, 'h', 'e', 'l', 'l', 'o'};
    second.erase(second.end() - 4, second.end());
    second.insert(second.end(), junk.begin(), junk.end());
    const std::vector<uint8_t> third = RecordBytes(SampleBookmark(3));

    MemoryStream input(FileOf(3, {first, second, third}));
    TBookmarkList list;
    list.LoadFromStream(input);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(input.Remaining(), 0);
    EXPECT_EQ(list[0].Version, 1);
    EXPECT_EQ(list[0].CdTrack, 0);
    EXPECT_EQ(list[0].Page, 12);
    EXPECT_EQ(list[1].Version, 2);
    EXPECT_EQ(list[1].CdTrack, 0);
    EXPECT_EQ(list[1].ItemName, v2.ItemName);
    ExpectSameBookmark(list[2], SampleBookmark(3));

    // Saved again, every record is version 3.
    const std::vector<uint8_t> saved = FileBytes(list);
    EXPECT_EQ(saved.size(), kFileHeaderSize + 3 * RecordBytes(SampleBookmark(3)).size());
    EXPECT_EQ(list[0].Version, 3);
}

TEST(BookmarkFileTest, MagicAndListVersionAreNotCompared)
{
    TBookmarkList list;
    *list.Add() = SampleBookmark(1);
    std::vector<uint8_t> bytes = FileBytes(list);
    std::fill(bytes.begin(), bytes.begin() + 37, 'x');
    MemoryStream input(bytes);
    TBookmarkList loaded;
    loaded.LoadFromStream(input);
    ASSERT_EQ(loaded.Count(), 1);
    ExpectSameBookmark(loaded[0], list[0]);
}

// Each broken file throws a FormatError naming the fault, and the list keeps what it held.
TEST(BookmarkFileTest, HostileFilesAreRejectedAndLeaveTheListAlone)
{
    const std::vector<uint8_t> good = RecordBytes(SampleBookmark(1));
    std::vector<uint8_t> hugeString = good;
    const auto length = Int32Bytes(0x7FFFFFF0);
    std::copy(length.begin(), length.end(), hugeString.end() - 8);
    std::vector<uint8_t> negativeString = good;
    const auto minus = Int32Bytes(-1);
    std::copy(minus.begin(), minus.end(), negativeString.end() - 8);
    std::vector<uint8_t> manyCounters = good;
    const auto counters = Int32Bytes(100000);
    std::copy(counters.begin(), counters.end(), manyCounters.begin() + 2 + 256 + 8 + 4);

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::string message;  // CP932 text the error must contain
    };
    const Case cases[] = {
        {"51 bookmarks", FileOf(51, {}), "51"},
        {"a negative count", FileOf(-1, {}), "-1"},
        {"fewer records than the count", FileOf(2, {good}), "\x82\xB5\x82\xA8\x82\xE8 2"},  // しおり 2
        {"a record cut short", FileOf(1, {std::vector<uint8_t>(good.begin(), good.begin() + 3000)}), ""},
        {"a counted string past the end", FileOf(1, {hugeString}), "2147483632"},
        {"a negative string length", FileOf(1, {negativeString}), "-1"},
        {"too many counters", FileOf(1, {manyCounters}), "100000"},
        {"a header cut short", std::vector<uint8_t>(20, ' '), ""},
    };
    for (const Case& c : cases) {
        TBookmarkList list;
        *list.Add() = SampleBookmark(7);
        MemoryStream input(c.bytes);
        try {
            list.LoadFromStream(input);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const FormatError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.what;
        }
        ASSERT_EQ(list.Count(), 1) << c.what;
        EXPECT_EQ(list[0].ItemName, SampleBookmark(7).ItemName) << c.what;
    }

    // Exactly 50 is fine.
    std::vector<std::vector<uint8_t>> fifty(50, good);
    MemoryStream input(FileOf(50, fifty));
    TBookmarkList list;
    list.LoadFromStream(input);
    EXPECT_EQ(list.Count(), 50);
}

TEST(BookmarkFileTest, OverlongTextIsCutAndLengthBytesAreBounded)
{
    TBookmarkData b;
    b.ItemName = std::string(300, 'i');
    b.Background = std::string(200, 'b');
    b.Sprites.SetSlot(3, std::string(129, 'n'), std::string(500, 'f'), 1, 2);
    EXPECT_EQ(b.Sprites.Slots[3].Name.size(), 128u);
    std::vector<uint8_t> bytes = RecordBytes(b);
    EXPECT_EQ(bytes.size(), kEmptyRecordSize);

    // A layer record whose length byte says 200 (more than its 128 bytes) keeps 128.
    const size_t slot3 = 2 + 256 + 8 + 8 + 3 * 129 + 3 * 266;
    bytes[slot3] = 200;
    bytes[slot3 + 129] = 3;  // bytes after the used ones carry no meaning
    MemoryStream input(bytes);
    TBookmarkData loaded;
    loaded.LoadFromStream(input);
    EXPECT_EQ(loaded.ItemName, std::string(255, 'i'));
    EXPECT_EQ(loaded.Background, std::string(128, 'b'));
    EXPECT_EQ(loaded.Sprites.Slots[3].Name, std::string(128, 'n'));
    EXPECT_EQ(loaded.Sprites.Slots[3].FileName, "fff");
    EXPECT_EQ(loaded.Sprites.Slots[3].Y, 2);
}

TEST(BookmarkDateTest, StoredDatesAndTheirTexts)
{
    const TLocalDateTime t{2024, 3, 5, 9, 7, 3};
    const double saved = EncodeSavedDate(t);
    EXPECT_NEAR(saved, 45356 + (9 * 3600 + 7 * 60 + 3) / 86400.0, 1e-9) << "days since 30 December 1899";
    EXPECT_EQ(DecodeSavedDate(saved), t);
    EXPECT_EQ(BookmarkDateText(saved), "2024/3/5 9:07.03");
    EXPECT_EQ(BookmarkDateText(EncodeSavedDate({1999, 12, 31, 23, 59, 59})), "1999/12/31 23:59.59");
    EXPECT_EQ(EncodeSavedDate({1899, 12, 30, 0, 0, 0}), 0.0);
    EXPECT_EQ(EncodeSavedDate({1900, 3, 1, 12, 0, 0}), 61.5);
    EXPECT_EQ(DecodeSavedDate(EncodeSavedDate({2000, 2, 29, 0, 0, 0})),
              (TLocalDateTime{2000, 2, 29, 0, 0, 0}));

    // Less than half a millisecond before midnight rounds to the next day, not to 23:59:60.
    EXPECT_EQ(DecodeSavedDate(45356.9999999999), (TLocalDateTime{2024, 3, 6, 0, 0, 0}));
    EXPECT_EQ(DecodeSavedDate(45356.99999999), (TLocalDateTime{2024, 3, 5, 23, 59, 59}))
        << "cut, not rounded, to seconds";
    // Before the epoch the fraction still counts forward from midnight.
    EXPECT_EQ(DecodeSavedDate(-1.25), (TLocalDateTime{1899, 12, 29, 6, 0, 0}));
    EXPECT_EQ(EncodeSavedDate({1899, 12, 29, 6, 0, 0}), -1.25);

    for (double hostile : {std::nan(""), std::numeric_limits<double>::infinity(), 1e300, -1e300, 3e6, -7e5}) {
        EXPECT_FALSE(DecodeSavedDate(hostile).has_value()) << hostile;
        EXPECT_EQ(BookmarkDateText(hostile), "") << hostile;
    }
    EXPECT_TRUE(DecodeSavedDate(EncodeSavedDate({9999, 12, 31, 23, 59, 59})).has_value());
    EXPECT_TRUE(DecodeSavedDate(EncodeSavedDate({1, 1, 1, 0, 0, 0})).has_value());
}

TEST(BookmarkDateTest, Labels)
{
    // 1回目 12ページ, 1回目 クリア
    EXPECT_EQ(BookmarkLabel(1, 12), "1\x89\xF1\x96\xDA 12\x83\x79\x81\x5B\x83\x57");
    EXPECT_EQ(BookmarkLabel(1, -1), "1\x89\xF1\x96\xDA \x83\x4E\x83\x8A\x83\x41");
    EXPECT_EQ(BookmarkLabel(2, 0), "2\x89\xF1\x96\xDA 0\x83\x79\x81\x5B\x83\x57");
}

TEST(BookmarkListTest, RecordingRemovingAndTheLimitOfFifty)
{
    TBookmarkList list;
    for (int n = 1; n <= 4; ++n) *list.Add() = SampleBookmark(n);

    TBookmarkData* second = &list[1];
    EXPECT_EQ(list.RecordSlot(1), second) << "recording into a used slot replaces it in place";
    TBookmarkData* appended = list.RecordSlot(4);
    ASSERT_NE(appended, nullptr);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(appended->Position, (TBookmarkPosition{1, 0})) << "a new, empty record";
    EXPECT_EQ(list.RecordSlot(6), nullptr);
    EXPECT_EQ(list.RecordSlot(-1), nullptr);
    list.Delete(4);

    list.Delete(1);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[1].ItemName, SampleBookmark(3).ItemName) << "the former 3rd is now the 2nd";
    EXPECT_EQ(list[2].ItemName, SampleBookmark(4).ItemName);
    list.Delete(3);
    list.Delete(-1);
    EXPECT_EQ(list.Count(), 3);

    while (list.Add()) {
    }
    EXPECT_EQ(list.Count(), 50);
    EXPECT_TRUE(list.IsFull());
    EXPECT_EQ(list.RecordSlot(50), nullptr) << "no 51st bookmark";
    EXPECT_NE(list.RecordSlot(49), nullptr);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace kelva
