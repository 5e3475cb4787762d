#include "data/NovelCounters.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

namespace kelva {
namespace {

constexpr int32_t kLowest = std::numeric_limits<int32_t>::min();
constexpr int32_t kHighest = std::numeric_limits<int32_t>::max();

// Draws a fixed fraction of the allowed range, so tests can pin the ends of a draw.
class FixedRandom final : public Random {
public:
    explicit FixedRandom(bool highest) : m_highest(highest) {}
    uint32_t NextUpTo(uint32_t limit) override
    {
        m_lastLimit = limit;
        return m_highest ? limit : 0;
    }
    uint32_t LastLimit() const { return m_lastLimit; }

private:
    bool m_highest;
    uint32_t m_lastLimit = 0;
};

CNovelCounters SampleCounters()
{
    CNovelCounters counters;
    counters.Add({"score", 5, 0, 100, false});
    counters.Add({"\x8D\x44\x8A\xB4\x93\x78", -7, -10, 10, true});  // 好感度
    counters.Add({"", kLowest, kLowest, kHighest, false});
    return counters;
}

void ExpectSameCounters(const CNovelCounters& a, const CNovelCounters& b)
{
    MemoryStream sa, sb;
    a.SaveToStream(sa);
    b.SaveToStream(sb);
    EXPECT_EQ(sa.Bytes(), sb.Bytes());
}

TEST(NovelCountersTest, StreamLayoutAndRoundTrip)
{
    MemoryStream stream;
    SampleCounters().SaveToStream(stream);
    const std::vector<uint8_t>& bytes = stream.Bytes();
    EXPECT_EQ(bytes.size(), 8u + (17 + 5) + (17 + 6) + 17) << "each record is 17 + name bytes";
    EXPECT_EQ(bytes[0], 2) << "format tag";
    EXPECT_EQ(bytes[4], 3) << "count";
    EXPECT_EQ(bytes[8 + 4 + 5 + 12], 0) << "Persistent of score";
    EXPECT_EQ(bytes[8 + 22 + 4 + 6 + 12], 1) << "Persistent of the second counter";

    std::vector<uint8_t> otherTag = bytes;
    otherTag[0] = 99;  // the tag is not checked
    MemoryStream input(otherTag);
    CNovelCounters loaded;
    loaded.LoadFromStream(input);
    EXPECT_EQ(input.Remaining(), 0);
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(loaded[1].Name, "\x8D\x44\x8A\xB4\x93\x78");
    EXPECT_EQ(loaded[1].Value, -7);
    EXPECT_EQ(loaded[1].Min, -10);
    EXPECT_TRUE(loaded[1].Persistent);
    EXPECT_EQ(loaded[2].Value, kLowest);
    ExpectSameCounters(loaded, SampleCounters());
}

TEST(NovelCountersTest, RefusesBrokenBlocksAndKeepsTheTable)
{
    auto block = [](int32_t count, int32_t nameLength) {
        MemoryStream s;
        s.WriteInt32(2);
        s.WriteInt32(count);
        s.WriteInt32(nameLength);
        s.Seek(0, SeekOrigin::Begin);
        return s;
    };
    for (auto [count, nameLength] : {std::pair{-1, 0}, std::pair{257, 0}, std::pair{kHighest, 0},
                                     std::pair{1, -1}, std::pair{1, kHighest}}) {
        MemoryStream stream = block(count, nameLength);
        CNovelCounters counters = SampleCounters();
        EXPECT_THROW(counters.LoadFromStream(stream), FormatError) << count << "/" << nameLength;
        EXPECT_EQ(counters.Count(), 3);
    }

    MemoryStream full;
    SampleCounters().SaveToStream(full);
    for (size_t length = 0; length < full.Bytes().size(); ++length) {
        MemoryStream stream(std::vector<uint8_t>(full.Bytes().begin(), full.Bytes().begin() + static_cast<long>(length)));
        CNovelCounters counters;
        EXPECT_THROW(counters.LoadFromStream(stream), FormatError) << length;
    }

    CNovelCounters counters;
    for (int i = 0; i < CNovelCounters::kMaxCounters; ++i) ASSERT_TRUE(counters.Add({"c", 0, 0, 0, false}));
    EXPECT_FALSE(counters.Add({"c", 0, 0, 0, false}));
}

TEST(NovelCountersTest, IndexOfIsByteExactAndTakesTheLastMatch)
{
    CNovelCounters counters = SampleCounters();
    counters.Add({"score", 1, 0, 9, false});
    EXPECT_EQ(counters.IndexOf("score"), 3);
    EXPECT_EQ(counters.IndexOf("Score"), -1);
    EXPECT_EQ(counters.IndexOf(""), 2);
    counters.Clear();
    EXPECT_EQ(counters.IndexOf("score"), -1);
}

TEST(CounterOperationTest, SetAndAddLimitToTheRange)
{
    CNovelCounter c{"c", 50, 0, 100, false};
    CounterSet(c, 150);
    EXPECT_EQ(c.Value, 100);
    CounterSet(c, -5);
    EXPECT_EQ(c.Value, 0);
    CounterAdd(c, 30);
    CounterAdd(c, -10);
    EXPECT_EQ(c.Value, 20);

    CNovelCounter inverted{"c", 0, 10, 5, false};  // Min above Max: Min wins
    for (int32_t v : {-100, 7, 100}) {
        CounterSet(inverted, v);
        EXPECT_EQ(inverted.Value, 10);
    }
}

TEST(CounterOperationTest, AddWrapsAroundAt32Bits)
{
    CNovelCounter c{"c", kHighest, kLowest, kHighest, false};
    CounterAdd(c, 1);
    EXPECT_EQ(c.Value, kLowest);
    CounterAdd(c, -1);
    EXPECT_EQ(c.Value, kHighest);
    CNovelCounter limited{"c", kHighest, 0, 1000, false};
    CounterAdd(limited, 2);  // wraps to a large negative, then limited up to Min
    EXPECT_EQ(limited.Value, 0);
}

TEST(CounterOperationTest, RandomDrawsCoverBothEndsInEitherOrder)
{
    FixedRandom low(false), high(true);
    CNovelCounter c{"c", 0, -1000, 1000, false};
    CounterRandomSet(c, 10, 3, low);
    EXPECT_EQ(c.Value, 3);
    EXPECT_EQ(low.LastLimit(), 7u);
    CounterRandomSet(c, 10, 3, high);
    EXPECT_EQ(c.Value, 10);
    CounterRandomSet(c, 4, 4, high);
    EXPECT_EQ(c.Value, 4);
    CounterRandomAdd(c, -2, -6, low);
    EXPECT_EQ(c.Value, -2);
    CounterRandomAdd(c, 2000, 3000, high);
    EXPECT_EQ(c.Value, 1000) << "limited after the add";

    CNovelCounter wide{"c", 0, kLowest, kHighest, false};
    CounterRandomSet(wide, kHighest, kLowest, high);
    EXPECT_EQ(high.LastLimit(), 0xFFFFFFFFu);
    EXPECT_EQ(wide.Value, kHighest);
    CounterRandomSet(wide, kHighest, kLowest, low);
    EXPECT_EQ(wide.Value, kLowest);
    CounterRandomAdd(wide, kHighest, kHighest, high);
    EXPECT_EQ(wide.Value, -1);
}

TEST(CounterOperationTest, MersenneRandomStaysInsideAndReachesTheEnds)
{
    MersenneRandom random(12345);
    std::set<int32_t> seen;
    CNovelCounter c{"c", 0, -100, 100, false};
    for (int i = 0; i < 200; ++i) {
        CounterRandomSet(c, 2, -1, random);
        seen.insert(c.Value);
    }
    EXPECT_EQ(seen, (std::set<int32_t>{-1, 0, 1, 2}));
}

TEST(CounterTablesTest, PartialResetKeepsOnlyPersistentCounters)
{
    const CNovelCounters initial = SampleCounters();
    CNovelCounters working;
    working.Assign(initial);
    working[0].Value = 9;
    working[0].Max = 50;
    working[1].Value = 3;
    working.ResetNonPersistent(initial);
    EXPECT_EQ(working[0].Value, 5);
    EXPECT_EQ(working[0].Max, 100) << "the whole record comes back";
    EXPECT_EQ(working[1].Value, 3);

    CNovelCounters shorter;
    shorter.Add({"score", 9, 0, 100, false});
    shorter.ResetNonPersistent(initial);  // tables of other lengths are matched as far as both go
    EXPECT_EQ(shorter.Count(), 1);
    EXPECT_EQ(shorter[0].Value, 5);
}

TEST(CounterTablesTest, RestoreFromBookmarkMatchesByName)
{
    CNovelCounters initial;
    initial.Add({"A", 0, 0, 10, false});
    initial.Add({"B", 2, 0, 10, false});
    CNovelCounters bookmark;
    bookmark.Add({"gone", 1, 1, 1, false});
    bookmark.Add({"A", 7, -5, 20, true});

    CNovelCounters working;
    working.Assign(initial);
    working[1].Value = 8;
    working.RestoreFromBookmark(initial, bookmark);
    ASSERT_EQ(working.Count(), 2);
    EXPECT_EQ(working[0].Value, 7);
    EXPECT_EQ(working[0].Min, -5);
    EXPECT_TRUE(working[0].Persistent);
    EXPECT_EQ(working[1].Value, 2) << "a counter the bookmark lacks gets its initial value";
    EXPECT_EQ(working.IndexOf("gone"), -1);
}

TEST(CounterTablesTest, MessagesForAMissingCounter)
{
    EXPECT_EQ(MissingCounterMessage("hp"), "\"hp\"というカウンタは存在しません.");
    EXPECT_EQ(CounterCommandCaption(CounterCommand::RndPlus), ".CounterRndPlus エラー");
}

}  // namespace
}  // namespace kelva
