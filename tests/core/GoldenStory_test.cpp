// Golden replays: the real player plays whole stories headless and its transcript and
// every dumped frame must come out exactly as recorded. On a difference the actual
// output is written beside the expected one (`*.actual*`) to look at. To record anew
// after an intended change: scripts/update-golden.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TestFiles.h"

namespace kelva {
namespace {

namespace fs = std::filesystem;

const fs::path kGolden = fs::path(KELVA_TEST_DATA_DIR) / "golden";
const fs::path kDemo = fs::path(KELVA_BIN_DIR) / ".." / "demo";
const fs::path kAttract = fs::path(KELVA_SOURCE_DIR) / "examples" / "demo" / "attract.events";
const fs::path kMenuTour = fs::path(KELVA_SOURCE_DIR) / "examples" / "demo" / "menu.events";
const fs::path kDebugWindows = fs::path(KELVA_SOURCE_DIR) / "examples" / "demo" / "debug.events";

struct GoldenCase {
    const char* name;
    fs::path story;  // a novel file, or a story source built first
    fs::path events;
    std::string arguments;  // before the story
};

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// "NAME HASH" a line for every PNG in `dir`, by name: a 64-bit FNV-1a hash of the
// decoded pixels, so the files' compression doesn't matter.
std::string FrameHashes(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() == ".png") names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::string lines;
    for (const std::string& name : names) {
        uint64_t hash = 14695981039346656037ull;
        for (const uint32_t pixel : test::PngPixels((dir / name).string())) {
            hash = (hash ^ pixel) * 1099511628211ull;
        }
        char line[128];
        std::snprintf(line, sizeof line, "%s %016llx\n", name.c_str(), static_cast<unsigned long long>(hash));
        lines += line;
    }
    return lines;
}

std::string Quoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

class GoldenStory : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenStory, PlaysAsRecorded)
{
    const GoldenCase& golden = GetParam();
    const fs::path expected = kGolden / golden.name;
    fs::create_directories(expected);
    test::TempDir dir;
    fs::path story = golden.story;
    if (story.extension() == ".yaml") {
        const test::CommandResult built =
            test::RunKnovel("build " + Quoted(story) + " -o " + dir.File("story.kne"));
        ASSERT_EQ(built.status, 0) << built.output;
        story = dir.File("story.kne");
    }
    const fs::path frames = dir.Path() / "frames";
    fs::create_directories(frames);
    const test::CommandResult run =
        test::RunCommand("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " + std::string(KELVA_BIN_DIR) +
                         "/kelvanovelrun --replay " + Quoted(golden.events) + " --dump-dir " +
                         Quoted(frames) + " --transcript " + dir.File("transcript.txt") + " " +
                         golden.arguments + " " + Quoted(story) + " 2>&1");
    ASSERT_EQ(run.status, 0) << run.output;

    const std::string transcript = ReadText(dir.File("transcript.txt"));
    const std::string hashes = FrameHashes(frames);
    if (std::getenv("KELVA_UPDATE_GOLDEN")) {
        WriteText(expected / "transcript.txt", transcript);
        WriteText(expected / "frames.txt", hashes);
        return;
    }
    const bool same =
        transcript == ReadText(expected / "transcript.txt") && hashes == ReadText(expected / "frames.txt");
    EXPECT_TRUE(same) << "actual output written to " << (expected / "actual").string();
    if (same) return;
    const fs::path actual = expected / "actual";
    fs::remove_all(actual);
    fs::copy(frames, actual);
    WriteText(actual / "transcript.txt", transcript);
    WriteText(actual / "frames.txt", hashes);
}

INSTANTIATE_TEST_SUITE_P(
    Stories, GoldenStory,
    ::testing::Values(
        GoldenCase{"demo", kDemo / "demo.kne", kAttract, "'*" + (kDemo / "data").string() + "'"},
        GoldenCase{"demo-debug", kDemo / "demo.kne", kAttract, "/DEBUG '*" + (kDemo / "data").string() + "'"},
        GoldenCase{"demo-menu", kDemo / "demo.kne", kMenuTour, "'*" + (kDemo / "data").string() + "'"},
        GoldenCase{"demo-debug-windows", kDemo / "demo.kne", kDebugWindows,
                   "/DEBUG '*" + (kDemo / "data").string() + "'"},
        GoldenCase{"choices", kGolden / "choices" / "story.yaml", kGolden / "choices" / "events.txt", ""}),
    [](const ::testing::TestParamInfo<GoldenCase>& info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
    });

}  // namespace
}  // namespace kelva
