// Story sources: building, decompiling back, and the messages for broken sources.
// Narrow literals here are CP932 (the novel data's own text); story sources are UTF-8 and
// written as u8 literals.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "data/Crypt.h"
#include "data/Stream.h"
#include "knovel/HeaderFields.h"
#include "knovel/StorySource.h"

namespace kelva::knovel {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

std::string Utf8(const char8_t* text)
{
    return reinterpret_cast<const char*>(text);
}

NovelFile Build(const std::string& source)
{
    return ParseStorySource(source, "story.yaml");
}

// A story that uses every part of the format, with values chosen to trip a naive writer:
// every header field away from its default, Japanese names, texts that a plain YAML block
// can't hold, strings YAML would read as something else, and links in every state.
NovelFile RichStory()
{
    NovelFile novel;
    CNovelFileHeader& h = novel.Header;
    h.Magic = "Other Magic";
    h.Unused37 = -7;
    h.Unused41 = 41;
    h.StartItem = "はじまり";
    h.LogoPicture = "logo\\ロゴ.bmp";
    h.TitlePicture = "title.jpg";
    h.TitleMusic = "曲\\タイトル.mid";
    h.Unused1069 = "unused \"1069\"";
    h.Unused1325 = 1325;
    h.Unused1329 = "null";
    h.Unused1585 = 255;
    h.Title = "ソフトの物語 ～①～";  // ソ has 0x5C as trail byte; ～ and ① are CP932-only forms
    h.LogoMusic = "logo.mid";
    h.Unused2098 = "#not a comment";
    h.FrameInterval = 45;
    h.Unused2358 = 0;
    h.BgEffectParam = -2;
    h.BgEffectTime = 750;
    h.BookmarkMode = 2;
    h.Unused2371 = 9;
    h.FontKind = 1;
    h.FontHeight = 24;
    h.TextEdgeStyle = 3;
    h.SmoothText = false;
    h.TextColor = 0x00123456;
    h.EdgeColor = 0x00FFFFFF;
    h.ChoiceBoxColor = 0x00ABCDEF;
    h.Unused2397 = 0xFF000001;  // a top byte no colour has
    h.BgEffect = "R-SUTTER";
    h.CharEffect = "4";
    h.CharEffectParam = 2;
    h.CharEffectTime = 0;
    h.StartWindowed = true;
    h.DisplayModeChoice = false;
    h.Only16BitColour = true;
    h.MidiSkipLeadIn = false;
    h.MidiGmOn = true;
    h.MidiGsReset = true;
    h.SkipMode = 1;
    h.UsesMp3 = true;

    novel.Counters.Add({"好感度", -5, -100, 100, true});
    novel.Counters.Add({"true", 0, 0, 1, false});
    novel.Counters.Add({"123", 2147483647, -2147483647 - 1, 2147483647, false});

    CNovelItem* start = novel.Items.Add();
    start->Name = "はじまり";
    start->EditorX = -10;
    start->EditorY = 300;
    start->Lines = {
        ".GRAPHLOAD bg\\room.jpg BLEND", "こんにちは。@", "", "  indented", "tab\there", "trailing  "};
    start->Kind = kItemMenuLink;
    start->Links[0] = {true, "はい", "yes", false, "", 1};
    start->Links[1] = {true, "a, b: {c} [d] #e", "no", true, "好感度", -3};
    start->Links[2] = {false, "", "", false, "", 1};  // an empty, disabled slot before used ones
    start->Links[3] = {false, "old", "gone", true, "true", 7};
    start->Links[4] = {true, "", "", true, "", 1};              // conditional on an empty counter name
    start->Links[5] = {true, "- x", "null", false, "kept", 1};  // a counter name on an unconditional link
    start->Links[6] = {true, "", "yes", false, "", 0};

    CNovelItem* yes = novel.Items.Add();
    yes->Name = "yes";
    yes->Kind = kItemEnd;  // no lines at all
    yes->Links[0].Enabled = false;

    const std::vector<std::vector<std::string>> awkwardTexts = {
        {""},                     // one empty line
        {"", ""},                 // two
        {"last line empty", ""},  // an empty last line needs more than a plain block
        {" leading space", "x"},  // a block takes its indentation from the first line
        {"", "  after an empty line"},
        {"control \x01 character"},
        {"quote \" and backslash \\"},
        {"null"},
        {"---"},
        {"\tfirst line begins with a tab"},
        {"x", "   "},  // a last line of spaces only
    };
    for (size_t i = 0; i < awkwardTexts.size(); ++i) {
        CNovelItem* item = novel.Items.Add();
        item->Name = "awkward " + std::to_string(i);
        item->Lines = awkwardTexts[i];
        item->Kind = kItemAutoLink;
        item->Links[7] = {true, "", "yes", true, "123", 5};
    }
    CNovelItem* shadow = novel.Items.Add();
    shadow->Name = "yes";  // the same name again
    shadow->Kind = kItemEnd;
    return novel;
}

TEST(KnovelSource, DecompiledRichStoryBuildsToTheSameBytes)
{
    const NovelFile novel = RichStory();
    const std::vector<uint8_t> original = SaveNovelFile(novel);

    std::vector<std::string> notes;
    const std::string source = DecompileStory(novel, &notes);
    EXPECT_THAT(notes, IsEmpty());

    const NovelFile rebuilt = Build(source);
    EXPECT_EQ(SaveNovelFile(rebuilt), original) << source;
    // And the source is stable: decompiling the rebuilt story writes the same text.
    EXPECT_EQ(DecompileStory(rebuilt), source);

    // Ordinary text is written as a block, so authors read it as they wrote it.
    EXPECT_THAT(source,
                HasSubstr(Utf8(u8"    text: |\n      .GRAPHLOAD bg\\room.jpg BLEND\n      こんにちは。@\n")));
    EXPECT_THAT(source, HasSubstr(Utf8(u8"title: ソフトの物語 ～①～")));
    EXPECT_THAT(source, HasSubstr("magic: Other Magic"));
}

// Every text field of a novel file, as a setter and the field's capacity in bytes (-1:
// none), and whether it can hold line breaks (a line of an item's text can't).
struct TextField {
    std::string name;
    int capacity;
    bool lineBreaks;
    std::function<void(NovelFile&, const std::string&)> set;
};

std::vector<TextField> TextFields()
{
    std::vector<TextField> fields;
    for (const HeaderField& field : HeaderFields()) {
        if (field.Type != HeaderFieldType::String) continue;
        auto member = field.Text;
        fields.push_back({std::string("header ") + field.Key, field.Capacity, true,
                          [member](NovelFile& n, const std::string& v) { n.Header.*member = v; }});
    }
    auto item = [](NovelFile& n) -> CNovelItem& { return n.Items[0]; };
    auto link = [item](NovelFile& n) -> CNovelLink& { return item(n).Links[0]; };
    fields.push_back({"counter name", -1, true, [](NovelFile& n, const std::string& v) {
                          n.Counters.Add({v, 0, 0, 1, false});
                      }});
    fields.push_back(
        {"item name", -1, true, [item](NovelFile& n, const std::string& v) { item(n).Name = v; }});
    fields.push_back({"text line", -1, false, [item](NovelFile& n, const std::string& v) {
                          item(n).Lines = {"x", v, v};
                      }});
    fields.push_back(
        {"link caption", -1, true, [link](NovelFile& n, const std::string& v) { link(n).Caption = v; }});
    fields.push_back(
        {"link target", -1, true, [link](NovelFile& n, const std::string& v) { link(n).Target = v; }});
    fields.push_back({"link counter", -1, true, [link](NovelFile& n, const std::string& v) {
                          link(n).Counter = v;
                          link(n).Conditional = true;
                      }});
    return fields;
}

TEST(KnovelSource, EveryTextFieldComesBackByteForByte)
{
    // Pieces YAML treats specially at either end or anywhere: blanks, breaks, controls,
    // indicators, escapes, words it reads as other types, and CP932 characters whose
    // trail byte is a backslash or that exist only in CP932.
    const std::vector<std::string> pieces = {
        " ",        "  ",       "\t",       "\r",       "\n",   "\r\n", "\x01", "\x1B", "\x7F", "\"",
        "'",        "\\",       "#",        " #",       ":",    ": ",   "- ",   "-",    "?",    "|",
        ">",        "&a",       "*a",       "!",        "%",    "@",    "`",    "{",    "}",    "[",
        "]",        ",",        "~",        "null",     "true", "0x1F", "1e3",  "---",  "...",  "\xB1",
        "\x83\x5C", "\x95\x5C", "\x87\x40", "\x81\x60", "a",    "名前"};
    std::mt19937 random(17);
    std::vector<std::string> values = {"",      " ",        "name\r", "\rname", " name",
                                       "name ", "\tname\t", "a\nb",   "a\r\nb"};
    for (int i = 0; i < 100; ++i) {
        std::string value;
        const int count = 1 + static_cast<int>(random() % 5);
        for (int k = 0; k < count; ++k) value += pieces[random() % pieces.size()];
        values.push_back(value);
    }

    for (const TextField& field : TextFields()) {
        for (const std::string& value : values) {
            if (field.capacity >= 0 && value.size() > static_cast<size_t>(field.capacity)) continue;
            if (!field.lineBreaks && value.find_first_of("\r\n") != std::string::npos) continue;
            NovelFile novel;
            CNovelItem* item = novel.Items.Add();
            item->Name = "item";
            item->Kind = kItemEnd;
            field.set(novel, value);
            std::vector<std::string> notes;
            const std::string source = DecompileStory(novel, &notes);
            ASSERT_THAT(notes, IsEmpty()) << field.name << " = \"" << value << "\"\n" << source;
            ASSERT_EQ(SaveNovelFile(Build(source)), SaveNovelFile(novel))
                << field.name << " = \"" << value << "\"\n"
                << source;
        }
    }
}

TEST(KnovelSource, DecompileLeavesOutWhatIsAtItsDefault)
{
    NovelFile novel;
    CNovelItem* item = novel.Items.Add();
    item->Name = "a";
    item->Kind = kItemEnd;
    item->Links[0].Enabled = false;
    const std::string source = DecompileStory(novel);
    EXPECT_THAT(source, Not(HasSubstr("magic")));
    EXPECT_THAT(source, Not(HasSubstr("unused")));
    EXPECT_THAT(source, Not(HasSubstr("links")));
    EXPECT_THAT(source, Not(HasSubstr("position")));
    EXPECT_THAT(source, Not(HasSubstr("    text:")));
    EXPECT_EQ(SaveNovelFile(Build(source)), SaveNovelFile(novel));
}

TEST(KnovelSource, BuildsFieldsAsTheFileStoresThem)
{
    const NovelFile novel =
        Build(Utf8(u8R"(
header:
  title: 物語
  start_item: start
  text_color: "#FF8000"
  edge_color: 0x00102030
  choice_box_color: 255
counters:
  - {name: 好感度, min: 0, max: 100}
items:
  - name: start
    kind: Menu
    text: |
      .GRAPHLOAD bg\room.jpg BLEND
      こんにちは。@

      終わり
    links:
      - {caption: はい, target: yes}
      - {caption: いいえ, target: no, counter: 好感度, threshold: 10}
  - name: yes
    kind: end
    text: "one\rtwo\r\nthree"
)"));
    EXPECT_EQ(novel.Header.Title, "物語");
    EXPECT_EQ(novel.Header.TextColor, 0x000080FFu);  // stored 0x00BBGGRR
    EXPECT_EQ(novel.Header.EdgeColor, 0x00102030u);
    EXPECT_EQ(novel.Header.ChoiceBoxColor, 0x000000FFu);
    // Keys left out keep the player's defaults.
    EXPECT_EQ(novel.Header.FrameInterval, 30);
    EXPECT_EQ(novel.Header.BgEffect, "BLIND");
    EXPECT_TRUE(novel.Header.SmoothText);

    ASSERT_EQ(novel.Counters.Count(), 1);
    EXPECT_EQ(novel.Counters[0].Name, "好感度");
    EXPECT_EQ(novel.Counters[0].Value, 0);
    EXPECT_FALSE(novel.Counters[0].Persistent);

    ASSERT_EQ(novel.Items.Count(), 2);
    const CNovelItem& start = novel.Items[0];
    EXPECT_EQ(start.Kind, kItemMenuLink);
    // The block's last line break adds no line; an empty line inside is kept.
    EXPECT_EQ(start.Lines,
              (std::vector<std::string>{".GRAPHLOAD bg\\room.jpg BLEND", "こんにちは。@", "", "終わり"}));
    EXPECT_FALSE(start.Links[0].Conditional);
    EXPECT_EQ(start.Links[0].Threshold, 1);
    EXPECT_TRUE(start.Links[1].Conditional);
    EXPECT_EQ(start.Links[1].Counter, "好感度");
    EXPECT_EQ(start.Links[1].Threshold, 10);
    // Slots the source doesn't list are empty and disabled, link 1 included for items
    // without links.
    for (size_t slot = 2; slot < 8; ++slot) {
        const CNovelLink& link = start.Links[slot];
        EXPECT_FALSE(link.Enabled);
        EXPECT_TRUE(link.Caption.empty() && link.Target.empty() && link.Counter.empty());
        EXPECT_FALSE(link.Conditional);
        EXPECT_EQ(link.Threshold, 1);
    }
    EXPECT_FALSE(novel.Items[1].Links[0].Enabled);
    EXPECT_EQ(novel.Items[1].Lines, (std::vector<std::string>{"one", "two", "three"}));

    // The file holds the lines joined with CR LF.
    const std::vector<uint8_t> bytes = SaveNovelFile(novel);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_THAT(text, HasSubstr("こんにちは。@\r\n\r\n終わり\r\n"));
}

TEST(KnovelSource, EmptySourceIsAnEmptyStoryWithDefaults)
{
    const NovelFile novel = Build("");
    EXPECT_EQ(novel.Items.Count(), 0);
    EXPECT_EQ(SaveNovelFile(novel), SaveNovelFile(NovelFile()));
}

struct BadSource {
    std::string source;
    std::string message;  // the whole message, place included
};

TEST(KnovelSource, BrokenSourcesNameTheirLineAndColumn)
{
    const std::vector<BadSource> cases = {
        {"header:\n  titel: x\n",
         "story.yaml:2:3: unknown key 'titel' in the header (did you mean 'title'?)"},
        {"items:\n  - name: a\n    links:\n      - {target: b, countr: c}\n",
         "story.yaml:4:21: unknown key 'countr' in a link (did you mean 'counter'?)"},
        {"header:\n  unused: {unused99: 1}\n",
         "story.yaml:2:12: unknown key 'unused99' in the unused header fields (did you mean 'unused37'?)"},
        {"header:\n  title: a\n  title: b\n", "story.yaml:3:3: key 'title' appears twice in the header"},
        {"header:\n  bg_effect_time: -1\n", "story.yaml:2:19: 'bg_effect_time' can't be negative"},
        {"header:\n  frame_interval: 2147483648\n",
         "story.yaml:2:19: 'frame_interval' is too large (at most 2147483647)"},
        {"items:\n  - {name: a, links: [{target: a, threshold: -99999999999}]}\n",
         "story.yaml:2:46: 'threshold' is too small (at least -2147483648)"},
        {"items:\n  - name: " + std::string(256, 'a') + "\n",
         "story.yaml:2:11: 'name' is 256 bytes long in CP932; the field holds at most 255"},
        {"header:\n  font_height: 2.5\n", "story.yaml:2:16: 'font_height' must be a whole number, not '2.5'"},
        {"header:\n  bookmark_mode: 3\n", "story.yaml:2:18: 'bookmark_mode' must be between 0 and 2"},
        {"header:\n  smooth_text: maybe\n",
         "story.yaml:2:16: 'smooth_text' must be true or false, not 'maybe'"},
        {"header:\n  text_color: \"#12345\"\n",
         "story.yaml:2:15: 'text_color' must be a colour \"#RRGGBB\" or a number from 0 to 0xFFFFFFFF, not "
         "'#12345'"},
        {"header:\n  bg_effect: " + std::string(33, 'X') + "\n",
         "story.yaml:2:14: 'bg_effect' is 33 bytes long in CP932; the field holds at most 32"},
        {"header:\n  title: " + std::string(256, 'x') + "\n",
         "story.yaml:2:10: 'title' is 256 bytes long in CP932; the field holds at most 255"},
        {Utf8(u8"items:\n  - name: a\n    text: |\n      fine\n      not 😀 fine\n"),
         Utf8(u8"story.yaml:5:11: 'text' holds a character that CP932 can't hold: U+1F600 😀")},
        {Utf8(u8"counters:\n  - {name: \"é\", min: 0, max: 1}\n"),
         Utf8(u8"story.yaml:2:13: 'name' holds a character that CP932 can't hold: U+00E9 é")},
        {"items:\n  - name: a\n    text: \"a\\0b\"\n", "story.yaml:3:11: 'text' holds a NUL character"},
        {"items:\n  - {name: a, kind: ending}\n",
         "story.yaml:2:21: 'kind' must be menu, auto or end, not 'ending'"},
        {"items:\n  - {name: a, position: [1]}\n", "story.yaml:2:25: 'position' must be [x, y]"},
        {"items:\n  - {name: a, position: [1, y]}\n",
         "story.yaml:2:29: 'position' y must be a whole number, not 'y'"},
        {"items:\n  - {kind: end}\n", "story.yaml:2:5: an item needs the key 'name'"},
        {"counters:\n  - {name: c, min: 0}\n", "story.yaml:2:5: a counter needs the key 'max'"},
        {"items:\n  - name: a\n    links: [{}, {}, {}, {}, {}, {}, {}, {}, {enabled: false}]\n",
         "story.yaml:3:45: more than 8 links"},
        {"items: [\n", "story.yaml:2:1: end of sequence flow not found"},
        {"- a\n", "story.yaml:1:1: the story must be a map of keys and values"},
    };
    for (const BadSource& bad : cases) {
        try {
            Build(bad.source);
            ADD_FAILURE() << "built: " << bad.source;
        } catch (const StoryError& e) {
            EXPECT_EQ(std::string(e.what()), bad.message) << bad.source;
        }
    }
}

TEST(KnovelSource, RefusesMoreItemsAndCountersThanTheFileHolds)
{
    std::string counters = "counters:\n";
    for (int i = 0; i <= CNovelCounters::kMaxCounters; ++i)
        counters += "  - {name: c" + std::to_string(i) + ", min: 0, max: 1}\n";
    EXPECT_THROW(
        {
            try {
                Build(counters);
            } catch (const StoryError& e) {
                EXPECT_STREQ(e.what(), "story.yaml:258:5: more than 256 counters");
                throw;
            }
        },
        StoryError);

    std::string items = "items:\n";
    for (int i = 0; i < CNovelItems::kMaxItems; ++i) items += "  - {name: i" + std::to_string(i) + "}\n";
    EXPECT_EQ(Build(items).Items.Count(), CNovelItems::kMaxItems);
    items += "  - {name: one too many}\n";
    EXPECT_THROW(Build(items), StoryError);
}

TEST(KnovelSource, DecompilesFilesOtherToolsWroteAsWellAsItCan)
{
    // An item text with lone CR breaks, as another writer may store it.
    MemoryStream stream;
    CNovelFileHeader().SaveToStream(stream);
    CNovelCounters().SaveToStream(stream);
    stream.WriteInt32(1);
    stream.WriteCountedString("a");
    stream.WriteInt32(0);
    stream.WriteInt32(0);
    stream.WriteCountedString("one\rtwo\r");
    stream.WriteUInt8(kItemEnd);
    for (int slot = 0; slot < kLinksPerItem; ++slot) {
        stream.WriteBool(false);
        stream.WriteCountedString("");
        stream.WriteCountedString("");
        stream.WriteBool(false);
        stream.WriteCountedString("");
        stream.WriteInt32(1);
    }
    const LoadedNovel loaded = ReadNovelFile(stream.TakeBytes());
    std::vector<std::string> notes;
    const std::string source = DecompileStory(loaded.Novel, &notes);
    EXPECT_THAT(notes, IsEmpty());
    EXPECT_THAT(source, HasSubstr("text: |\n      one\n      two\n"));
    EXPECT_EQ(Build(source).Items[0].Lines, (std::vector<std::string>{"one", "two"}));

    // Bytes that are no CP932 text can't come back, and out-of-range values can't be
    // written in a source: both are reported rather than lost silently.
    NovelFile broken;
    CNovelItem* item = broken.Items.Add();
    item->Name = "bad \x80 byte";
    item->Kind = 7;
    notes.clear();
    DecompileStory(broken, &notes);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0], "item 1 name: bytes that are not valid CP932 text were replaced");
    EXPECT_EQ(notes[1], "item 1: kind 7 is none of menu, auto or end");
    EXPECT_THAT(notes[2], HasSubstr("the source does not build as it is"));
}

TEST(KnovelSource, ReadsScrambledNovelFiles)
{
    // Told apart by the magic, so this story keeps the usual one.
    NovelFile novel = RichStory();
    novel.Header.Magic = CNovelFileHeader().Magic;
    MemoryStream plain(SaveNovelFile(novel));
    const LoadedNovel loaded = ReadNovelFile(CryptStream(plain)->TakeBytes());
    EXPECT_TRUE(loaded.Scrambled);
    EXPECT_EQ(SaveNovelFile(loaded.Novel), SaveNovelFile(novel));
}

}  // namespace
}  // namespace kelva::knovel
