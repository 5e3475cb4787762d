// The authors' guide and tutorial against the real tools: every story in them builds and
// checks clean, the faults the tutorial shows are the ones the checker reports, and the
// tutorial's game plays its replay to the ending.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TestFiles.h"

namespace kelva {
namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& path)
{
    return "'" + path + "'";
}

// The built authoring tool run in `folder`, as an author runs it there.
test::CommandResult KnovelIn(const fs::path& folder, const std::string& arguments)
{
    return test::RunCommand("cd " + Quote(folder.string()) + " && " +
                            Quote(std::string(KELVA_BIN_DIR) + "/knovel") + " " + arguments);
}

std::string ReadText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The fenced blocks of a Markdown text whose opening fence names `language`.
std::vector<std::string> Blocks(const std::string& markdown, const std::string& language)
{
    std::vector<std::string> blocks;
    const std::string open = "```" + language + "\n";
    for (size_t at = markdown.find(open); at != std::string::npos; at = markdown.find(open, at)) {
        const size_t start = at + open.size();
        const size_t end = markdown.find("```\n", start);
        if (end == std::string::npos) break;
        blocks.push_back(markdown.substr(start, end - start));
        at = end;
    }
    return blocks;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

const fs::path kDocs = fs::path(KELVA_SOURCE_DIR) / "docs";

class KnovelDocsTest : public ::testing::Test {
protected:
    // Writes `source` as story.yaml, builds it and checks both the source and the novel
    // file; returns what the checker printed about the source.
    std::string BuildAndCheck(const std::string& source, const std::string& checkOptions = "")
    {
        test::WriteBytes(dir.File("story.yaml"), {source.begin(), source.end()});
        const auto build = test::RunKnovel("build " + Quote(dir.File("story.yaml")) + " -o " +
                                           Quote(dir.File("story.kne")) + " 2>&1");
        EXPECT_EQ(build.status, 0) << build.output << source;
        const auto novel = test::RunKnovel("check " + Quote(dir.File("story.kne")) + " " + checkOptions);
        EXPECT_EQ(novel.output, "") << source;
        return test::RunKnovel("check " + Quote(dir.File("story.yaml")) + " " + checkOptions).output;
    }

    test::TempDir dir;
};

TEST_F(KnovelDocsTest, EveryStoryOfTheGuideBuildsAndChecksClean)
{
    const std::vector<std::string> stories = Blocks(ReadText(kDocs / "story-language.md"), "yaml");
    ASSERT_GE(stories.size(), 8u);
    for (const std::string& story : stories) EXPECT_EQ(BuildAndCheck(story), "") << story;
}

class KnovelTutorialTest : public KnovelDocsTest {
protected:
    void SetUp() override
    {
        tutorial = ReadText(kDocs / "tutorial.md");
        const auto stories = Blocks(tutorial, "yaml");
        ASSERT_EQ(stories.size(), 1u);
        story = stories[0];
        ASSERT_TRUE(fs::is_directory(demoData)) << demoData << " is made by the build of the demo";
    }

    std::string tutorial;
    std::string story;
    const std::string demoData = std::string(KELVA_BIN_DIR) + "/../demo/data";
};

TEST_F(KnovelTutorialTest, StoryChecksCleanAgainstTheDemoMediaAndItsFaultsAreTheOnesShown)
{
    EXPECT_EQ(BuildAndCheck(story, "--data " + Quote(demoData)), "");

    // The tutorial misspells a picture and a link target and shows what check says.
    const std::vector<std::string> shown = Blocks(tutorial, "text");
    ASSERT_FALSE(shown.empty());
    const std::string faulty =
        Replaced(Replaced(story, "bg\\sky.bmp", "bg\\skye.bmp"), "target: alone", "target: alon");
    test::WriteBytes(dir.File("story.yaml"), {faulty.begin(), faulty.end()});
    const auto check = KnovelIn(dir.Path(), "check story.yaml --data " + Quote(demoData));
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.output, shown[0]);
}

TEST_F(KnovelTutorialTest, PackedGamePlaysTheReplayToTheEnding)
{
    const std::vector<std::string> events = Blocks(tutorial, "events");
    ASSERT_EQ(events.size(), 1u);
    test::WriteBytes(dir.File("story.events"), {events[0].begin(), events[0].end()});
    test::WriteBytes(dir.File("story.yaml"), {story.begin(), story.end()});
    ASSERT_EQ(KnovelIn(dir.Path(), "build story.yaml -o story.kne").status, 0);
    const auto pack =
        KnovelIn(dir.Path(), "pack " + Quote(demoData) + " story.kne -o hoshizora --exe " +
                                 Quote(std::string(KELVA_BIN_DIR) + "/kelvanovelrun") + " 2>&1");
    ASSERT_EQ(pack.status, 0) << pack.output;

    const auto play =
        test::RunCommand("cd " + Quote(dir.Path().string()) +
                         " && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy KELVA_REPLAY=story.events "
                         "KELVA_TRANSCRIPT=game.log ./hoshizora 2>&1");
    EXPECT_EQ(play.status, 0) << play.output;
    const std::string log = ReadText(dir.Path() / "game.log");
    // The log is UTF-8; plain literals of the tests are CP932.
    for (const char8_t* expected :
         {u8"chosen 1. いっしょに見る", u8"item together", u8"item star_end", u8" end"}) {
        const std::string text = reinterpret_cast<const char*>(expected);
        EXPECT_NE(log.find(text), std::string::npos) << text << "\n" << log;
    }
    EXPECT_EQ(log.find("message"), std::string::npos) << log;
}

}  // namespace
}  // namespace kelva
