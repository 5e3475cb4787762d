#include "data/NovelCounters.h"

#include <gtest/gtest.h>

#include <limits>

namespace kelva {
namespace {

constexpr int32_t kLowest = std::numeric_limits<int32_t>::min();
constexpr int32_t kHighest = std::numeric_limits<int32_t>::max();

// Always draws the lowest or the highest allowed value, so tests can pin both ends.
class EndRandom final : public Random {
public:
    explicit EndRandom(bool highest) : m_highest(highest) {}
    uint32_t NextUpTo(uint32_t limit) override { return lastLimit = limit, m_highest ? limit : 0; }
    uint32_t lastLimit = 0;

private:
    bool m_highest;
};

CNovelCounters SampleCounters()
{
    CNovelCounters counters;
    counters.Add({"score", 5, 0, 100, false});
    counters.Add({"\x8D\x44\x8A\xB4\x93\x78", -7, -10, 10, true});
    counters.Add({"score", kLowest, kLowest, kHighest, false});
    return counters;
}

std::vector<uint8_t> Saved(const CNovelCounters& counters)
{
    MemoryStream out;
    counters.SaveToStream(out);
    return out.TakeBytes();
}

TEST(NovelCountersTest, StreamLayoutRoundTripAndLookup)
{
    std::vector<uint8_t> bytes = Saved(SampleCounters());
    EXPECT_EQ(bytes.size(), 8u + (17 + 5) + (17 + 6) + (17 + 5)) << "each record is 17 + name bytes";
    EXPECT_EQ(bytes[0], 2) << "format tag";
    EXPECT_EQ(bytes[8 + 22 + 4 + 6 + 12], 1) << "Persistent of the second counter";

    bytes[0] = 99;  // the tag is not checked on reading
    MemoryStream input(bytes);
    CNovelCounters loaded;
    loaded.LoadFromStream(input);
    EXPECT_EQ(input.Remaining(), 0);
    bytes[0] = 2;
    EXPECT_EQ(Saved(loaded), bytes);
    EXPECT_EQ(loaded[1].Min, -10);

    EXPECT_EQ(loaded.IndexOf("score"), 2) << "the last of two";
    EXPECT_EQ(loaded.IndexOf("Score"), -1);
    EXPECT_EQ(loaded.IndexOf("\x8D\x44\x8A\xB4\x93\x78"), 1);
}

TEST(NovelCountersTest, BrokenBlocksThrowAndLeaveTheTableAlone)
{
    const std::vector<uint8_t> good = Saved(SampleCounters());
    std::vector<std::vector<uint8_t>> broken;
    for (size_t length = 0; length < good.size(); ++length)
        broken.emplace_back(good.begin(), good.begin() + long(length));
    for (auto [count, nameLength] : {std::pair{-1, 0}, {257, 0}, {kHighest, 0}, {1, -1}, {1, kHighest}}) {
        MemoryStream s;
        s.WriteInt32(2);
        s.WriteInt32(count);
        s.WriteInt32(nameLength);
        broken.push_back(s.TakeBytes());
    }
    for (size_t i = 0; i < broken.size(); ++i) {
        MemoryStream stream(broken[i]);
        CNovelCounters counters;
        counters.Add({"kept", 1, 0, 1, false});
        EXPECT_THROW(counters.LoadFromStream(stream), FormatError) << i;
        EXPECT_EQ(counters.Count(), 1) << i;
    }

    CNovelCounters full;
    while (full.Count() < CNovelCounters::kMaxCounters) ASSERT_TRUE(full.Add({}));
    EXPECT_FALSE(full.Add({}));
}

TEST(CounterOperationTest, ValuesAreLimitedAfterEveryOperation)
{
    CNovelCounter c{"c", 50, 0, 100, false};
    CounterSet(c, 150);
    EXPECT_EQ(c.Value, 100);
    CounterSet(c, -5);
    EXPECT_EQ(c.Value, 0);
    CounterAdd(c, 30);
    EXPECT_EQ(c.Value, 30);

    CNovelCounter inverted{"c", 0, 10, 5, false};  // Min above Max: Min wins
    CounterSet(inverted, 7);
    EXPECT_EQ(inverted.Value, 10);

    CNovelCounter wide{"c", kHighest, kLowest, kHighest, false};
    CounterAdd(wide, 1);
    EXPECT_EQ(wide.Value, kLowest) << "32-bit wraparound";
    CNovelCounter limited{"c", kHighest, 0, 1000, false};
    CounterAdd(limited, 2);
    EXPECT_EQ(limited.Value, 0) << "wrapped below Min";
}

TEST(CounterOperationTest, RandomDrawsCoverBothEndsInEitherOrder)
{
    EndRandom low(false), high(true);
    CNovelCounter c{"c", 0, -1000, 1000, false};
    CounterRandomSet(c, 10, 3, low);
    EXPECT_EQ(c.Value, 3);
    EXPECT_EQ(low.lastLimit, 7u);
    CounterRandomSet(c, 10, 3, high);
    EXPECT_EQ(c.Value, 10);
    CounterRandomSet(c, 4, 4, high);
    EXPECT_EQ(c.Value, 4);
    CounterRandomAdd(c, -2, -6, low);
    EXPECT_EQ(c.Value, -2);
    CounterRandomAdd(c, 2000, 3000, high);
    EXPECT_EQ(c.Value, 1000);

    CNovelCounter wide{"c", 0, kLowest, kHighest, false};
    CounterRandomSet(wide, kHighest, kLowest, high);
    EXPECT_EQ(high.lastLimit, 0xFFFFFFFFu);
    EXPECT_EQ(wide.Value, kHighest);
    CounterRandomSet(wide, kHighest, kLowest, low);
    EXPECT_EQ(wide.Value, kLowest);
    CounterRandomAdd(wide, kHighest, kHighest, high);
    EXPECT_EQ(wide.Value, -1);
}

TEST(CounterTablesTest, PartialResetAndBookmarkRestore)
{
    CNovelCounters initial;
    initial.Add({"A", 0, 0, 10, false});
    initial.Add({"B", 2, 0, 10, true});
    CNovelCounters working;
    working.Assign(initial);
    working[0] = {"A", 9, 0, 50, false};
    working[1].Value = 3;
    working.ResetNonPersistent(initial);
    EXPECT_EQ(working[0].Value, 0);
    EXPECT_EQ(working[0].Max, 10) << "the whole record comes back";
    EXPECT_EQ(working[1].Value, 3) << "persistent";

    CNovelCounters bookmark;
    bookmark.Add({"gone", 1, 1, 1, false});
    bookmark.Add({"A", 7, -5, 20, true});
    working.RestoreFromBookmark(initial, bookmark);
    ASSERT_EQ(working.Count(), 2);
    EXPECT_EQ(working[0].Value, 7);
    EXPECT_EQ(working[0].Min, -5);
    EXPECT_TRUE(working[0].Persistent);
    EXPECT_EQ(working[1].Value, 2) << "a counter the bookmark lacks gets its initial value";
}

}  // namespace
}  // namespace kelva
