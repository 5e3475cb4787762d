#include "platform/sdl/SdlAudioOutput.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/linux/SteadyClock.h"
#include "support/EnvironmentGuard.h"

namespace kelva {
namespace {

class CountingSource final : public AudioSource {
public:
    bool MixInto(float*, size_t frames) override
    {
        framesPulled += frames;
        return true;
    }
    std::atomic<size_t> framesPulled{0};
};

TEST(SdlAudioOutputTest, TheDevicePullsFromTheMixerUntilItIsClosed)
{
    test::EnvironmentGuard environment;
    environment.Set("SDL_AUDIODRIVER", "dummy");
    AudioMixer mixer;
    auto source = std::make_shared<CountingSource>();
    mixer.Add(source);
    {
        SdlAudioOutput output(mixer);
        ASSERT_TRUE(output.IsOpen()) << output.Error();
        EXPECT_EQ(output.Error(), "");
        SteadyClock clock;
        const int64_t deadline = clock.NowMs() + 5000;
        while (source->framesPulled == 0 && clock.NowMs() < deadline) clock.SleepUntil(clock.NowMs() + 5);
        EXPECT_GT(source->framesPulled, 0u);
    }
    const size_t pulled = source->framesPulled;
    SteadyClock clock;
    clock.SleepUntil(clock.NowMs() + 100);
    EXPECT_EQ(source->framesPulled, pulled);
}

TEST(SdlAudioOutputTest, TheDeviceOpensWithTheFirstSource)
{
    test::EnvironmentGuard environment;
    environment.Set("SDL_AUDIODRIVER", "dummy");
    AudioMixer mixer;
    SdlAudioOutput output(mixer);
    EXPECT_FALSE(output.IsOpen()) << "nothing to play: no device, no audio thread";
    auto source = std::make_shared<CountingSource>();
    mixer.Add(source);
    EXPECT_TRUE(output.IsOpen()) << output.Error();
    SteadyClock clock;
    const int64_t deadline = clock.NowMs() + 5000;
    while (source->framesPulled == 0 && clock.NowMs() < deadline) clock.SleepUntil(clock.NowMs() + 5);
    EXPECT_GT(source->framesPulled, 0u);
}

TEST(SdlAudioOutputTest, NoDeviceMeansNoSoundAndAReason)
{
    test::EnvironmentGuard environment;
    environment.Set("SDL_AUDIODRIVER", "no-such-driver");
    AudioMixer mixer;
    std::vector<std::string> logged;
    SdlAudioOutput output(mixer, [&](const std::string& text) { logged.push_back(text); });
    mixer.Add(std::make_shared<CountingSource>());
    mixer.Add(std::make_shared<CountingSource>());
    EXPECT_FALSE(output.IsOpen());
    EXPECT_NE(output.Error(), "");
    EXPECT_EQ(logged.size(), 1u) << "tried once, not at every sound";
}

}  // namespace
}  // namespace kelva
