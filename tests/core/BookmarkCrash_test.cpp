// A writer killed at random moments while it rewrites the bookmark file must leave the
// old list or the new one, whole, every time. KELVA_CRASH_RUNS sets the number of kills
// (30 by default; the long form runs 200 or more).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "core/BookmarkStore.h"
#include "platform/headless/RecordingMessageBox.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

TBookmarkData Sample(int n)
{
    TBookmarkData bookmark;
    bookmark.ItemName = "item " + std::to_string(n);
    bookmark.Position = {n, n * 2};
    for (int i = 0; i < 40; ++i)
        bookmark.Counters.Add({"counter " + std::to_string(i), n * i, -1000, 1000, false});
    bookmark.Sprites.SetSlot(n % 16, "who", "who.bmp", n, -n);
    bookmark.PlayNumber = 1;
    bookmark.Page = n;
    bookmark.UpdateTexts();
    return bookmark;
}

std::vector<uint8_t> FileOf(int count)
{
    TBookmarkList list;
    for (int i = 0; i < count; ++i) *list.Add() = Sample(i);
    MemoryStream out;
    list.SaveToStream(out);
    return out.TakeBytes();
}

// Adds a fourth bookmark and takes it away again, for ever; says on `ready` once the first
// round is done, so a kill after that lands among the rewrites however slow the start.
[[noreturn]] void RewriteForever(const std::string& path, int ready)
{
    RecordingMessageBox messages{false};
    BookmarkStore store({path, path}, messages);
    store.Load();
    for (bool told = false;; told = true) {
        if (!store.Record(3, Sample(3)) || !store.Remove(3)) _exit(2);
        if (!told && write(ready, "!", 1) != 1) _exit(3);
    }
}

int Runs()
{
    const char* runs = std::getenv("KELVA_CRASH_RUNS");
    return runs ? std::atoi(runs) : 30;
}

TEST(BookmarkCrashTest, AWriterKilledMidRewriteLeavesTheOldOrTheNewListWhole)
{
    test::TempDir dir;
    const std::string path = dir.File("story.knb");
    const std::vector<uint8_t> three = FileOf(3);
    const std::vector<uint8_t> four = FileOf(4);
    test::WriteBytes(path, three);
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 20'000);
    int sawThree = 0;
    int sawFour = 0;
    const int runs = Runs();
    for (int run = 0; run < runs; ++run) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) RewriteForever(path, ready[1]);
        char byte = 0;
        EXPECT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        close(ready[1]);
        usleep(static_cast<useconds_t>(delayUs(random)));
        kill(writer, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself in run " << run;

        const std::vector<uint8_t> left = test::ReadBytes(path);
        ASSERT_TRUE(left == three || left == four) << "run " << run << ": " << left.size() << " bytes";
        (left == three ? sawThree : sawFour)++;
        RecordingMessageBox messages{false};
        BookmarkStore reader({path, path}, messages);
        reader.Load();
        EXPECT_TRUE(messages.Messages().empty());
    }
    // The kills landed on both sides of the rewrites.
    if (runs >= 30) {
        EXPECT_GT(sawThree, 0);
        EXPECT_GT(sawFour, 0);
    }
    RecordProperty("runs", runs);
    std::printf("%d runs: %d left the old list, %d the new\n", runs, sawThree, sawFour);
}

}  // namespace
}  // namespace kelva
