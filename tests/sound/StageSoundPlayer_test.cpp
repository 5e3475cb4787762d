#include "sound/StageSoundPlayer.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <optional>

#include "data/PackageWriter.h"
#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingMessageBox.h"
#include "platform/headless/RecordingMidiPort.h"
#include "platform/linux/PrivateTemporaryFolder.h"
#include "support/EnvironmentGuard.h"
#include "support/SoundFiles.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ToneBytes(test::TempDir& dir, int format, const std::string& name)
{
    const std::string path = dir.File(name);
    test::WriteTones(path, format, 22050, {440.0}, 0.2);
    return test::ReadBytes(path);
}

// The sound player over a data folder (made current) and, when entries are given, a package.
class StageSoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir.Path() / "data");
        fs::create_directories(dir.Path() / "tmp");
        fs::current_path(dir.Path() / "data");
        environment.Set("TMPDIR", (dir.Path() / "tmp").string());
    }

    void Start(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& entries = {})
    {
        if (!entries.empty()) {
            PackageWriter writer;
            for (const auto& [name, bytes] : entries) writer.Add(name, bytes);
            auto bytes = std::make_unique<MemoryStream>();
            writer.WriteTo(*bytes);
            bytes->Seek(0, SeekOrigin::Begin);
            packageStream = std::move(bytes);
            package = std::make_unique<TReadPackageFile>();
            std::string error;
            ASSERT_TRUE(package->OpenStream(*packageStream, error)) << error;
        }
        media = std::make_unique<MediaFiles>(package.get());
        player = std::make_unique<StageSoundPlayer>(
            SoundServices{ports, clock, mixer, mp3, *media, messages, *temporary}, nullptr,
            MusicSettings{false, false, false, "Story"}, MidiThread::None);
    }

    // Renders a second of the mixer; true when anything but silence came out.
    bool Audible()
    {
        std::vector<float> out(static_cast<size_t>(mixer.SampleRate()) * 2);
        mixer.Render(out.data(), out.size() / 2);
        return test::Peak(out, 0) > 0.1f;
    }

    test::TempDir dir;
    test::CurrentDirectoryGuard cwd;
    test::EnvironmentGuard environment;
    ManualClock clock;
    RecordingMidiPorts ports{clock};
    AudioMixer mixer;
    Mp3Library mp3;  // never loaded: sounds go to the wave player
    RecordingMessageBox messages{false};
    std::optional<PrivateTemporaryFolder> temporary{std::in_place};
    std::unique_ptr<MemoryStream> packageStream;
    std::unique_ptr<TReadPackageFile> package;
    std::unique_ptr<MediaFiles> media;
    std::unique_ptr<StageSoundPlayer> player;
};

TEST_F(StageSoundPlayerTest, PackageSoundPlaysThroughAPrivateTemporaryFileThatIsCleanedUp)
{
    Start({{"se01.wav", ToneBytes(dir, SF_FORMAT_WAV | SF_FORMAT_PCM_16, "tone.wav")}});
    player->PlaySoundFile("se01");  // found with the extension .WAV (letter case ignored)
    const std::string file = player->TemporarySoundFile();
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(fs::path(file).filename(), "$KNOVELTEMP_SND$");
    // Never directly in the shared temporary folder: in the run's own.
    const fs::path folder = fs::path(file).parent_path();
    EXPECT_EQ(folder, temporary->Path());
    EXPECT_TRUE(player->SoundPlaying());
    EXPECT_TRUE(Audible());

    player->StopSoundFile();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(Audible());
    player->StopSoundFile();  // nothing playing: nothing happens, nothing fails
    player.reset();
    EXPECT_TRUE(fs::is_empty(folder));
    temporary.reset();
    EXPECT_TRUE(fs::is_empty(dir.Path() / "tmp"));
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(StageSoundPlayerTest, ATemporaryFileThatCannotBeWrittenIsReportedByTheWavePlayer)
{
    environment.Set("TMPDIR", (dir.Path() / "no such folder").string());
    Start({{"se01.wav", ToneBytes(dir, SF_FORMAT_WAV | SF_FORMAT_PCM_16, "tone.wav")}});
    player->PlaySoundFile("se01");
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].caption, "Story");
    EXPECT_NE(messages.Messages()[0].text.find("$KNOVELTEMP_SND$"), std::string::npos);
    EXPECT_FALSE(player->SoundPlaying());
    player->StopSoundFile();
}

TEST_F(StageSoundPlayerTest, DiskSoundsAreTriedAsWrittenThenAsWaveThenAsMp3)
{
    test::WriteTones((dir.Path() / "data" / "se01.WAV").string(), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050,
                     {440.0}, 0.2);
    Start();
    player->PlaySoundFile("se01.mp3");  // only se01.WAV exists: that one plays
    EXPECT_EQ(player->WavePlayer().FileName(), media->DiskPath("se01.WAV"));
    EXPECT_TRUE(player->SoundPlaying());
    EXPECT_TRUE(player->TemporarySoundFile().empty());

    player->PlaySoundFile("se01");  // a second sound stops the first
    EXPECT_TRUE(player->SoundPlaying());
    EXPECT_TRUE(Audible());
    // Played to its end, the sound no longer counts as playing.
    for (int i = 0; i < 3; ++i) Audible();
    EXPECT_FALSE(player->SoundPlaying());
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(StageSoundPlayerTest, MissingSoundsAndMp3WithoutTheLibraryAreReported)
{
    test::WriteTones((dir.Path() / "data" / "jingle.mp3").string(), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III,
                     22050, {440.0}, 0.3);
    Start();
    player->PlaySoundFile("se99");
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].caption, ".SoundPlay エラー");
    EXPECT_EQ(messages.Messages()[0].text, "ファイル se99 がありません.");

    player->PlaySoundFile("jingle");  // the wave player takes WAVE only
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[1].caption, "Story");
    EXPECT_FALSE(player->SoundPlaying());
}

TEST_F(StageSoundPlayerTest, MusicComesFromThePackageOrDiskAndBrokenFilesAreShown)
{
    // A format-0 song of one note.
    const std::vector<uint8_t> song = {'M', 'T', 'h', 'd',  0,   0,   0, 6,    0,    0,  0, 1,
                                       0,   96,  'M', 'T',  'r', 'k', 0, 0,    0,    12, 0, 0x90,
                                       60,  100, 96,  0x80, 60,  0,   0, 0xFF, 0x2F, 0};
    test::WriteBytes((dir.Path() / "data" / "Theme.mid").string(), song);
    Start({{"bgm\\title.mid", song}, {"bgm\\broken.mid", {'R', 'I', 'F', 'F'}}});
    player->PlayMusic("bgm\\title.mid", true);
    EXPECT_TRUE(player->Midi().Playing());
    EXPECT_TRUE(player->Midi().Looping());
    player->StopMusic();
    EXPECT_FALSE(player->Midi().Playing());

    player->PlayMusic("theme.mid", false);  // not in the package: from disk, letter case ignored
    EXPECT_TRUE(player->Midi().Playing());
    EXPECT_FALSE(player->Midi().Looping());
    EXPECT_TRUE(messages.Messages().empty());

    player->PlayMusic("bgm\\broken.mid", true);
    player->PlayMusic("nothing.mid", true);
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Messages()[0].text, TMidiDrive::kHeaderBroken);
    EXPECT_EQ(messages.Messages()[1].caption, "Story");
}

TEST_F(StageSoundPlayerTest, WithoutADriveTheCdIsNeverPlaying)
{
    Start();
    player->PlayCdTrack(2);
    EXPECT_FALSE(player->CdPlaying());
    EXPECT_FALSE(player->MediaPresent());
    EXPECT_FALSE(player->DecoderLibraryVersion().has_value());
}

}  // namespace
}  // namespace kelva
