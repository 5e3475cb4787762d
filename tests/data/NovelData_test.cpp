#include "data/NovelData.h"

#include <gtest/gtest.h>

#include <cstring>

#include "data/TextLines.h"

namespace kelva {
namespace {

template <typename T>
std::vector<uint8_t> Saved(const T& data)
{
    MemoryStream out;
    data.SaveToStream(out);
    return out.TakeBytes();
}

std::vector<uint8_t> Prefix(const std::vector<uint8_t>& bytes, size_t length)
{
    return {bytes.begin(), bytes.begin() + static_cast<long>(length)};
}

// Every field away from its default, so a field missing from reading or writing shows.
CNovelFileHeader UnusualHeader()
{
    CNovelFileHeader h;
    h.Magic = "OtherMagic";
    h.Unused37 = -37, h.Unused41 = 41, h.Unused1325 = 1325, h.Unused1585 = 0x85;
    h.StartItem = "\x8A\x4A\x8E\x6E", h.LogoPicture = "logo\\a.bmp", h.TitlePicture = "t.jpg";
    h.TitleMusic = "t.mid", h.Unused1069 = "u", h.Unused1329 = std::string(255, 'z');
    h.Title = "My Story", h.LogoMusic = "l.mid", h.Unused2098 = "v";
    h.FrameInterval = 45, h.Unused2358 = 2358, h.BgEffectParam = 3, h.BgEffectTime = 700;
    h.BookmarkMode = 2, h.Unused2371 = 0x71, h.FontKind = 1, h.FontHeight = 24, h.TextEdgeStyle = 1;
    h.SmoothText = false, h.TextColor = 0x123456, h.EdgeColor = 0x654321, h.ChoiceBoxColor = 0xFF0000;
    h.Unused2397 = 0xFFFFFFFF;
    h.BgEffect = "CROSSFADE", h.CharEffect = "BLEND", h.CharEffectParam = 9, h.CharEffectTime = 250;
    h.StartWindowed = true, h.DisplayModeChoice = false, h.Only16BitColour = true;
    h.MidiSkipLeadIn = false, h.MidiGmOn = true, h.MidiGsReset = true, h.SkipMode = 1, h.UsesMp3 = true;
    return h;
}

TEST(NovelFileHeaderTest, Version7LayoutRoundTrips)
{
    const std::vector<uint8_t> bytes = Saved(UnusualHeader());
    ASSERT_EQ(bytes.size(), 2483u);
    // Spot checks of the offsets in a version 7 file, one per group.
    EXPECT_EQ(bytes[33], 7);
    EXPECT_EQ(bytes[45], 4);
    EXPECT_EQ(bytes[45 + 1 + 4], 0) << "string fields are zero-padded";
    EXPECT_EQ(bytes[1585], 0x85);
    EXPECT_EQ(bytes[1586 + 1], 'M');
    EXPECT_EQ(bytes[2354], 45);
    EXPECT_EQ(bytes[2401 + 1], 'C');
    EXPECT_EQ(bytes[2471], 250);
    EXPECT_EQ(bytes[2481], 1);

    MemoryStream stream(bytes);
    CNovelFileHeader loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), 2483);
    EXPECT_EQ(loaded.Title, "My Story");
    EXPECT_EQ(Saved(loaded), bytes);
}

TEST(NovelFileHeaderTest, OlderVersionsKeepTheDefaultsOfLaterFields)
{
    // Each older file is the version 7 layout with the version patched and cut after the
    // last group it has; versions 3 and 5 share the layout of 2 and 4.
    for (auto [version, length] :
         {std::pair{0, 1586}, {1, 1586}, {2, 2401}, {3, 2401}, {4, 2481}, {5, 2481}, {6, 2482}}) {
        SCOPED_TRACE(version);
        std::vector<uint8_t> bytes = Prefix(Saved(UnusualHeader()), static_cast<size_t>(length));
        bytes[33] = static_cast<uint8_t>(version);
        bytes.push_back(0xAB);  // the counter block, which must stay unread
        MemoryStream stream(bytes);
        CNovelFileHeader h;
        h.LoadFromStream(stream);
        EXPECT_EQ(stream.Position(), length);
        EXPECT_EQ(h.Version, version);
        EXPECT_EQ(h.Unused1585, 0x85);
        EXPECT_EQ(h.FrameInterval, version >= 2 ? 45 : 30);
        EXPECT_EQ(h.Unused2397, version >= 2 ? 0xFFFFFFFFu : 0xFFFF00u);
        EXPECT_EQ(h.BgEffect, version >= 4 ? "CROSSFADE" : "BLIND");
        EXPECT_EQ(h.MidiSkipLeadIn, version < 4);
        EXPECT_EQ(h.SkipMode, version >= 6 ? 1 : 2);
        EXPECT_FALSE(h.UsesMp3);
    }
}

TEST(NovelFileHeaderTest, TruncatedHeaderThrowsAndChangesNothing)
{
    const std::vector<uint8_t> bytes = Saved(UnusualHeader());
    for (size_t length = 0; length < bytes.size(); ++length) {
        MemoryStream stream(Prefix(bytes, length));
        CNovelFileHeader h;
        h.Title = "kept";
        EXPECT_THROW(h.LoadFromStream(stream), FormatError) << length;
        EXPECT_EQ(h.Title, "kept");
    }
}

TEST(TextLinesTest, SplitAndJoin)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), Lines{"a"}) << "a final break adds no line";
    EXPECT_EQ(SplitLines("\r\n"), Lines{""});
    EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"})) << "LF CR is two breaks";
    EXPECT_EQ(SplitLines("a\r\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(SplitLines(std::string_view("ab\0cd\ne", 7)), Lines{"ab"}) << "NUL ends the text";
    for (const Lines& lines : {Lines{}, Lines{""}, Lines{"a", ""}, Lines{"", "", "x"}}) {
        EXPECT_EQ(SplitLines(JoinLines(lines)), lines);
    }
}

CNovelItems SampleItems()
{
    CNovelItems items;
    CNovelItem* start = items.Add();
    start->Name = "start";
    start->EditorX = -5;
    start->Lines = {"\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD", "", ".WAIT 500"};
    start->Kind = kItemAutoLink;
    start->Links[3] = CNovelLink{true, "go", "end", true, "flag", -3};
    items.Add()->Name = "end";
    return items;
}

TEST(NovelItemsTest, DefaultsAndRoundTrip)
{
    MemoryStream stream(Saved(SampleItems()));
    CNovelItems loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(stream.Remaining(), 0);
    ASSERT_EQ(loaded.Count(), 2);
    const CNovelItem& start = loaded[0];
    EXPECT_EQ(start.EditorX, -5);
    EXPECT_EQ(start.Lines, SampleItems()[0].Lines);
    EXPECT_EQ(start.Kind, kItemAutoLink);
    const CNovelLink& link = start.Links[3];
    EXPECT_TRUE(link.Enabled && link.Conditional);
    EXPECT_EQ(link.Caption + link.Target + link.Counter, "goendflag");
    EXPECT_EQ(link.Threshold, -3);

    const CNovelItem& fresh = loaded[1];  // written with the defaults of a new item
    EXPECT_TRUE(fresh.Lines.empty());
    EXPECT_EQ(fresh.Kind, kItemMenuLink);
    EXPECT_TRUE(fresh.Links[0].Enabled);
    EXPECT_FALSE(fresh.Links[1].Enabled || fresh.Links[7].Enabled || fresh.Links[7].Conditional);
    EXPECT_EQ(fresh.Links[7].Threshold, 1);
}

TEST(NovelItemsTest, IndexOfIsByteExactAndTakesTheLastMatch)
{
    CNovelItems items = SampleItems();
    items.Add()->Name = "start";
    items.Add()->Name = "Start";
    EXPECT_EQ(items.IndexOf("start"), 2);
    EXPECT_EQ(items.IndexOf("Start"), 3);
    EXPECT_EQ(items.IndexOf("START"), -1);
}

TEST(NovelItemsTest, BrokenBlocksThrowAndLeaveTheListAlone)
{
    const std::vector<uint8_t> bytes = Saved(SampleItems());
    std::vector<std::vector<uint8_t>> broken;
    for (size_t length = 0; length < bytes.size(); ++length) broken.push_back(Prefix(bytes, length));
    for (int32_t count : {-1, 2049, INT32_MAX}) {
        broken.push_back(bytes);
        std::memcpy(broken.back().data(), &count, 4);
    }
    broken.push_back(bytes);
    broken.back()[4 + 4 + 5 + 8 + 3] = 0x80;  // the first item's text length turns negative

    for (size_t i = 0; i < broken.size(); ++i) {
        MemoryStream stream(broken[i]);
        CNovelItems items = SampleItems();
        items.Add();
        EXPECT_THROW(items.LoadFromStream(stream), FormatError) << i;
        EXPECT_EQ(items.Count(), 3) << i;
    }

    CNovelItems full;
    while (full.Count() < CNovelItems::kMaxItems) ASSERT_NE(full.Add(), nullptr);
    EXPECT_EQ(full.Add(), nullptr);
}

TEST(NovelLinkTest, HoldsByEnabledConditionAndThreshold)
{
    CNovelCounters counters;
    counters.Add({"flag", -3, -10, 10, false});
    EXPECT_TRUE(LinkHolds(CNovelLink{true, "", "x", false, "", 1}, counters));
    EXPECT_FALSE(LinkHolds(CNovelLink{false, "", "x", false, "", 1}, counters));
    EXPECT_TRUE(LinkHolds(CNovelLink{true, "", "x", true, "flag", -3}, counters)) << "at least, not above";
    EXPECT_FALSE(LinkHolds(CNovelLink{true, "", "x", true, "flag", -2}, counters));
    EXPECT_FALSE(LinkHolds(CNovelLink{true, "", "x", true, "FLAG", -100}, counters)) << "no such counter";
}

}  // namespace
}  // namespace kelva
