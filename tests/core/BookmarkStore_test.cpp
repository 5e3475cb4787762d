#include "core/BookmarkStore.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <thread>

#include "platform/headless/RecordingMessageBox.h"
#include "support/EnvironmentGuard.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TBookmarkData Named(const std::string& name, int page = 3)
{
    TBookmarkData bookmark;
    bookmark.ItemName = name;
    bookmark.PlayNumber = 1;
    bookmark.Page = page;
    bookmark.Counters.Add({"A", page, 0, 100, false});
    bookmark.UpdateTexts();
    return bookmark;
}

std::vector<std::string> NamesIn(const TBookmarkList& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list[i].ItemName);
    return names;
}

std::vector<std::string> NamesInFile(const std::string& path)
{
    MemoryStream file(ReadBytes(path));
    TBookmarkList list;
    list.LoadFromStream(file);
    return NamesIn(list);
}

// The bytes of a list file holding `count` records and declaring `declared`.
std::vector<uint8_t> ListBytes(int count, int declared)
{
    TBookmarkList empty;
    MemoryStream out;
    empty.SaveToStream(out);
    std::vector<uint8_t> bytes = out.TakeBytes();
    for (int i = 0; i < 4; ++i)
        bytes[37 + i] = static_cast<uint8_t>(static_cast<uint32_t>(declared) >> (8 * i));
    for (int i = 0; i < count; ++i) {
        MemoryStream record;
        Named("item " + std::to_string(i + 1)).SaveToStream(record);
        bytes.insert(bytes.end(), record.Bytes().begin(), record.Bytes().end());
    }
    return bytes;
}

int64_t MonotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1'000'000;
}

struct StoreFixture : ::testing::Test {
    TempDir dir;
    std::string path = dir.File("story.knb");
    RecordingMessageBox messages{false};

    BookmarkStore Store() { return BookmarkStore({path, path}, messages); }
};

TEST_F(StoreFixture, RecordingAppendsOrReplacesAndRemovingRenumbersInTheFile)
{
    BookmarkStore store = Store();
    store.Load();
    EXPECT_EQ(store.Count(), 0) << "no file yet";
    for (const char* name : {"one", "two", "three", "four"})
        ASSERT_TRUE(store.Record(store.Count(), Named(name)));
    ASSERT_TRUE(store.Record(2, Named("THREE", 9)));
    EXPECT_EQ(NamesInFile(path), (std::vector<std::string>{"one", "two", "THREE", "four"}));
    EXPECT_EQ(store.List()[2].Label, "1回目 9ページ");

    ASSERT_TRUE(store.Remove(1));
    EXPECT_EQ(NamesInFile(path), (std::vector<std::string>{"one", "THREE", "four"}));
    EXPECT_FALSE(store.Remove(3));
    EXPECT_FALSE(store.Record(5, Named("gap")));

    BookmarkStore again = Store();
    again.Load();
    EXPECT_EQ(NamesIn(again.List()), (std::vector<std::string>{"one", "THREE", "four"}));
    EXPECT_TRUE(messages.Messages().empty());
    // Only the bookmark file is left in the folder: no temporary file stays behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST_F(StoreFixture, TheFiftyFirstIsRefusedButAFullListCanBeOverwritten)
{
    BookmarkStore store = Store();
    for (int i = 0; i < kMaxBookmarks; ++i) ASSERT_TRUE(store.Record(i, Named("b" + std::to_string(i))));
    EXPECT_FALSE(store.Record(kMaxBookmarks, Named("extra")));
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_NE(messages.Messages()[0].text.find("50 個まで"), std::string::npos);
    EXPECT_TRUE(store.Record(kMaxBookmarks - 1, Named("last")));
    const std::vector<std::string> names = NamesInFile(path);
    ASSERT_EQ(names.size(), 50u);
    EXPECT_EQ(names.back(), "last");
}

// Files that don't read whole: the bookmarks before the damage are kept, the reader is
// told once, and the file as it was survives as "<name>.damaged" after the first write.
TEST_F(StoreFixture, ADamagedOrOverfullFileGivesWhatReadsAndIsKeptAside)
{
    const std::vector<uint8_t> three = ListBytes(3, 3);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int readable;
        const char* said;
    };
    std::vector<uint8_t> cut(three.begin(), three.end() - 100);
    const std::vector<Case> cases = {
        {"cut inside the third record", cut, 2, "しおり 3 から先が壊れています"},
        {"count past the records", ListBytes(3, 7), 3, "しおり 4 から先"},
        {"negative count", ListBytes(2, -4), 0, "負の値"},
        {"header cut short", std::vector<uint8_t>(three.begin(), three.begin() + 20), 0, "見出し"},
        {"more than fifty", ListBytes(52, 52), 50, "最初の 50 個だけ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(path + ".damaged");
        WriteBytes(path, c.bytes);
        messages = RecordingMessageBox{false};
        BookmarkStore store = Store();
        store.Load();
        EXPECT_EQ(store.Count(), c.readable);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_NE(messages.Messages()[0].text.find(c.said), std::string::npos) << messages.Messages()[0].text;
        EXPECT_FALSE(std::filesystem::exists(path + ".damaged"));

        ASSERT_TRUE(store.Record(0, Named("new")));
        EXPECT_EQ(ReadBytes(path + ".damaged"), c.bytes);
        EXPECT_EQ(NamesInFile(path).size(), static_cast<size_t>(std::max(c.readable, 1)));
        // Kept once: later writes leave the copy alone.
        ASSERT_TRUE(store.Remove(0));
        EXPECT_EQ(ReadBytes(path + ".damaged"), c.bytes);
        EXPECT_EQ(messages.Messages().size(), 1u);
    }
    // A file that can't be read at all (here a folder in its place) is moved aside whole.
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path + "/inside");
    messages = RecordingMessageBox{false};
    BookmarkStore unread = Store();
    unread.Load();
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_NE(messages.Messages()[0].text.find("読めません"), std::string::npos);
    ASSERT_TRUE(unread.Record(0, Named("new")));
    EXPECT_TRUE(std::filesystem::exists(path + ".damaged.2/inside"));
    std::filesystem::remove_all(path + ".damaged.2");

    // An earlier copy is never written over.
    WriteBytes(path, cut);
    BookmarkStore store = Store();
    store.Load();
    ASSERT_TRUE(store.Record(0, Named("new")));
    EXPECT_EQ(ReadBytes(path + ".damaged.2"), cut);
}

TEST_F(StoreFixture, AFailedWriteLeavesTheListAndTheFileAsTheyWere)
{
    BookmarkStore store = Store();
    ASSERT_TRUE(store.Record(0, Named("kept")));
    const std::vector<uint8_t> before = ReadBytes(path);
    // A second store writing where no folder can be made: under a plain file.
    const std::string blocked = dir.File("plain-file/story.knb");
    WriteBytes(dir.File("plain-file"), {1});
    BookmarkStore failing({path, blocked}, messages);
    failing.Load();
    ASSERT_EQ(failing.Count(), 1);
    EXPECT_FALSE(failing.Record(0, Named("lost")));
    EXPECT_FALSE(failing.Record(1, Named("lost")));
    EXPECT_FALSE(failing.Remove(0));
    EXPECT_EQ(NamesIn(failing.List()), (std::vector<std::string>{"kept"}));
    ASSERT_EQ(messages.Messages().size(), 3u);
    EXPECT_NE(messages.Messages()[0].text.find("plain-file/story.knb」に書き込めませんでした"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(StoreFixture, AWriterWaitsForTheOneHoldingTheFolder)
{
    BookmarkStore store = Store();
    const int folder = open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(folder, LOCK_EX), 0);
    std::thread holder([folder] {
        usleep(200'000);
        close(folder);
    });
    const int64_t start = MonotonicMs();
    EXPECT_TRUE(store.Record(0, Named("after")));
    EXPECT_GE(MonotonicMs() - start, 150);
    holder.join();
    EXPECT_EQ(NamesInFile(path), (std::vector<std::string>{"after"}));
}

TEST_F(StoreFixture, ASecondCopyOfTheGameNeverWritesOverTheFirstOnesBookmarks)
{
    BookmarkStore first = Store();
    BookmarkStore second = Store();
    first.Load();
    second.Load();
    ASSERT_TRUE(first.Record(0, Named("first's")));
    EXPECT_FALSE(second.Record(0, Named("second's")));
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_NE(messages.Messages()[0].text.find("読み直しました"), std::string::npos);
    EXPECT_EQ(NamesIn(second.List()), (std::vector<std::string>{"first's"}));
    ASSERT_TRUE(second.Record(1, Named("second's")));
    EXPECT_EQ(NamesInFile(path), (std::vector<std::string>{"first's", "second's"}));
}

TEST(BookmarkLocationTest, UserDataFolderStandsInForAGameFolderThatCannotBeWritten)
{
    TempDir dir;
    test::EnvironmentGuard environment;
    environment.Set("XDG_DATA_HOME", dir.File("data"));
    const std::string game = dir.File("game/story.knb");
    const std::string own = dir.File("data/kelvanovelrun/story.knb");
    EXPECT_EQ(ChooseBookmarkLocation(game, true).WritePath, game);

    std::filesystem::create_directories(dir.File("game"));
    RecordingMessageBox messages{false};
    BookmarkStore old({game, game}, messages);
    ASSERT_TRUE(old.Record(0, Named("beside the game")));
    const std::vector<uint8_t> oldBytes = ReadBytes(game);

    // The first time the old file is read from beside the game; writes go to the user's.
    BookmarkLocation location = ChooseBookmarkLocation(game, false);
    EXPECT_EQ(location.ReadPath, game);
    EXPECT_EQ(location.WritePath, own);
    EXPECT_NE(location.Describe().find(game), std::string::npos);
    BookmarkStore store(location, messages);
    store.Load();
    ASSERT_TRUE(store.Record(1, Named("second")));
    EXPECT_EQ(NamesInFile(own), (std::vector<std::string>{"beside the game", "second"}));
    EXPECT_EQ(ReadBytes(game), oldBytes);
    EXPECT_EQ(ChooseBookmarkLocation(game, false).ReadPath, own);

    environment.Set("XDG_DATA_HOME", std::nullopt);
    environment.Set("HOME", dir.File("home"));
    EXPECT_EQ(ChooseBookmarkLocation(game, false).WritePath,
              dir.File("home/.local/share/kelvanovelrun/story.knb"));
    EXPECT_TRUE(messages.Messages().empty());
}

}  // namespace
}  // namespace kelva
