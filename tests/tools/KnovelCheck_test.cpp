// The story linter and the story graph.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "data/PackageWriter.h"
#include "data/ShiftJis.h"
#include "knovel/PackageFiles.h"
#include "knovel/StoryCheck.h"
#include "knovel/StoryGraph.h"
#include "knovel/StorySource.h"
#include "support/TestFiles.h"

namespace kelva::knovel {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

std::string Utf8(const char8_t* text)
{
    return reinterpret_cast<const char*>(text);
}

std::vector<std::string> Findings(const NovelFile& novel, const MediaLookup* media)
{
    std::vector<std::string> lines;
    for (const Finding& finding : CheckStory(novel, media)) lines.push_back(FormatFinding(finding));
    return lines;
}

// A small story with one fault of each kind the checker knows, and the media folder
// it is checked against.
const char8_t kFaultyStory[] =
    u8R"(
header:
  start_item: start
  title_music: title.mid
  bg_effect: FADE
counters:
  - {name: 好感度, min: 0, max: 100}
  - {name: flag, min: 5, max: 1}
items:
  - name: start
    kind: menu
    text: |
      .GRAPHLOAD bg\room.jpg BLEND
      ...ということだ。
      .GRAPHLOAD bg\room.png
      .GRAPHLOAD bg\room.jpg SPARKLE 1 x
      .wait
      .CounterPlus 好感度, 5
      .COUNTERSET 嫌悪度 1
      .COUNTERRNDSET 好感度 1
      .SOUNDPLAY se01.mp3
      .SOUNDPLAY se02
      .MIDIPLAY bgm\none.mid
      .CHARSET 花子 chara\hanako.jpg TOP MIDDLE
      .FADEEFFECT BLEND
      .画像ロード bg\room.jpg
      .GRAPHLOAD bg\room.jpg BLEND 1 500 
      .CHARDELETE
      .GRAPHLOAD bg\room.jpg ブレンド
    links:
      - {caption: はい, target: yes}
      - {caption: いいえ, target: nowhere}
      - {caption: 秘密, target: secret, counter: 親密度, threshold: 3}
  - name: yes
    kind: auto
    links:
      - {target: start}
      - {target: good_end}
      - {target: good_end, counter: 好感度, threshold: 50}
  - name: good_end
    kind: end
  - name: orphan
    kind: menu
  - name: secret
    kind: end
)";

class KnovelCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_data.Path() / "BG");
        test::WriteBytes(m_data.File("BG/Room.JPG"), {1});  // the story says bg\room.jpg
        test::WriteBytes(m_data.File("se01.WAV"), {1});     // the story says se01.mp3
        test::WriteBytes(m_data.File("chara_hanako.jpg"), {1});
    }

    test::TempDir m_data;
};

TEST_F(KnovelCheck, ReportsEveryFaultOfASmallStory)
{
    const NovelFile novel = ParseStorySource(Utf8(kFaultyStory), "faulty.yaml");
    const DataFolderMedia media(m_data.Path());
    EXPECT_THAT(
        Findings(novel, &media),
        ElementsAre(
            "(header):0: error: music 'title.mid' not found",
            "(header):0: warning: picture effect 'FADE' selects no effect",
            "(counters):0: warning: counter 'flag' has min above max: every counter command leaves it at min",
            "start:0: error: link 2 leads to 'nowhere', which is no item",
            Utf8(
                u8"start:0: error: link 3 depends on counter '親密度', which does not exist: it never holds"),
            Utf8(u8"start:2: error: unknown command '...ということだ。': the line does nothing "
                 u8"(a line that begins with '.' is never shown as text)"),
            "start:3: warning: background picture 'bg\\room.png' is not loaded: only names ending in "
            ".BMP, .DIB or .JPG are",
            "start:3: error: picture 'bg\\room.png' not found",
            "start:4: warning: unknown effect 'SPARKLE': the story's standard effect is used",
            "start:4: error: 'x' (the effect time) is not a whole number: the command fails",
            "start:5: error: missing the time (a whole number): the command fails",
            Utf8(u8"start:7: error: no counter named '嫌悪度'"),
            "start:8: error: .COUNTERRNDSET needs 3 arguments: the line does nothing",
            "start:10: error: sound 'se02' not found (nor 'se02.WAV' nor 'se02.MP3')",
            "start:11: error: music 'bgm\\none.mid' not found",
            "start:12: warning: character picture 'chara\\hanako.jpg' looks like a JPEG; character "
            "pictures must be BMP",
            "start:12: error: picture 'chara\\hanako.jpg' not found",
            "start:12: warning: horizontal 'MIDDLE' is none of LEFT, CENTER, RIGHT: it changes nothing",
            "start:13: warning: .FADEEFFECT does nothing in the player",
            Utf8(u8"start:14: error: '.画像ロード' is not carried out: the player knows only the English "
                 u8"command words; write .GRAPHLOAD"),
            "start:15: warning: .GRAPHLOAD with more than 4 arguments ignores its effect arguments and "
            "keeps the last effect",
            "start:16: error: .CHARDELETE needs 1 argument: only the page is begun",
            Utf8(u8"start:17: warning: unknown effect 'ブレンド': the story's standard effect is used "
                 u8"(the player knows only the English names; write BLEND)"),
            "yes:0: warning: link 1 is never taken: link 2 always holds and is tried first",
            "orphan:0: warning: not reachable from the start item",
            "orphan:0: error: no enabled link: the player shows an error and returns to the title",
            "secret:0: warning: not reachable from the start item: no link that leads here is ever taken"));
}

TEST_F(KnovelCheck, FindsMediaInPackagesIgnoringCase)
{
    PackageWriter writer;
    writer.Add("BGM\\Title.MID", {1});
    writer.Add("Se02.mp3", {1});
    MemoryStream bytes;
    writer.WriteTo(bytes);
    test::WriteBytes(m_data.File("game.pak"), bytes.Bytes());
    std::string error;
    auto package = PackageSource::Open(m_data.File("game.pak"), error);
    ASSERT_TRUE(package) << error;
    const PackageMedia media(std::move(package));

    EXPECT_TRUE(media.Exists("bgm\\title.mid"));
    EXPECT_FALSE(media.Exists("bgm/title.mid"));  // package names keep their backslashes
    NovelFile novel = ParseStorySource(Utf8(u8R"(
header: {start_item: a, title_music: bgm\title.mid, bg_effect: BLEND}
items:
  - name: a
    kind: end
    text: |
      .SOUNDPLAY se02.wav
      .SOUNDPLAY se03
)"),
                                       "s.yaml");
    EXPECT_THAT(Findings(novel, &media),
                ElementsAre("a:2: error: sound 'se03' not found (nor 'se03.WAV' nor 'se03.MP3')"));
    // Without a package or folder, media aren't checked at all.
    EXPECT_THAT(Findings(novel, nullptr), IsEmpty());
}

TEST_F(KnovelCheck, HeaderFaults)
{
    NovelFile novel;
    novel.Header.Version = 6;
    novel.Header.StartItem = "missing";
    novel.Header.BgEffect = "BLEND";
    novel.Header.CharEffect = "4x";
    EXPECT_THAT(
        Findings(novel, nullptr),
        ElementsAre(
            "(header):0: error: file version 6: the player runs only version 7",
            "(header):0: error: start item 'missing' does not exist",
            "(header):0: error: character effect '4x' is not a whole number: every character command fails"));
}

TEST(KnovelCheckNames, DuplicateNamesResolveToTheLastAsThePlayerDoes)
{
    const NovelFile novel = ParseStorySource(R"(
header: {start_item: a, bg_effect: BLEND}
counters:
  - {name: c, min: 0, max: 1}
  - {name: c, min: 0, max: 1}
items:
  - {name: a, kind: auto, links: [{target: b, counter: c}]}
  - {name: b, kind: end}
  - {name: b, kind: end}
)",
                                             "s.yaml");
    EXPECT_THAT(
        Findings(novel, nullptr),
        ElementsAre(
            "(counters):0: warning: counter 'c' is defined more than once; commands and links use the last",
            "b:0: warning: another item with this name comes later (item 3); links lead there, so this "
            "one is never read"));
}

TEST(KnovelCheckLinks, LinksNoReadingCanTakeAndTheItemsOnlyTheyReach)
{
    const NovelFile novel = ParseStorySource(R"(
header: {start_item: a, bg_effect: BLEND}
counters:
  - {name: c, value: 12, min: 0, max: 10}
  - {name: low, value: -5, min: -5, max: 5}
items:
  - name: a
    kind: auto
    text: |
      .WAIT 2147483648
      .COUNTERSET c -2147483649
      .WAIT 2147483647
    links:
      - {target: shadowed}
      - {target: b, counter: low, threshold: -5}
      - {target: never, counter: c, threshold: 13}
      - {target: b, counter: c, threshold: 12}
  - {name: b, kind: menu, links: [{caption: x, target: a}, {caption: y, target: c_end, counter: c, threshold: 11}]}
  - {name: shadowed, kind: end}
  - {name: never, kind: end}
  - {name: c_end, kind: end}
)",
                                             "s.yaml");
    EXPECT_THAT(
        Findings(novel, nullptr),
        ElementsAre(
            "(counters):0: warning: counter 'c' starts at 12, outside its range 0 to 10: the first counter "
            "command moves it into the range",
            "a:0: warning: link 1 is never taken: link 2 always holds and is tried first",
            "a:0: warning: link 3 needs 'c' >= 13, but the counter never exceeds 12: it never holds",
            "a:1: error: '2147483648' (the time) is too large (at most 2147483647): the command fails",
            "a:2: error: '-2147483649' (the value) is too small (at least -2147483648): the command fails",
            "shadowed:0: warning: not reachable from the start item: no link that leads here is ever taken",
            "never:0: warning: not reachable from the start item: no link that leads here is ever taken"));
}

TEST(KnovelCheckNames, ChangingAnExtensionKeepsDoubleByteCharacters)
{
    EXPECT_EQ(ChangeFileExtension("se01.mp3", ".WAV"), "se01.WAV");
    EXPECT_EQ(ChangeFileExtension("se01", ".WAV"), "se01.WAV");
    EXPECT_EQ(ChangeFileExtension("dir.v\\se01", ".WAV"), "dir.v\\se01.WAV");
    // The trail byte of ソ is 0x5C, the byte of a backslash: it ends no folder name.
    EXPECT_EQ(ChangeFileExtension("se.vソ", ".WAV"), "se.WAV");
}

TEST(KnovelGraph, DrawsItemsAndLinks)
{
    const NovelFile novel = ParseStorySource(Utf8(u8R"(
header: {start_item: start}
counters:
  - {name: 好感度, min: 0, max: 100}
items:
  - name: start
    kind: menu
    links:
      - {caption: "say \"hi\"", target: 'a\b'}
      - {caption: unused, target: end, counter: 好感度, threshold: 10}
      - {caption: gone, target: nowhere}
      - {enabled: false, target: end}
  - {name: 'a\b', kind: auto, links: [{target: end}]}
  - {name: end, kind: end, links: [{target: start}]}
)"),
                                             "g.yaml");
    EXPECT_EQ(StoryGraph(novel), Utf8(u8R"dot(digraph story {
  node [shape=box];
  start [shape=point];
  start -> n0;
  n0 [label="start\n(menu)", style=bold];
  n1 [label="a\\b\n(auto)"];
  n2 [label="end\n(end)", shape=doubleoctagon];
  n0 -> n1 [label="say \"hi\""];
  n0 -> n2 [label="unused\n好感度 >= 10"];
  missing0 [label="nowhere\n(missing)", color=red, fontcolor=red, style=dashed];
  n0 -> missing0 [label="gone"];
  n1 -> n2 [label="", style=dashed];
}
)dot"));
}

}  // namespace
}  // namespace kelva::knovel
