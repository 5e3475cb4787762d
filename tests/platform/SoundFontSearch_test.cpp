// Where the built-in synthesizer finds its SoundFont, with files made for the test and
// the environment set for it.
#include "platform/fluidsynth/SoundFontSearch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/EnvironmentGuard.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

using namespace test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class SoundFontSearchTest : public ::testing::Test {
protected:
    SoundFontSearchTest()
    {
        for (const char* name :
             {"option.sf2", "kelva.sf2", "sdl1.sf2", "sdl2.sf2", "default1.sf2", "default2.sf2"})
            WriteBytes(dir.File(name), {'R', 'I', 'F', 'F'});
        env.Set("KELVA_SOUNDFONT", std::nullopt);
        env.Set("SDL_SOUNDFONTS", std::nullopt);
    }

    std::vector<std::string> Search(const std::string& explicitFile, std::vector<std::string> defaults)
    {
        return SoundFontSearch(explicitFile, std::move(defaults)).Candidates([this](const std::string& line) {
            log.push_back(line);
        });
    }

    TempDir dir;
    EnvironmentGuard env;
    std::vector<std::string> log;
};

TEST_F(SoundFontSearchTest, OptionThenEnvironmentThenDefaults)
{
    // Of SDL's list only the first existing entry counts.
    env.Set("KELVA_SOUNDFONT", dir.File("kelva.sf2"));
    env.Set("SDL_SOUNDFONTS",
            dir.File("missing.sf2") + ":" + dir.File("sdl2.sf2") + ":" + dir.File("sdl1.sf2"));
    EXPECT_THAT(Search(dir.File("option.sf2"), {dir.File("default1.sf2"), dir.File("default2.sf2")}),
                ElementsAre(dir.File("option.sf2"), dir.File("kelva.sf2"), dir.File("sdl2.sf2"),
                            dir.File("default1.sf2"), dir.File("default2.sf2")));
    EXPECT_THAT(log, IsEmpty());

    // Each place counts once, where it ranks best.
    env.Set("KELVA_SOUNDFONT", dir.File("default2.sf2"));
    env.Set("SDL_SOUNDFONTS", dir.File("sdl1.sf2"));
    EXPECT_THAT(Search("", {dir.File("default1.sf2"), dir.File("sdl1.sf2"), dir.File("default2.sf2")}),
                ElementsAre(dir.File("default2.sf2"), dir.File("sdl1.sf2"), dir.File("default1.sf2")));
}

TEST_F(SoundFontSearchTest, MissingFilesAreSkippedAndOnlyTheUsersAreReported)
{
    env.Set("KELVA_SOUNDFONT", dir.Path().string());  // a folder isn't a SoundFont
    env.Set("SDL_SOUNDFONTS", dir.File("missing.sf2") + "::");
    EXPECT_THAT(Search(dir.File("gone.sf2"), {dir.File("nowhere.sf2"), "", dir.File("default1.sf2")}),
                ElementsAre(dir.File("default1.sf2")));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_THAT(log[0], HasSubstr("gone.sf2"));
    EXPECT_THAT(log[0], HasSubstr("--soundfont"));
    EXPECT_THAT(log[1], HasSubstr("KELVA_SOUNDFONT"));

    log.clear();
    env.Set("KELVA_SOUNDFONT", std::nullopt);
    EXPECT_THAT(Search("", {}), IsEmpty());
    EXPECT_THAT(log, IsEmpty());
}

}  // namespace
}  // namespace kelva
