#include "sound/WavePlayer.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <vector>

#include "support/SoundFiles.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

class WavePlayerTest : public ::testing::Test {
protected:
    // The next `frames` frames of the mixer's output.
    std::vector<float> Render(size_t frames)
    {
        std::vector<float> out(2 * frames);
        mixer.Render(out.data(), frames);
        return out;
    }
    void OpenTone(const std::string& name, double seconds)
    {
        test::WriteTones(dir.File(name), SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 22050, {440}, seconds);
        player.SetFileName(dir.File(name));
        player.Open();
    }

    test::TempDir dir;
    AudioMixer mixer;
    TWavePlayer player{mixer};
};

TEST_F(WavePlayerTest, PlaysAWaveOnceThroughTheMixer)
{
    EXPECT_EQ(player.Mode(), WavePlayerMode::NotOpen);
    OpenTone("se01.wav", 0.5);
    EXPECT_EQ(player.FileName(), dir.File("se01.wav"));
    EXPECT_EQ(player.Mode(), WavePlayerMode::Stopped);
    EXPECT_EQ(test::Peak(Render(1000), 0), 0.0f);  // open is not playing

    player.Play();
    EXPECT_EQ(player.Mode(), WavePlayerMode::Playing);
    const auto heard = Render(23000);
    EXPECT_NEAR(test::RisingCrossings(heard, 0), 220, 2);
    EXPECT_NEAR(test::RisingCrossings(heard, 1), 220, 2);
    EXPECT_EQ(player.Mode(), WavePlayerMode::Stopped);  // played to its end
    EXPECT_EQ(test::Peak(Render(1000), 0), 0.0f);

    player.Play();  // from the start again
    EXPECT_NEAR(test::RisingCrossings(Render(23000), 0), 220, 2);
}

TEST_F(WavePlayerTest, PauseStopAndClose)
{
    OpenTone("bgm.wav", 2.0);
    player.Play();
    Render(1000);
    player.Pause();
    EXPECT_EQ(player.Mode(), WavePlayerMode::Paused);
    EXPECT_EQ(test::Peak(Render(1000), 0), 0.0f);
    player.Play();
    EXPECT_EQ(player.Mode(), WavePlayerMode::Playing);
    EXPECT_GT(test::Peak(Render(1000), 0), 0.4f);

    player.Stop();
    EXPECT_EQ(player.Mode(), WavePlayerMode::Stopped);
    EXPECT_EQ(test::Peak(Render(1000), 0), 0.0f);
    player.Close();
    EXPECT_EQ(player.Mode(), WavePlayerMode::NotOpen);
    player.Close();  // closing a closed player does nothing
    EXPECT_THROW(player.Play(), EMCIDeviceError);
    EXPECT_THROW(player.Stop(), EMCIDeviceError);
}

TEST_F(WavePlayerTest, DestroyingThePlayerSilencesIt)
{
    {
        TWavePlayer local(mixer);
        test::WriteTones(dir.File("a.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, {440}, 1.0);
        local.SetFileName(dir.File("a.wav"));
        local.Open();
        local.Play();
        Render(100);
    }
    EXPECT_EQ(test::Peak(Render(1000), 0), 0.0f);
}

TEST_F(WavePlayerTest, RefusesAnythingButWave)
{
    test::WriteTones(dir.File("se.mp3"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, {440}, 0.5);
    test::WriteBytes(dir.File("mp3-in-riff.wav"),
                     test::Mp3InRiff(test::ReadBytes(dir.File("se.mp3")), 44100, 1));
    test::WriteTones(dir.File("se.ogg"), SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, {440}, 0.5);
    test::WriteBytes(dir.File("broken.wav"), {'R', 'I', 'F', 'F', 0, 0});
    for (const char* name : {"se.mp3", "mp3-in-riff.wav", "se.ogg", "broken.wav", "missing.wav"}) {
        SCOPED_TRACE(name);
        player.SetFileName(dir.File(name));
        try {
            player.Open();
            ADD_FAILURE() << "opened";
        } catch (const EMCIDeviceError& error) {
            EXPECT_NE(std::string(error.what()).find(dir.File(name)), std::string::npos) << error.what();
        }
        EXPECT_EQ(player.Mode(), WavePlayerMode::NotOpen);
    }
}

}  // namespace
}  // namespace kelva
