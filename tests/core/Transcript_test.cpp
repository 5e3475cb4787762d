#include "core/Transcript.h"

#include <gtest/gtest.h>

#include "platform/headless/ManualClock.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

std::string ReadText(const std::string& path)
{
    const std::vector<uint8_t> bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The clock of a real run starts anywhere; the transcript counts from its first line.
TEST(Transcript, TimesCountFromTheFirstLine)
{
    test::TempDir dir;
    ManualClock clock;
    clock.Advance(1108645);
    {
        Transcript transcript(clock, dir.File("t.txt"));
        clock.Advance(7);
        transcript.Event("seed", "1");
        clock.Advance(250);
        transcript.Typed("A");
        clock.Advance(50);
        transcript.Typed("\x82\xa0");  // a kana in CP932; written in UTF-8
        transcript.Event("message", "caption: two\nlines");
    }
    EXPECT_EQ(ReadText(dir.File("t.txt")),
              "0 seed 1\n"
              "250 text A\xe3\x81\x82\n"
              "300 message caption: two / lines\n");
}

}  // namespace
}  // namespace kelva
