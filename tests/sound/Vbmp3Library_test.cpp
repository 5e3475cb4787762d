// The built libvbmp3.so, loaded as the player loads it.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstring>
#include <set>
#include <sstream>

#include "platform/headless/RecordingMessageBox.h"
#include "platform/linux/DlLibraryLoader.h"
#include "platform/linux/SteadyClock.h"
#include "sound/AudioMixer.h"
#include "sound/Vbmp3.h"
#include "support/EnvironmentGuard.h"
#include "support/SoundFiles.h"
#include "support/TestFiles.h"
#include "vbmp3/vbmp3.h"

namespace kelva {
namespace {

const std::string kLibraryPath = std::string(KELVA_BIN_DIR) + "/libvbmp3.so";

// The library's functions, looked up by name.
struct Api {
    explicit Api(DynamicLibrary& library) : m_library(library) {}
    template <typename Fn>
    Fn Get(const char* name) const
    {
        void* symbol = m_library.Symbol(name);
        if (!symbol) throw std::runtime_error(std::string("missing ") + name);
        return reinterpret_cast<Fn>(symbol);
    }

    DynamicLibrary& m_library;
    decltype(&vbmp3_init) init = Get<decltype(&vbmp3_init)>("vbmp3_init");
    decltype(&vbmp3_free) free = Get<decltype(&vbmp3_free)>("vbmp3_free");
    decltype(&vbmp3_open) open = Get<decltype(&vbmp3_open)>("vbmp3_open");
    decltype(&vbmp3_close) close = Get<decltype(&vbmp3_close)>("vbmp3_close");
    decltype(&vbmp3_getState) getState = Get<decltype(&vbmp3_getState)>("vbmp3_getState");
    decltype(&vbmp3_play) play = Get<decltype(&vbmp3_play)>("vbmp3_play");
    decltype(&vbmp3_stop) stop = Get<decltype(&vbmp3_stop)>("vbmp3_stop");
    decltype(&vbmp3_pause) pause = Get<decltype(&vbmp3_pause)>("vbmp3_pause");
    decltype(&vbmp3_restart) restart = Get<decltype(&vbmp3_restart)>("vbmp3_restart");
    decltype(&vbmp3_seek) seek = Get<decltype(&vbmp3_seek)>("vbmp3_seek");
    decltype(&vbmp3_setVolume) setVolume = Get<decltype(&vbmp3_setVolume)>("vbmp3_setVolume");
    decltype(&vbmp3_getVersion) getVersion = Get<decltype(&vbmp3_getVersion)>("vbmp3_getVersion");
    decltype(&vbmp3_getTagInfo) getTagInfo = Get<decltype(&vbmp3_getTagInfo)>("vbmp3_getTagInfo");
    decltype(&vbmp3_getMpegInfo) getMpegInfo = Get<decltype(&vbmp3_getMpegInfo)>("vbmp3_getMpegInfo");
    decltype(&vbmp3_getWinampPlayMs) getPlayMs =
        Get<decltype(&vbmp3_getWinampPlayMs)>("vbmp3_getWinampPlayMs");
    decltype(&vbmp3_getWinampTotalSec) getTotalSec =
        Get<decltype(&vbmp3_getWinampTotalSec)>("vbmp3_getWinampTotalSec");
    decltype(&vbmp3_setMixer) setMixer = Get<decltype(&vbmp3_setMixer)>("vbmp3_setMixer");
};

class Vbmp3LibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library) << "can't load " << kLibraryPath;
        api = std::make_unique<Api>(*library);
        ASSERT_EQ(api->init(), 1);
        ASSERT_EQ(api->setMixer(&mixer), 1);
        test::WriteTones(dir.File("se01.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, {440, 660}, 2.0);
        test::WriteTones(dir.File("bgm.mp3"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, {440}, 3.0,
                         "Evening Bell");
    }
    void TearDown() override
    {
        if (api) api->free();  // the library's state outlives the test otherwise
    }

    std::vector<float> Render(size_t frames)
    {
        std::vector<float> out(2 * frames);
        mixer.Render(out.data(), frames);
        return out;
    }

    test::TempDir dir;
    AudioMixer mixer;
    std::unique_ptr<DynamicLibrary> library = DlLibraryLoader().Load(kLibraryPath);
    std::unique_ptr<Api> api;
};

TEST_F(Vbmp3LibraryTest, ExportsExactlyTheCFunctions)
{
    const auto listing = test::RunCommand("nm -D --defined-only " + kLibraryPath);
    ASSERT_EQ(listing.status, 0);
    std::set<std::string> exported;
    std::istringstream lines(listing.output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string address, type, name;
        fields >> address >> type >> name;
        if (!name.empty()) exported.insert(name);
    }
    std::set<std::string> expected(Mp3Library::kFunctionNames.begin(), Mp3Library::kFunctionNames.end());
    expected.insert("vbmp3_setMixer");
    EXPECT_EQ(exported, expected);
    EXPECT_EQ(library->Symbol("_ZN5kelva10AudioMixer6RenderEPfm"), nullptr);  // AudioMixer::Render
}

TEST_F(Vbmp3LibraryTest, PlaysAWaveIntoTheGivenMixerUntilStopped)
{
    EXPECT_EQ(api->getVersion(), 100);
    EXPECT_EQ(api->getState(nullptr), VBMP3_STATE_CLOSED);
    EXPECT_EQ(api->play(), 0);

    vbmp3_Info info;
    std::memset(&info, 0xAB, sizeof info);
    ASSERT_EQ(api->open(dir.File("se01.wav").c_str(), &info), 1);
    EXPECT_EQ(info.size, VBMP3_INFO_SIZE);
    EXPECT_EQ(info.kind, VBMP3_KIND_WAVE);
    EXPECT_EQ(info.stream.version, 0);
    EXPECT_EQ(info.stream.sampleRate, 22050);
    EXPECT_EQ(info.stream.channels, 2);
    EXPECT_EQ(info.stream.totalMs, 2000);
    EXPECT_EQ(info.title[0], '\0');
    vbmp3_TagInfo tag;
    EXPECT_EQ(api->getTagInfo(&tag), 0);  // a WAVE has no tag
    EXPECT_EQ(api->getState(nullptr), VBMP3_STATE_STOPPED);
    EXPECT_EQ(api->getTotalSec(), 2);

    ASSERT_EQ(api->play(), 1);
    EXPECT_EQ(api->getState(nullptr), VBMP3_STATE_PLAYING);
    const auto heard = Render(44100);
    EXPECT_NEAR(test::RisingCrossings(heard, 0), 440, 2);
    EXPECT_NEAR(test::RisingCrossings(heard, 1), 660, 2);
    int seconds = -1;
    EXPECT_EQ(api->getState(&seconds), VBMP3_STATE_PLAYING);
    EXPECT_EQ(seconds, 1);
    EXPECT_EQ(api->getPlayMs(), 1000);

    ASSERT_EQ(api->stop(), 1);
    EXPECT_EQ(test::Peak(Render(4410), 0), 0.0f);
    EXPECT_EQ(api->getState(&seconds), VBMP3_STATE_STOPPED);
    EXPECT_EQ(seconds, 0);  // back at the start
    EXPECT_EQ(api->close(), 1);
    EXPECT_EQ(api->getState(nullptr), VBMP3_STATE_CLOSED);
    EXPECT_EQ(api->close(), 1);
}

TEST_F(Vbmp3LibraryTest, Mp3InformationAndTag)
{
    vbmp3_Info info{};
    ASSERT_EQ(api->open(dir.File("bgm.mp3").c_str(), &info), 1);
    EXPECT_EQ(info.kind, VBMP3_KIND_MPEG);
    EXPECT_STREQ(info.title, "Evening Bell");

    vbmp3_MpegInfo mpeg{};
    ASSERT_EQ(api->getMpegInfo(&mpeg), 1);
    EXPECT_EQ(mpeg.version, 10);
    EXPECT_EQ(mpeg.layer, 3);
    EXPECT_GT(mpeg.bitrate, 0);
    EXPECT_EQ(mpeg.sampleRate, 44100);
    EXPECT_EQ(mpeg.channels, 1);
    EXPECT_EQ(mpeg.totalMs, 3000);
    EXPECT_EQ(std::memcmp(&mpeg, &info.stream, sizeof mpeg), 0);

    vbmp3_TagInfo tag{};
    ASSERT_EQ(api->getTagInfo(&tag), 1);
    EXPECT_STREQ(tag.title, "Evening Bell");
    EXPECT_EQ(api->getTotalSec(), 3);
}

TEST_F(Vbmp3LibraryTest, Mp3PauseRestartSeekVolumeAndTheEnd)
{
    ASSERT_EQ(api->open(dir.File("bgm.mp3").c_str(), nullptr), 1);
    EXPECT_EQ(api->pause(), 0);  // not playing
    ASSERT_EQ(api->play(), 1);
    EXPECT_GT(test::Peak(Render(4410), 0), 0.4f);

    ASSERT_EQ(api->pause(), 1);
    EXPECT_EQ(api->getState(nullptr), VBMP3_STATE_PAUSED);
    EXPECT_EQ(test::Peak(Render(4410), 0), 0.0f);
    EXPECT_EQ(api->getPlayMs(), 100);
    ASSERT_EQ(api->restart(), 1);
    EXPECT_EQ(api->getState(nullptr), VBMP3_STATE_PLAYING);

    ASSERT_EQ(api->setVolume(0, 100), 1);
    auto heard = Render(4410);
    EXPECT_EQ(test::Peak(heard, 0), 0.0f);
    EXPECT_GT(test::Peak(heard, 1), 0.4f);

    ASSERT_EQ(api->seek(2), 1);
    EXPECT_EQ(api->getPlayMs(), 2000);
    EXPECT_EQ(api->seek(10), 0);  // beyond the end
    heard = Render(2 * 44100);    // the last second, then silence
    EXPECT_NEAR(test::RisingCrossings(heard, 1), 440, 3);
    EXPECT_EQ(api->getState(nullptr), VBMP3_STATE_STOPPED);

    // Played out: play starts from the beginning again.
    ASSERT_EQ(api->play(), 1);
    Render(4410);
    EXPECT_EQ(api->getPlayMs(), 100);
}

TEST_F(Vbmp3LibraryTest, OpeningAFileThatIsNoSoundFails)
{
    test::WriteBytes(dir.File("broken.mp3"), std::vector<uint8_t>(5000, 0x20));
    ASSERT_EQ(api->open(dir.File("se01.wav").c_str(), nullptr), 1);
    EXPECT_EQ(api->open(dir.File("broken.mp3").c_str(), nullptr), 0);
    EXPECT_EQ(api->getState(nullptr), VBMP3_STATE_CLOSED);  // the earlier file was closed
    EXPECT_EQ(api->open(dir.File("missing.mp3").c_str(), nullptr), 0);
    EXPECT_EQ(api->open(nullptr, nullptr), 0);
}

TEST_F(Vbmp3LibraryTest, WithoutAMixerItPlaysOnAnAudioDeviceOfItsOwn)
{
    test::EnvironmentGuard environment;
    environment.Set("SDL_AUDIODRIVER", "dummy");
    ASSERT_EQ(api->setMixer(nullptr), 1);
    ASSERT_EQ(api->open(dir.File("se01.wav").c_str(), nullptr), 1);
    ASSERT_EQ(api->play(), 1);
    SteadyClock clock;
    const int64_t deadline = clock.NowMs() + 5000;
    while (api->getPlayMs() == 0 && clock.NowMs() < deadline) clock.SleepUntil(clock.NowMs() + 5);
    EXPECT_GT(api->getPlayMs(), 0);
    EXPECT_EQ(test::Peak(Render(100), 0), 0.0f);  // nothing reaches the player's mixer
    EXPECT_EQ(api->free(), 1);                    // closes the device
}

TEST_F(Vbmp3LibraryTest, TheBindingLoadsTheBuiltLibrary)
{
    api->free();
    RecordingMessageBox messages(false);
    DlLibraryLoader loader;
    Mp3Library binding;
    ASSERT_TRUE(binding.LoadMp3Library(loader, messages, KELVA_BIN_DIR));
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(binding.Version(), 100);
    ASSERT_TRUE(binding.SetMixer(&mixer));
    ASSERT_TRUE(binding.Open(dir.File("bgm.mp3")));
    ASSERT_TRUE(binding.Play());
    EXPECT_GT(test::Peak(Render(4410), 0), 0.4f);
    EXPECT_TRUE(binding.Stop() && binding.Close());
    EXPECT_EQ(test::Peak(Render(4410), 0), 0.0f);
}

}  // namespace
}  // namespace kelva
