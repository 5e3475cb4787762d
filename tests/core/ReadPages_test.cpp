#include "core/ReadPages.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/EnvironmentGuard.h"
#include "support/StageHarness.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const CNovelItem kItem = test::MakeItem("a", kItemEnd, {"一@", "二@", "三"});

// A record in `path` whose warnings are kept.
struct Record {
    explicit Record(const std::string& path)
        : pages(path, [this](const std::string& w) { warnings.push_back(w); })
    {
        pages.Load();
    }
    // Whether the page at `position` of `item` had been read.
    bool Read(const CNovelItem& item, ReadingPosition position)
    {
        pages.TextBegins(&item, position);
        return pages.CurrentRead();
    }
    // Reads the page at `position` of the item to its end.
    void Finish(const CNovelItem& item, ReadingPosition position)
    {
        pages.TextBegins(&item, position);
        pages.TextEnds();
    }
    std::vector<std::string> warnings;
    ReadPages pages;
};

TEST(ReadPages, APageCountsAsReadOnceItsEndIsReachedAndStaysReadInTheNextRun)
{
    TempDir dir;
    // The folders are made when it is first written.
    const std::string path = dir.File("state/kelvanovelrun/demo.read");
    {
        Record first(path);
        EXPECT_FALSE(first.Read(kItem, {1, 0}));
        first.pages.TextEnds();
        EXPECT_TRUE(first.Read(kItem, {1, 0}));
        EXPECT_FALSE(first.Read(kItem, {1, 1}));  // begun, never ended
        first.pages.Save();
        EXPECT_TRUE(first.warnings.empty());
    }
    Record second(path);
    EXPECT_TRUE(second.warnings.empty());
    EXPECT_TRUE(second.Read(kItem, {1, 0}));
    EXPECT_FALSE(second.Read(kItem, {1, 1}));
    CNovelItem edited = kItem;
    edited.Lines[2] = "三。";
    EXPECT_FALSE(second.Read(edited, {1, 0}));
    EXPECT_FALSE(second.Read(test::MakeItem("b", kItemEnd, kItem.Lines), {1, 0}));
}

TEST(ReadPages, LivesInTheStateFolderUnderTheGamesName)
{
    TempDir dir;
    test::EnvironmentGuard environment;
    environment.Set("HOME", dir.Path().string());
    environment.Set("XDG_STATE_HOME", (dir.Path() / "state").string());
    EXPECT_EQ(ReadPagesPath("/games/demo/demo.knb"), (dir.Path() / "state/kelvanovelrun/demo.read").string());
    environment.Set("XDG_STATE_HOME", std::nullopt);
    EXPECT_EQ(ReadPagesPath("demo.knb"), (dir.Path() / ".local/state/kelvanovelrun/demo.read").string());
    environment.Set("HOME", std::nullopt);
    EXPECT_EQ(ReadPagesPath("demo.knb"), "");
}

TEST(ReadPages, ADamagedFileIsReportedAndSetAsideAndANewRecordBegins)
{
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        const char* problem;
    } cases[] =
        {
            {"garbage",
             [](const std::string& p) {
        WriteBytes(p, {'n', 'o', 'p', 'e'});
             },
             "not a file of pages read"},
            {"cut short",
             [](const std::string& p) {
        std::vector<uint8_t> bytes = EncodeReadPages({{1, 0, 1}});
        bytes.pop_back();
        WriteBytes(p, bytes);
             },
             "pages take"},
      {"a folder", [](const std::string& p) { std::filesystem::create_directory(p); }, "not a regular file"},
      };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir.File("demo.read");
        c.make(path);
        Record record(path);
        ASSERT_EQ(record.warnings.size(), 1u) << c.name;
        EXPECT_NE(record.warnings[0].find(path + ": "), std::string::npos) << c.name;
        EXPECT_NE(record.warnings[0].find(c.problem), std::string::npos) << record.warnings[0];
        EXPECT_TRUE(std::filesystem::exists(path + ".damaged")) << c.name;
        EXPECT_EQ(record.pages.Count(), 0u);
        record.Finish(kItem, {1, 0});
        record.pages.Save();
        EXPECT_TRUE(Record(path).Read(kItem, {1, 0})) << c.name;
    }
}

TEST(ReadPages, AFileThatCanNeitherBeReadNorSetAsideIsNeverWrittenOver)
{
    TempDir dir;
    const std::string path = dir.File("demo.read");
    WriteBytes(path, {'o', 'l', 'd'});
    // A folder holding a file stands where the damaged file would go.
    std::filesystem::create_directory(path + ".damaged");
    WriteBytes(path + ".damaged/keep", {1});
    Record record(path);
    ASSERT_EQ(record.warnings.size(), 1u);
    EXPECT_NE(record.warnings[0].find("not written this time"), std::string::npos) << record.warnings[0];
    record.Finish(kItem, {1, 0});
    record.pages.Save();
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST(ReadPages, WritesAtItemEndsAtMostEveryGapAndSaysOnceWhenItCannot)
{
    TempDir dir;
    const std::string path = dir.File("demo.read");
    Record record(path);
    auto pagesOnDisk = [&path] { return Record(path).pages.Count(); };
    record.pages.SaveIfDue(0);  // nothing read yet: nothing written
    EXPECT_FALSE(std::filesystem::exists(path));
    record.Finish(kItem, {1, 0});
    record.pages.SaveIfDue(1000);
    EXPECT_EQ(pagesOnDisk(), 1u);
    record.Finish(kItem, {1, 1});
    record.pages.SaveIfDue(1000 + ReadPages::kSaveGapMs - 1);
    EXPECT_EQ(pagesOnDisk(), 1u);
    record.pages.SaveIfDue(1000 + ReadPages::kSaveGapMs);
    EXPECT_EQ(pagesOnDisk(), 2u);

    // A file where its folder should be: every write fails, and says so once.
    WriteBytes(dir.File("blocked"), {1});
    Record blocked(dir.File("blocked/demo.read"));
    for (const ReadingPosition at : {ReadingPosition{1, 0}, ReadingPosition{1, 1}}) {
        blocked.Finish(kItem, at);
        blocked.pages.Save();
    }
    ASSERT_EQ(blocked.warnings.size(), 1u);
    EXPECT_NE(blocked.warnings[0].find("can't be written"), std::string::npos);
}

}  // namespace
}  // namespace kelva
