// The built knovel run on story sources and novel files, as scripts run it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/TestFiles.h"

namespace kelva {
namespace {

using ::testing::HasSubstr;

using KnovelRun = test::CommandResult;  // output: stdout only

KnovelRun Knovel(const std::string& arguments)
{
    return test::RunKnovel(arguments + " 2>/dev/null");
}

void WriteText(const std::string& path, const char8_t* text)
{
    const std::string bytes = reinterpret_cast<const char*>(text);
    test::WriteBytes(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

const char8_t kStory[] =
    u8R"(header:
  title: 物語
  start_item: start
  bg_effect: BLEND
counters:
  - {name: 好感度, value: 0, min: 0, max: 100}
items:
  - name: start
    text: |
      .GRAPHLOAD bg\room.jpg
      こんにちは。@
    links:
      - {caption: はい, target: end}
  - {name: end, kind: end}
  - {name: lonely, kind: end}
)";

TEST(KnovelStoryCommands, BuildCheckDecompileRoundTrip)
{
    test::TempDir dir;
    WriteText(dir.File("story.yaml"), kStory);
    ASSERT_EQ(Knovel("build " + dir.File("story.yaml") + " -o " + dir.File("story.kne")).status, 0);

    // Warnings only: exit status 0.
    const KnovelRun check = Knovel("check " + dir.File("story.kne"));
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.output, "lonely:0: warning: not reachable from the start item\n");

    // With a data folder the missing picture is an error: exit status 1.
    const KnovelRun withData = Knovel("check " + dir.File("story.kne") + " --data " + dir.Path().string());
    EXPECT_EQ(withData.status, 1);
    EXPECT_THAT(withData.output, HasSubstr("start:1: error: picture 'bg\\room.jpg' not found\n"));
    std::filesystem::create_directory(dir.Path() / "bg");
    test::WriteBytes(dir.File("bg/room.jpg"), {1});
    EXPECT_EQ(Knovel("check " + dir.File("story.kne") + " --data " + dir.Path().string()).status, 0);

    ASSERT_EQ(Knovel("decompile " + dir.File("story.kne") + " -o " + dir.File("back.yaml")).status, 0);
    ASSERT_EQ(Knovel("build " + dir.File("back.yaml") + " -o " + dir.File("back.kne")).status, 0);
    EXPECT_EQ(test::ReadBytes(dir.File("back.kne")), test::ReadBytes(dir.File("story.kne")));

    const KnovelRun dump = Knovel("dump " + dir.File("story.kne"));
    EXPECT_EQ(dump.status, 0);
    EXPECT_THAT(dump.output, HasSubstr(reinterpret_cast<const char*>(u8"       2| こんにちは。@\n")));
    EXPECT_THAT(dump.output, HasSubstr("  2401  BgEffect           \"BLEND\"\n"));

    ASSERT_EQ(Knovel("graph " + dir.File("story.kne") + " -o " + dir.File("story.dot")).status, 0);
    const std::vector<uint8_t> dot = test::ReadBytes(dir.File("story.dot"));
    EXPECT_THAT(std::string(dot.begin(), dot.end()), HasSubstr("n0 -> n1"));
    // Pictures are drawn by Graphviz, with the names and captions as text.
    ASSERT_EQ(Knovel("graph " + dir.File("story.kne") + " -o " + dir.File("story.SVG")).status, 0);
    const std::vector<uint8_t> svg = test::ReadBytes(dir.File("story.SVG"));
    EXPECT_THAT(std::string(svg.begin(), svg.end()), HasSubstr("<svg"));
    EXPECT_THAT(std::string(svg.begin(), svg.end()), HasSubstr(reinterpret_cast<const char*>(u8">はい<")));
    ASSERT_EQ(Knovel("graph " + dir.File("story.kne") + " -o " + dir.File("story.png")).status, 0);
    EXPECT_EQ(test::ReadBytes(dir.File("story.png")).at(1), 'P');
}

TEST(KnovelStoryCommands, CheckingASourcePointsAtItsLinesAndColumns)
{
    test::TempDir dir;
    WriteText(dir.File("story.yaml"),
              u8R"(header: {start_item: start, bg_effect: FADE}
counters:
  - {name: c, value: 5, min: 0, max: 1}
items:
  - name: start
    kind: auto
    text: |
      こんにちは。

      .WAIT x
      .FONTTYPE ROUND
    links:
      - {target: start}
      - target: nowhere
  - {name: quoted, kind: end, text: ".NOSUCH"}
)");
    const KnovelRun check = Knovel("check " + dir.File("story.yaml"));
    EXPECT_EQ(check.status, 1);
    const std::string file = dir.File("story.yaml");
    EXPECT_EQ(check.output,
              file + ":1:1: warning: picture effect 'FADE' selects no effect\n" +  //
                  file +
                  ":3:5: warning: counter 'c' starts at 5, outside its range 0 to 1: "
                  "the first counter command moves it into the range\n" +
                  file + ":13:9: warning: link 1 is never taken: link 2 always holds and is tried first\n" +
                  file + ":14:9: error: link 2 leads to 'nowhere', which is no item\n" + file +
                  ":10:7: error: 'x' (the time) is not a whole number: the command fails\n" + file +
                  ":11:7: warning: font type 'ROUND' is none of GOTHIC, MINCHO: it changes nothing\n" + file +
                  ":15:5: warning: not reachable from the start item\n" + file +
                  ":15:37: error: unknown command '.NOSUCH': the line does nothing "
                  "(a line that begins with '.' is never shown as text)\n");
    // A source that doesn't build is reported as build reports it.
    WriteText(dir.File("bad.yaml"), u8"items:\n  - {name: a, kind: nope}\n");
    const KnovelRun bad = test::RunKnovel("check " + dir.File("bad.yaml") + " 2>&1");
    EXPECT_EQ(bad.status, 1);
    EXPECT_THAT(bad.output, HasSubstr("bad.yaml:2:21: 'kind' must be menu, auto or end, not 'nope'"));
}

TEST(KnovelStoryCommands, FailedBuildLeavesTheOldOutputAlone)
{
    test::TempDir dir;
    test::WriteBytes(dir.File("story.kne"), {'o', 'l', 'd'});
    WriteText(dir.File("bad.yaml"), u8"items:\n  - {name: a, kind: nope}\n");
    EXPECT_EQ(Knovel("build " + dir.File("bad.yaml") + " -o " + dir.File("story.kne")).status, 1);
    EXPECT_EQ(test::ReadBytes(dir.File("story.kne")), (std::vector<uint8_t>{'o', 'l', 'd'}));
    // Nothing else was left beside it either.
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()),
        2);

    EXPECT_EQ(Knovel("build " + dir.File("absent.yaml") + " -o " + dir.File("x.kne")).status, 1);
    EXPECT_EQ(Knovel("build " + dir.File("bad.yaml")).status, 1);  // no -o
    EXPECT_EQ(Knovel("dump " + dir.File("bad.yaml")).status, 1);   // not a stored file

    // A story whose start item is missing is an error for check.
    WriteText(dir.File("nostart.yaml"), u8"header: {start_item: nowhere}\nitems: [{name: a, kind: end}]\n");
    ASSERT_EQ(Knovel("build " + dir.File("nostart.yaml") + " -o " + dir.File("nostart.kne")).status, 0);
    const KnovelRun check = Knovel("check " + dir.File("nostart.kne"));
    EXPECT_EQ(check.status, 1);
    EXPECT_THAT(check.output, HasSubstr("(header):0: error: start item 'nowhere' does not exist\n"));
}

}  // namespace
}  // namespace kelva
