// The replay window on a manual clock: dumps, answers to questions, and the end.
#include "platform/headless/ReplayStageWindow.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/headless/ManualClock.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

namespace fs = std::filesystem;

class ReplayWindowTest : public ::testing::Test {
protected:
    ReplayStageWindow& Replay(const char* script)
    {
        const ReplayParseResult parsed = ParseReplayScript(script);
        EXPECT_EQ(parsed.error, "");
        m_window = std::make_unique<ReplayStageWindow>(clock, messages, parsed.events, dumpDir);
        return *m_window;
    }

    test::TempDir dir;
    const std::string dumpDir = (dir.Path() / "frames" / "run1").string();
    ManualClock clock;
    RecordingMessageBox messages{false};
    std::unique_ptr<ReplayStageWindow> m_window;
};

TEST_F(ReplayWindowTest, DumpsGoToAFolderMadeForThem)
{
    ReplayStageWindow& window = Replay("10 dump first\n20 dump second\n");
    for (int i = 0; i < 4; ++i) window.WaitEvent(100);  // each dump first asks for a frame
    EXPECT_TRUE(fs::exists(fs::path(dumpDir) / "first.png"));
    EXPECT_TRUE(fs::exists(fs::path(dumpDir) / "second.png"));
}

TEST_F(ReplayWindowTest, AQuestionWaitsForTheNextAnswerAndAnEarlyAnswerForItsQuestion)
{
    ReplayStageWindow& window = Replay(
        "100 answer no\n"
        "200 click 1 1\n"
        "300 click 2 2\n"   // lands on the open question
        "400 dump asked\n"  // the stage behind it
        "500 answer yes\n"
        "600 click 3 3\n");
    ASSERT_EQ(window.WaitEvent(250)->x, 1);  // the early answer is kept for later
    EXPECT_FALSE(messages.AskYesNo("Q", "first?"));
    EXPECT_EQ(clock.NowMs(), 200) << "a queued answer takes no time";
    EXPECT_TRUE(messages.AskYesNo("Q", "second?"));
    EXPECT_EQ(clock.NowMs(), 500);
    EXPECT_TRUE(fs::exists(fs::path(dumpDir) / "asked.png"));
    ASSERT_EQ(window.WaitEvent(1000)->x, 3);
    EXPECT_FALSE(messages.AskYesNo("Q", "no answers left?"));
    EXPECT_EQ(window.WaitEvent(2000)->type, InputEvent::Type::Quit);
}

}  // namespace
}  // namespace kelva
