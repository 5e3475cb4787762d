#include "data/NovelData.h"

#include <gtest/gtest.h>

#include "data/TextLines.h"

namespace kelva {
namespace {

std::vector<uint8_t> SavedHeader(const CNovelFileHeader& header)
{
    MemoryStream out;
    header.SaveToStream(out);
    return out.TakeBytes();
}

// A header of an older version: the version 7 layout with the version patched and cut
// after the last group that version has.
std::vector<uint8_t> OldHeader(CNovelFileHeader header, int32_t version, size_t length)
{
    std::vector<uint8_t> bytes = SavedHeader(header);
    for (int i = 0; i < 4; ++i) bytes[33 + i] = static_cast<uint8_t>(static_cast<uint32_t>(version) >> (8 * i));
    bytes.resize(length);
    bytes.push_back(0xAB);  // what follows (the counter block) must stay unread
    return bytes;
}

CNovelFileHeader UnusualHeader()
{
    CNovelFileHeader h;
    h.Magic = "OtherMagic";
    h.Unused37 = -37;
    h.Unused41 = 41;
    h.StartItem = "\x8A\x4A\x8E\x6E";  // 開始
    h.LogoPicture = "logo\\logo.bmp";
    h.TitlePicture = "title.jpg";
    h.TitleMusic = "title.mid";
    h.Unused1069 = "u1069";
    h.Unused1325 = 1325;
    h.Unused1329 = std::string(255, 'z');
    h.Unused1585 = 0x85;
    h.Title = "My Story";
    h.LogoMusic = "logo.mid";
    h.Unused2098 = "u2098";
    h.FrameInterval = 45;
    h.Unused2358 = 2358;
    h.BgEffectParam = 3;
    h.BgEffectTime = 700;
    h.BookmarkMode = 2;
    h.Unused2371 = 0x71;
    h.FontKind = 1;
    h.FontHeight = 24;
    h.TextEdgeStyle = 1;
    h.SmoothText = false;
    h.TextColor = 0x123456;
    h.EdgeColor = 0x654321;
    h.ChoiceBoxColor = 0xFF0000;
    h.Unused2397 = 0xFFFFFFFF;
    h.BgEffect = "CROSSFADE";
    h.CharEffect = "BLEND";
    h.CharEffectParam = 9;
    h.CharEffectTime = 250;
    h.StartWindowed = true;
    h.DisplayModeChoice = false;
    h.Only16BitColour = true;
    h.MidiSkipLeadIn = false;
    h.MidiGmOn = true;
    h.MidiGsReset = true;
    h.SkipMode = 1;
    h.UsesMp3 = true;
    return h;
}

void ExpectSameHeader(const CNovelFileHeader& a, const CNovelFileHeader& b)
{
    EXPECT_EQ(SavedHeader(a), SavedHeader(b));
    EXPECT_EQ(a.Version, b.Version);
}

TEST(NovelFileHeaderTest, SavesTheVersion7LayoutAtTheDocumentedOffsets)
{
    const std::vector<uint8_t> bytes = SavedHeader(UnusualHeader());
    ASSERT_EQ(bytes.size(), static_cast<size_t>(kNovelFileHeaderSize));
    auto int32At = [&](size_t at) {
        return static_cast<int32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                    (static_cast<uint32_t>(bytes[at + 3]) << 24));
    };
    auto stringAt = [&](size_t at) { return std::string(bytes.begin() + at + 1, bytes.begin() + at + 1 + bytes[at]); };
    EXPECT_EQ(stringAt(0), "OtherMagic");
    EXPECT_EQ(int32At(33), 7);
    EXPECT_EQ(stringAt(45), "\x8A\x4A\x8E\x6E");
    EXPECT_EQ(bytes[45 + 1 + 4], 0) << "string fields are zero-padded";
    EXPECT_EQ(stringAt(813), "title.mid");
    EXPECT_EQ(bytes[1585], 0x85);
    EXPECT_EQ(stringAt(1586), "My Story");
    EXPECT_EQ(int32At(2354), 45);
    EXPECT_EQ(bytes[2370], 2);
    EXPECT_EQ(bytes[2384], 0);
    EXPECT_EQ(int32At(2393), 0xFF0000);
    EXPECT_EQ(stringAt(2401), "CROSSFADE");
    EXPECT_EQ(stringAt(2434), "BLEND");
    EXPECT_EQ(int32At(2471), 250);
    EXPECT_EQ(bytes[2480], 1);
    EXPECT_EQ(bytes[2481], 1);
    EXPECT_EQ(bytes[2482], 1);
}

TEST(NovelFileHeaderTest, RoundTripsEveryField)
{
    const CNovelFileHeader original = UnusualHeader();
    MemoryStream stream(SavedHeader(original));
    CNovelFileHeader loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), kNovelFileHeaderSize);
    EXPECT_EQ(loaded.Title, "My Story");
    EXPECT_EQ(loaded.Unused1329, std::string(255, 'z'));
    EXPECT_EQ(loaded.TextColor, 0x123456u);
    ExpectSameHeader(loaded, original);
}

TEST(NovelFileHeaderTest, OlderVersionsKeepTheDefaultsOfLaterFields)
{
    const CNovelFileHeader defaults;
    const CNovelFileHeader full = UnusualHeader();
    struct Case {
        int32_t version;
        size_t length;
    };
    // Versions 3 and 5 share the layout of 2 and 4.
    for (Case c : {Case{1, 1586}, Case{0, 1586}, Case{2, 2401}, Case{3, 2401}, Case{4, 2481}, Case{5, 2481},
                   Case{6, 2482}}) {
        SCOPED_TRACE(c.version);
        MemoryStream stream(OldHeader(full, c.version, c.length));
        CNovelFileHeader h;
        h.LoadFromStream(stream);
        EXPECT_EQ(stream.Position(), static_cast<int64_t>(c.length));
        EXPECT_EQ(h.Version, c.version);
        EXPECT_EQ(h.StartItem, full.StartItem);
        EXPECT_EQ(h.Unused1585, full.Unused1585);
        EXPECT_EQ(h.Title, c.version >= 2 ? full.Title : defaults.Title);
        EXPECT_EQ(h.FrameInterval, c.version >= 2 ? 45 : 30);
        EXPECT_EQ(h.Unused2397, c.version >= 2 ? 0xFFFFFFFFu : 0xFFFF00u);
        EXPECT_EQ(h.BgEffect, c.version >= 4 ? "CROSSFADE" : "BLIND");
        EXPECT_EQ(h.MidiSkipLeadIn, c.version >= 4 ? false : true);
        EXPECT_EQ(h.SkipMode, c.version >= 6 ? 1 : 2);
        EXPECT_FALSE(h.UsesMp3);
    }
}

TEST(NovelFileHeaderTest, TruncatedHeaderThrowsAndChangesNothing)
{
    const std::vector<uint8_t> bytes = SavedHeader(UnusualHeader());
    for (size_t length = 0; length < bytes.size(); ++length) {
        MemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(length)));
        CNovelFileHeader h;
        h.Title = "kept";
        EXPECT_THROW(h.LoadFromStream(stream), FormatError) << length;
        EXPECT_EQ(h.Title, "kept");
    }
}

TEST(TextLinesTest, SplitsAtEveryKindOfLineBreak)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("one"), Lines{"one"});
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), Lines{"a"}) << "a final break adds no line";
    EXPECT_EQ(SplitLines("\r\n"), Lines{""});
    EXPECT_EQ(SplitLines("a\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"})) << "LF CR is two breaks";
    EXPECT_EQ(SplitLines("a\r\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(SplitLines(std::string_view("ab\0cd\ne", 7)), Lines{"ab"}) << "NUL ends the text";
    EXPECT_EQ(SplitLines("\x82\xA0\r\n.WAIT 10"), (Lines{"\x82\xA0", ".WAIT 10"}));
}

TEST(TextLinesTest, JoinKeepsEveryLineIncludingATrailingEmptyOne)
{
    for (const std::vector<std::string>& lines : std::vector<std::vector<std::string>>{
             {}, {""}, {"a", ""}, {"", "", "x"}, {"first", ".GRAPHLOAD bg.jpg BLEND"}}) {
        EXPECT_EQ(SplitLines(JoinLines(lines)), lines);
    }
}

CNovelItems SampleItems()
{
    CNovelItems items;
    CNovelItem* start = items.Add();
    start->Name = "start";
    start->EditorX = -5;
    start->EditorY = 70;
    start->Lines = {"\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD", "", ".WAIT 500"};
    start->Kind = kItemAutoLink;
    start->Links[3] = CNovelLink{true, "go", "end", true, "flag", -3};
    CNovelItem* end = items.Add();
    end->Name = "end";
    end->Kind = kItemEnd;
    return items;
}

TEST(NovelItemsTest, NewItemHasTheDocumentedDefaults)
{
    CNovelItems items;
    const CNovelItem& item = *items.Add();
    EXPECT_EQ(item.Name, "NewItem");
    EXPECT_TRUE(item.Lines.empty());
    EXPECT_EQ(item.Kind, kItemMenuLink);
    EXPECT_TRUE(item.Links[0].Enabled);
    for (int i = 1; i < kLinksPerItem; ++i) EXPECT_FALSE(item.Links[i].Enabled);
    EXPECT_FALSE(item.Links[7].Conditional);
    EXPECT_EQ(item.Links[7].Threshold, 1);
}

TEST(NovelItemsTest, RoundTripsThroughTheItemBlock)
{
    MemoryStream stream;
    SampleItems().SaveToStream(stream);
    stream.Seek(0, SeekOrigin::Begin);
    CNovelItems loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(stream.Remaining(), 0);

    ASSERT_EQ(loaded.Count(), 2);
    const CNovelItem& start = loaded[0];
    EXPECT_EQ(start.Name, "start");
    EXPECT_EQ(start.EditorX, -5);
    EXPECT_EQ(start.EditorY, 70);
    EXPECT_EQ(start.Lines, SampleItems()[0].Lines);
    EXPECT_EQ(start.Kind, kItemAutoLink);
    EXPECT_TRUE(start.Links[0].Enabled);
    const CNovelLink& link = start.Links[3];
    EXPECT_TRUE(link.Enabled);
    EXPECT_EQ(link.Caption, "go");
    EXPECT_EQ(link.Target, "end");
    EXPECT_TRUE(link.Conditional);
    EXPECT_EQ(link.Counter, "flag");
    EXPECT_EQ(link.Threshold, -3);
    EXPECT_EQ(loaded[1].Kind, kItemEnd);
    EXPECT_TRUE(loaded[1].Lines.empty());
}

TEST(NovelItemsTest, IndexOfIsByteExactAndTakesTheLastMatch)
{
    CNovelItems items = SampleItems();
    items.Add()->Name = "start";
    items.Add()->Name = "Start";
    EXPECT_EQ(items.IndexOf("start"), 2);
    EXPECT_EQ(items.IndexOf("Start"), 3);
    EXPECT_EQ(items.IndexOf("START"), -1);
    EXPECT_EQ(items.IndexOf("end"), 1);
    items.Clear();
    EXPECT_EQ(items.IndexOf("end"), -1);
}

TEST(NovelItemsTest, RefusesImpossibleCountsAndTheTwoThousandFortyNinthItem)
{
    for (int32_t count : {-1, 2049, INT32_MAX}) {
        MemoryStream stream;
        stream.WriteInt32(count);
        stream.Seek(0, SeekOrigin::Begin);
        CNovelItems items = SampleItems();
        EXPECT_THROW(items.LoadFromStream(stream), FormatError) << count;
        EXPECT_EQ(items.Count(), 2) << "a refused block leaves the list as it was";
    }
    CNovelItems items;
    for (int i = 0; i < CNovelItems::kMaxItems; ++i) ASSERT_NE(items.Add(), nullptr);
    EXPECT_EQ(items.Add(), nullptr);
}

TEST(NovelItemsTest, TruncatedOrNegativeLengthsThrow)
{
    MemoryStream full;
    SampleItems().SaveToStream(full);
    const std::vector<uint8_t> bytes = full.Bytes();
    for (size_t length = 0; length < bytes.size(); ++length) {
        MemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(length)));
        CNovelItems items;
        EXPECT_THROW(items.LoadFromStream(stream), FormatError) << length;
    }
    std::vector<uint8_t> negative = bytes;
    negative[4 + 4 + 5 + 8 + 3] = 0x80;  // the text length of the first item turns negative
    MemoryStream stream(negative);
    CNovelItems items;
    EXPECT_THROW(items.LoadFromStream(stream), FormatError);
}

TEST(NovelLinkTest, HoldsByEnabledConditionAndThreshold)
{
    CNovelCounters counters;
    counters.Add({"flag", -3, -10, 10, false});
    counters.Add({"gone", 0, 0, 0, false});
    const CNovelLink plain{true, "", "x", false, "", 1};
    EXPECT_TRUE(LinkHolds(plain, counters));
    EXPECT_FALSE(LinkHolds(CNovelLink{false, "", "x", false, "", 1}, counters));
    EXPECT_TRUE(LinkHolds(CNovelLink{true, "", "x", true, "flag", -3}, counters)) << "at least, not above";
    EXPECT_FALSE(LinkHolds(CNovelLink{true, "", "x", true, "flag", -2}, counters));
    EXPECT_FALSE(LinkHolds(CNovelLink{true, "", "x", true, "FLAG", -100}, counters)) << "no such counter";
    EXPECT_FALSE(LinkHolds(CNovelLink{false, "", "x", true, "flag", -100}, counters));
}

}  // namespace
}  // namespace kelva
