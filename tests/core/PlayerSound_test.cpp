// The built player heard end to end: SDL's disk audio driver writes what the one audio
// device plays to a file, which the test then listens to.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>

#include "sound/CdTestDisc.h"
#include "support/SoundFiles.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

constexpr int kRate = 44100;

// A format-0 song: one long note, about two seconds at 120 beats per minute.
std::vector<uint8_t> LongNoteSong()
{
    return {'M', 'T', 'h', 'd', 0,    0, 0, 6,    0,  0,   0,    1,    0,    96, 'M', 'T', 'r',  'k',  0,
            0,   0,   16,  0,   0xC0, 0, 0, 0x90, 60, 110, 0x83, 0x00, 0x80, 60, 0,   0,   0xFF, 0x2F, 0};
}

// A CUE sheet and its BIN of one audio track: a tone of `frequency`, `seconds` long.
void WriteDiscImage(const test::TempDir& dir, double frequency, int seconds)
{
    test::WriteBytes(dir.File("disc.bin"), test::ToneSectors(frequency, seconds * kCdSectorsPerSecond));
    const std::string cue = "FILE \"disc.bin\" BINARY\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n";
    test::WriteBytes(dir.File("disc.cue"), std::vector<uint8_t>(cue.begin(), cue.end()));
}

// The left channel of the disk driver's output (signed 16-bit stereo), full scale ±1.
std::vector<float> LeftChannel(const std::string& path)
{
    const std::vector<uint8_t> bytes = test::ReadBytes(path);
    std::vector<float> left;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        int16_t sample;
        std::memcpy(&sample, &bytes[i], sizeof sample);
        left.push_back(sample / 32768.0f);
    }
    return left;
}

// The strength of `frequency` in samples [from, from + count) (Goertzel).
double ToneStrength(const std::vector<float>& samples, size_t from, size_t count, double frequency)
{
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / kRate);
    double previous = 0, before = 0;
    for (size_t i = from; i < from + count && i < samples.size(); ++i) {
        const double current = samples[i] + coefficient * previous - before;
        before = previous;
        previous = current;
    }
    return std::sqrt(previous * previous + before * before - coefficient * previous * before) / count;
}

// Whether some 50 ms stretch holds `frequency` clearly above the other two.
bool ToneHeard(const std::vector<float>& samples, double frequency, double other1, double other2)
{
    const size_t window = kRate / 20;
    for (size_t from = 0; from + window <= samples.size(); from += window) {
        const double strength = ToneStrength(samples, from, window, frequency);
        if (strength > 0.02 && strength > 5 * ToneStrength(samples, from, window, other1) &&
            strength > 5 * ToneStrength(samples, from, window, other2)) {
            return true;
        }
    }
    return false;
}

class PlayerSoundTest : public ::testing::Test {
protected:
    // Plays `story` on the real clock with the events given; what was heard is returned.
    std::vector<float> Play(const test::NovelParts& story, const std::string& events,
                            const std::string& extra = "")
    {
        test::WriteBytes(dir.File("story.kne"), test::NovelFileBytes(story));
        test::WriteBytes(dir.File("events.txt"), std::vector<uint8_t>(events.begin(), events.end()));
        const std::string output = dir.File("heard.raw");
        std::filesystem::remove(output);
        // The reader's settings and pages read live in the test's own folder.
        const test::CommandResult run = test::RunCommand(
            "XDG_CONFIG_HOME=" + dir.File("config") + " XDG_STATE_HOME=" + dir.File("state") +
            " SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + output +
            " " KELVA_BIN_DIR "/kelvanovelrun --realtime --replay " + dir.File("events.txt") +
            " --transcript " + dir.File("transcript.txt") + " " + extra + " " + dir.File("story.kne") +
            " 2>&1");
        EXPECT_EQ(run.status, 0) << run.output;
        const std::vector<uint8_t> transcript = test::ReadBytes(dir.File("transcript.txt"));
        log = run.output + std::string(transcript.begin(), transcript.end());
        return LeftChannel(output);
    }

    test::TempDir dir;
    std::string log;  // what the player printed, and its transcript
};

TEST_F(PlayerSoundTest, LogoMusicWaveMp3AndCdTrackAreAllHeard)
{
    test::WriteBytes(dir.File("logo.mid"), LongNoteSong());
    test::WriteTones(dir.File("se1.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, {440.0}, 0.4);
    test::WriteTones(dir.File("se2.mp3"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, {1000.0}, 0.4);
    WriteDiscImage(dir, 1500.0, 2);
    test::NovelParts story;
    story.Header.LogoMusic = "logo.mid";
    story.Header.BgEffect = "NONE";
    story.Header.FrameInterval = 10;
    story.Items[0].Lines = {".SOUNDPLAY se1", ".WAIT 700", ".SOUNDPLAY se2.mp3",
                            ".WAIT 700",      ".CDPLAY 1", ".WAIT 1500"};
    // The title waits for a click from about 2.9 s on; a second click is there for a slow
    // start, and does nothing once the story runs.
    const std::vector<float> heard = Play(story, "3500 click 320 240\n4200 click 320 240\n9000 quit\n",
                                          "--cd-image " + dir.File("disc.cue"));
    ASSERT_GT(heard.size(), static_cast<size_t>(6 * kRate));
    // The logo music fills the first two seconds, before any sound was asked for.
    EXPECT_GT(test::Peak(std::vector<float>(heard.begin(), heard.begin() + 2 * kRate), 0), 0.05f);
    EXPECT_TRUE(ToneHeard(heard, 440, 1000, 1500)) << "the WAVE sound\n" << log;
    EXPECT_TRUE(ToneHeard(heard, 1000, 440, 1500)) << "the MP3 sound";
    EXPECT_TRUE(ToneHeard(heard, 1500, 440, 1000)) << "the CD track";
}

TEST_F(PlayerSoundTest, MuteSilencesTheOutputAndIsKeptForTheNextRun)
{
    test::WriteBytes(dir.File("logo.mid"), LongNoteSong());
    test::NovelParts story;
    story.Header.LogoMusic = "logo.mid";
    const auto stretch = [](const std::vector<float>& heard, double from, double to) {
        const auto at = [&](double seconds) {
            return heard.begin() + static_cast<ptrdiff_t>(std::min<double>(seconds * kRate, heard.size()));
        };
        return std::vector<float>(at(from), at(to));
    };
    // The logo's note sounds for two seconds; M at 1 s silences the rest of it.
    const std::vector<float> heard = Play(story, "1000 key M\n2600 quit\n");
    EXPECT_GT(test::Peak(stretch(heard, 0.0, 0.6), 0), 0.05f) << log;
    ASSERT_GT(heard.size(), static_cast<size_t>(1.5 * kRate));
    EXPECT_EQ(test::Peak(stretch(heard, 1.3, 99), 0), 0.0f);
    const std::vector<uint8_t> settings = test::ReadBytes(dir.File("config/kelvanovelrun/settings.ini"));
    EXPECT_EQ(std::string(settings.begin(), settings.end()), "mute = true\n");

    const std::vector<float> next = Play(story, "800 quit\n");
    EXPECT_EQ(test::Peak(next, 0), 0.0f) << "muted from the start";
}

TEST_F(PlayerSoundTest, StoryWithoutSoundOpensNoDeviceAndLoadsNoSoundFont)
{
    const std::vector<float> heard = Play(test::NovelParts(), "1000 quit\n", "--verbose");
    // The audio device opens with the first sound: nothing was ever written to it.
    EXPECT_TRUE(heard.empty());
    // The synthesizer says which SoundFont it took, or that it found none, only when it is
    // started: a story without music must not pay for it.
    EXPECT_EQ(log.find("SoundFont"), std::string::npos) << log;
    EXPECT_NE(log.find("start-up: "), std::string::npos) << "--verbose times the start-up";
}

}  // namespace
}  // namespace kelva
