#include "sound/CueSheet.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "sound/CdDriveList.h"
#include "sound/CdTestDisc.h"
#include "sound/DiscImage.h"
#include "sound/DiscImageDrive.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

using test::DataSectors;
using test::SineFrames;
using test::TempDir;
using test::ToneSectors;
using test::WriteBytes;

std::vector<uint8_t> Concat(std::vector<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

void WriteText(const std::string& path, const std::string& text)
{
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// The first `frames` frames a disc image plays from `sector`.
std::vector<int16_t> ReadFrames(const DiscImage& disc, int32_t sector, size_t frames)
{
    std::string error;
    auto stream = disc.ReadAudio(sector, disc.Sectors(), error);
    EXPECT_TRUE(stream) << error;
    std::vector<int16_t> samples(frames * 2);
    if (stream) {
        EXPECT_EQ(stream->Read(samples.data(), frames), frames);
    }
    return samples;
}

std::string ParseError(const std::string& text)
{
    std::string error;
    EXPECT_FALSE(CueSheet::Parse(text, "disc.cue", error)) << text;
    return error;
}

TEST(CueSheetTest, ReadsTheCommandsInAnyCaseWithQuotedNamesAndCrLf)
{
    const std::string text =
        "\xEF\xBB\xBFREM made by hand\r\n"
        "PERFORMER \"Someone\"\r\n"
        "file \"Track One.bin\" binary\r\n"
        "  Track 01 Mode1/2048\r\n"
        "    index 01 00:00:00\r\n"
        "FILE tracks.bin MOTOROLA\r\n"
        "  TRACK 02 AUDIO\r\n"
        "    FLAGS DCP\r\n"
        "    PREGAP 00:02:00\r\n"
        "    INDEX 01 00:00:00\r\n"
        "  TRACK 03 AUDIO\r\n"
        "    INDEX 00 01:00:00\r\n"
        "    INDEX 01 01:02:10\r\n"
        "    INDEX 02 01:03:00\r\n"
        "    POSTGAP 00:00:30\r\n";
    std::string error;
    const std::optional<CueSheet> sheet = CueSheet::Parse(text, "disc.cue", error);
    ASSERT_TRUE(sheet) << error;
    ASSERT_EQ(sheet->Files.size(), 2u);
    EXPECT_EQ(sheet->Files[0].Name, "Track One.bin");
    EXPECT_EQ(sheet->Files[1].Type, CueFileType::Motorola);
    ASSERT_EQ(sheet->Tracks.size(), 3u);
    EXPECT_FALSE(sheet->Tracks[0].Audio);
    EXPECT_EQ(sheet->Tracks[0].SectorBytes, 2048);
    EXPECT_EQ(sheet->Tracks[1].File, 1);
    EXPECT_EQ(sheet->Tracks[1].Pregap, 150);
    EXPECT_EQ(sheet->Tracks[2].Index0, 60 * 75);
    EXPECT_EQ(sheet->Tracks[2].Index1, 62 * 75 + 10);
    EXPECT_EQ(sheet->Tracks[2].Postgap, 30);
}

TEST(CueSheetTest, NamesTheFileAndLineOfWhatIsWrong)
{
    const std::string file = "FILE \"a.bin\" BINARY\n";
    const std::string track1 = file + "TRACK 01 AUDIO\nINDEX 01 00:00:00\n";
    struct Case {
        std::string Text;
        std::string Error;
    };
    const std::vector<Case> cases = {
        {"TRACK 01 AUDIO\n", "disc.cue:1: TRACK before any FILE"},
        {file + "TRACK 01 AUDIO\r\nINDEX 01 00:00:00\r\nBOGUS 1\r\n",
         "disc.cue:4: unknown command \"BOGUS\""},
        {file + "TRACK 02 AUDIO\n", "disc.cue:2: track 2 where track 1 was expected"},
        {track1 + "TRACK 03 AUDIO\n", "disc.cue:4: track 3 where track 2 was expected"},
        {file + "TRACK 123456789 AUDIO\n", "disc.cue:2: bad track number \"123456789\""},
        {file + "TRACK 01 AUDIO\nINDEX 01 00:60:00\n", "disc.cue:3: bad time \"00:60:00\""},
        {file + "TRACK 01 AUDIO\nINDEX 01 00:00:75\n", "disc.cue:3: bad time"},
        {file + "TRACK 01 AUDIO\nINDEX 01 99999999999:00:00\n", "disc.cue:3: bad time"},
        {file + "TRACK 01 AUDIO\nINDEX 01 1:2\n", "disc.cue:3: bad time"},
        {file + "TRACK 01 AUDIO\nINDEX 00 00:00:00\n", "disc.cue:2: track 1 has no INDEX 01"},
        {file + "TRACK 01 AUDIO\nINDEX 02 00:00:00\n", "disc.cue:3: INDEX 02 before INDEX 01"},
        {file + "TRACK 01 AUDIO\nINDEX 01 00:00:00\nINDEX 01 00:01:00\n",
         "disc.cue:4: INDEX 01 out of order"},
        {file + "TRACK 01 AUDIO\nINDEX 00 00:05:00\nINDEX 01 00:01:00\n",
         "disc.cue:4: INDEX 01 before INDEX 00"},
        {track1 + "TRACK 02 AUDIO\nINDEX 01 00:00:00\n",
         "disc.cue:5: time 00:00:00 is not after the start of track 1"},
        {"FILE \"a.bin\" ZIP\n", "disc.cue:1: unknown file type \"ZIP\""},
        {"FILE \"a.bin BINARY\n", "disc.cue:1: unterminated quotation mark"},
        {"FILE \"\" BINARY\n", "disc.cue:1: FILE with an empty name"},
        {"FILE a.wav WAVE\nTRACK 01 MODE1/2352\n", "disc.cue:2: data track in a sound file"},
        {track1 + "FILE b.bin BINARY\n", "disc.cue:4: FILE \"b.bin\" has no tracks"},
        {"INDEX 01 00:00:00\n", "disc.cue:1: INDEX outside a TRACK"},
        {"REM nothing\n", "disc.cue: no TRACK"},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseError(c.Text).substr(0, c.Error.size()), c.Error) << c.Text;

    std::string hundred = file;
    for (int track = 1; track <= 100; ++track) {
        hundred += "TRACK " + std::to_string(track) + " AUDIO\nINDEX 01 " + std::to_string(track / 75) +
                   ":00:" + std::to_string(track % 75) + "\n";
    }
    EXPECT_EQ(ParseError(hundred), "disc.cue:200: more than 99 tracks");
}

// A disc of three tracks: data (2 s), tone A (1.2 s), tone B (1 s).
class DiscImageTest : public ::testing::Test {
protected:
    void ExpectThreeTrackDisc(const DiscImage& disc, int32_t gapBeforeTrack2)
    {
        const std::vector<CdTrack>& tracks = disc.Tracks();
        ASSERT_EQ(tracks.size(), 3u);
        EXPECT_EQ(tracks[0].Start, 0);
        EXPECT_FALSE(tracks[0].Audio);
        EXPECT_EQ(tracks[1].Start, 150 + gapBeforeTrack2);
        EXPECT_TRUE(tracks[1].Audio);
        EXPECT_EQ(tracks[1].Length, 90);
        EXPECT_EQ(tracks[2].Length, 75);
        EXPECT_EQ(disc.Sectors(), 150 + gapBeforeTrack2 + 165);
        EXPECT_EQ(ReadFrames(disc, tracks[1].Start, 1000), SineFrames(test::kToneA, 1000));
        EXPECT_EQ(ReadFrames(disc, tracks[2].Start, 1000), SineFrames(test::kToneB, 1000));
        // Data sectors are never played as sound.
        const std::vector<int16_t> data = ReadFrames(disc, 0, 2000);
        EXPECT_EQ(data, std::vector<int16_t>(4000, 0));
    }

    std::unique_ptr<DiscImage> Load(const std::string& sheet)
    {
        const std::string path = m_dir.File("disc.cue");
        WriteText(path, sheet);
        std::string error;
        std::unique_ptr<DiscImage> disc = DiscImage::FromCueSheet(path, error);
        EXPECT_TRUE(disc) << error;
        return disc;
    }

    std::string LoadError(const std::string& sheet)
    {
        const std::string path = m_dir.File("disc.cue");
        WriteText(path, sheet);
        std::string error;
        EXPECT_FALSE(DiscImage::FromCueSheet(path, error));
        return error;
    }

    TempDir m_dir;
};

TEST_F(DiscImageTest, OneBinaryFileWithAGapBeforeTrackTwo)
{
    // Track 2's gap lies in the file (INDEX 00): it belongs before the track's start.
    WriteBytes(m_dir.File("disc.bin"),
               Concat({DataSectors(150), ToneSectors(0, 30), ToneSectors(test::kToneA, 90),
                       ToneSectors(test::kToneB, 75)}));
    auto disc = Load(
        "FILE \"disc.bin\" BINARY\n"
        "  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n"
        "  TRACK 02 AUDIO\n    INDEX 00 00:02:00\n    INDEX 01 00:02:30\n"
        "  TRACK 03 AUDIO\n    INDEX 01 00:03:45\n");
    ASSERT_TRUE(disc);
    ExpectThreeTrackDisc(*disc, 30);
}

TEST_F(DiscImageTest, OneFilePerTrackMixedSectorSizesAndPregap)
{
    std::filesystem::create_directory(m_dir.Path() / "Audio Files");
    WriteBytes(m_dir.File("DATA.BIN"), DataSectors(150, 2048));
    WriteBytes(m_dir.File("Audio Files/Track 2.bin"), ToneSectors(test::kToneA, 90));
    WriteBytes(m_dir.File("Audio Files/Track 3.bin"), ToneSectors(test::kToneB, 75));
    // Names as a system that ignores letter case and separates folders with "\" wrote them.
    auto disc = Load(
        "FILE \"data.bin\" BINARY\r\n  TRACK 01 MODE1/2048\r\n    INDEX 01 00:00:00\r\n"
        "FILE \"audio files\\track 2.BIN\" BINARY\r\n  TRACK 02 AUDIO\r\n    PREGAP 00:00:20\r\n"
        "    INDEX 01 00:00:00\r\n"
        "FILE \"Audio Files/Track 3.bin\" BINARY\r\n  TRACK 03 AUDIO\r\n    INDEX 01 00:00:00\r\n");
    ASSERT_TRUE(disc);
    ExpectThreeTrackDisc(*disc, 20);
}

TEST_F(DiscImageTest, MotorolaFilesHoldBigEndianSamples)
{
    WriteBytes(m_dir.File("disc.bin"), Concat({DataSectors(150), ToneSectors(test::kToneA, 90, true),
                                               ToneSectors(test::kToneB, 75, true)}));
    auto disc = Load(
        "FILE disc.bin MOTOROLA\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:02:00\n"
        "TRACK 03 AUDIO\nINDEX 01 00:03:15\n");
    ASSERT_TRUE(disc);
    ExpectThreeTrackDisc(*disc, 0);
}

TEST_F(DiscImageTest, WaveFilesAreDecodedSampleForSampleOrResampled)
{
    WriteBytes(m_dir.File("data.bin"), DataSectors(150));
    WriteBytes(m_dir.File("a.wav"), test::WaveFile(SineFrames(test::kToneA, 90 * 588), 44100, 2));
    // Not CD samples: 22050 Hz mono goes through the decoder and comes out at 44100 Hz.
    std::vector<int16_t> mono;
    const std::vector<int16_t> stereo = SineFrames(test::kToneB, 75 * 294, 22050);
    for (size_t i = 0; i < stereo.size(); i += 2) mono.push_back(stereo[i]);
    WriteBytes(m_dir.File("b.wav"), test::WaveFile(mono, 22050, 1));
    auto disc = Load(
        "FILE data.bin BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\n"
        "FILE a.wav WAVE\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n"
        "FILE b.wav WAVE\nTRACK 03 AUDIO\nINDEX 01 00:00:00\n");
    ASSERT_TRUE(disc);
    const std::vector<CdTrack>& tracks = disc->Tracks();
    ASSERT_EQ(tracks.size(), 3u);
    EXPECT_EQ(tracks[1].Length, 90);
    EXPECT_EQ(tracks[2].Length, 75);
    EXPECT_EQ(ReadFrames(*disc, tracks[1].Start, 1000), SineFrames(test::kToneA, 1000));
    // Resampled: near the tone, not bit for bit.
    const std::vector<int16_t> decoded = ReadFrames(*disc, tracks[2].Start + 10, 4410);
    std::vector<float> mix(decoded.begin(), decoded.end());
    for (float& sample : mix) sample /= 32768.0f;
    EXPECT_EQ(test::Classify(mix.data(), 4410, 44100), test::Heard::ToneB);
}

TEST_F(DiscImageTest, FilesThatDoNotFitTheSheetAreErrors)
{
    EXPECT_EQ(LoadError("FILE \"missing.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"),
              m_dir.File("disc.cue") + ":1: FILE \"missing.bin\" not found");

    WriteBytes(m_dir.File("short.bin"), ToneSectors(test::kToneA, 75));
    EXPECT_EQ(LoadError("FILE short.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n"
                        "INDEX 01 00:01:00\n"),
              m_dir.File("disc.cue") + ":5: track 2 starts beyond the end of \"short.bin\"");

    WriteBytes(m_dir.File("noise.wav"), std::vector<uint8_t>(5000, 0x31));
    EXPECT_EQ(LoadError("FILE noise.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n")
                  .rfind(m_dir.File("disc.cue") + ":1: ", 0),
              0u);

    const std::string path = m_dir.File("huge.cue");
    WriteBytes(path, std::vector<uint8_t>(2 << 20, 'x'));
    std::string error;
    EXPECT_FALSE(DiscImage::FromCueSheet(path, error));
    EXPECT_EQ(error, path + ": too large for a CUE sheet");
    EXPECT_FALSE(DiscImage::FromCueSheet(m_dir.File("absent.cue"), error));
    EXPECT_EQ(error.rfind(m_dir.File("absent.cue") + ": cannot be read", 0), 0u);
}

TEST_F(DiscImageTest, DamagedSheetsFailCleanly)
{
    WriteBytes(m_dir.File("a b.bin"), Concat({DataSectors(150), ToneSectors(test::kToneA, 600)}));
    WriteBytes(m_dir.File("c.wav"), test::WaveFile(SineFrames(test::kToneB, 100 * 588), 44100, 2));
    const std::string good =
        "FILE \"a b.bin\" BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nPREGAP 00:02:00\n"
        "INDEX 00 00:04:00\nINDEX 01 00:06:00\nFILE c.wav WAVE\nTRACK 03 AUDIO\nINDEX 01 00:00:00\n";
    const std::string path = m_dir.File("disc.cue");
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        std::string text = good;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) {
            const size_t at = random() % text.size();
            switch (random() % 3) {
                case 0:
                    text[at] = static_cast<char>(random());
                    break;
                case 1:
                    text.erase(at, 1 + random() % 8);
                    break;
                default:
                    text.insert(at, std::string(1 + random() % 3, "0:9\" \n"[random() % 6]));
                    break;
            }
        }
        WriteText(path, text);
        std::string error;
        std::unique_ptr<DiscImage> disc = DiscImage::FromCueSheet(path, error);
        if (!disc) {
            EXPECT_EQ(error.rfind(path + ":", 0), 0u) << error;
            continue;
        }
        // Whatever was accepted can be played anywhere.
        for (const CdTrack& track : disc->Tracks()) {
            auto stream = disc->ReadAudio(track.Start, track.Start + track.Length, error);
            ASSERT_TRUE(stream) << error;
            std::vector<int16_t> samples(2 * 600);
            stream->Read(samples.data(), 600);
        }
    }
}

TEST_F(DiscImageTest, ARippedFolderKeepsTheTrackNumbers)
{
    const std::filesystem::path folder = m_dir.Path() / "CD";
    std::filesystem::create_directory(folder);
    // Track 1 (the game's data) was never ripped; names in any case, with or without a
    // leading zero; files that are no tracks are ignored.
    WriteBytes((folder / "Track02.WAV").string(),
               test::WaveFile(SineFrames(test::kToneA, 90 * 588), 44100, 2));
    WriteText((folder / "readme.txt").string(), "not a track");
    WriteText((folder / "track100.wav").string(), "not a track either");
    {
        // Track 4 in FLAC, through the decoder; its length is the decoder's.
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = 2;
        info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open((folder / "track4.flac").string().c_str(), SFM_WRITE, &info);
        ASSERT_TRUE(file);
        const std::vector<int16_t> samples = SineFrames(test::kToneB, 44100 + 100);
        sf_writef_short(file, samples.data(), 44100 + 100);
        sf_close(file);
    }

    std::string error;
    std::unique_ptr<DiscImage> disc = DiscImage::FromTrackFolder(folder.string(), error);
    ASSERT_TRUE(disc) << error;
    const std::vector<CdTrack>& tracks = disc->Tracks();
    ASSERT_EQ(tracks.size(), 4u);
    EXPECT_FALSE(tracks[0].Audio);
    EXPECT_TRUE(tracks[1].Audio);
    EXPECT_FALSE(tracks[2].Audio);
    EXPECT_EQ(tracks[1].Length, 90);
    EXPECT_EQ(tracks[3].Length, 76);  // a partial last sector counts
    EXPECT_EQ(ReadFrames(*disc, tracks[1].Start, 1000), SineFrames(test::kToneA, 1000));
    EXPECT_EQ(ReadFrames(*disc, tracks[3].Start, 1000), SineFrames(test::kToneB, 1000));

    EXPECT_FALSE(DiscImage::FromTrackFolder(m_dir.Path().string(), error));
    EXPECT_EQ(error, m_dir.Path().string() + ": holds no tracks (track02.ogg and so on)");
    WriteText((folder / "track05.ogg").string(), "broken");
    EXPECT_FALSE(DiscImage::FromTrackFolder(folder.string(), error));
    EXPECT_NE(error.find("track05.ogg"), std::string::npos) << error;
}

TEST_F(DiscImageTest, TheDriveListPutsImageAndFolderFirst)
{
    WriteBytes(m_dir.File("a.bin"), ToneSectors(test::kToneA, 75));
    WriteText(m_dir.File("disc.cue"), "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
    std::filesystem::create_directory(m_dir.Path() / "Cd");
    WriteBytes(m_dir.File("Cd/track02.wav"), test::WaveFile(SineFrames(test::kToneA, 588), 44100, 2));

    // The system's drive list stands in as one more image.
    const SystemCdDrives system = [this] {
        std::string error;
        std::vector<std::unique_ptr<CdDrive>> found;
        auto disc = DiscImage::FromCueSheet(m_dir.File("disc.cue"), error);
        found.push_back(std::make_unique<DiscImageDrive>("/dev/cdrom", std::move(disc)));
        return found;
    };

    std::vector<std::string> problems;
    auto drives = FindCdDrives(m_dir.File("disc.cue"), m_dir.Path().string(), system, problems);
    EXPECT_TRUE(problems.empty());
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives[0]->Name(), m_dir.File("disc.cue"));
    EXPECT_EQ(drives[1]->Name(), m_dir.File("Cd"));
    EXPECT_EQ(drives[2]->Name(), "/dev/cdrom");

    // A broken image is reported and left out; no image named means none is tried.
    WriteText(m_dir.File("broken.cue"), "TRACK 01 AUDIO\n");
    problems.clear();
    drives = FindCdDrives(m_dir.File("broken.cue"), m_dir.File("elsewhere"), system, problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], m_dir.File("broken.cue") + ":1: TRACK before any FILE");
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0]->Name(), "/dev/cdrom");
    problems.clear();
    EXPECT_EQ(FindCdDrives("", m_dir.File("elsewhere"), system, problems).size(), 1u);
    EXPECT_TRUE(problems.empty());
}

}  // namespace
}  // namespace kelva
