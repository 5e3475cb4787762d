#include "sound/AudioMixer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace kelva {
namespace {

// Adds a constant level for a number of frames, then reports the end.
class LevelSource final : public AudioSource {
public:
    LevelSource(float left, float right, size_t frames = SIZE_MAX)
        : m_left(left), m_right(right), m_remaining(frames)
    {
    }
    bool MixInto(float* mix, size_t frames) override
    {
        ++calls;
        const size_t n = std::min(frames, m_remaining);
        for (size_t i = 0; i < n; ++i) {
            mix[2 * i] += m_left;
            mix[2 * i + 1] += m_right;
        }
        m_remaining -= n;
        return m_remaining > 0;
    }
    std::atomic<int> calls{0};

private:
    float m_left;
    float m_right;
    size_t m_remaining;
};

TEST(AudioMixerTest, SourcesAddUpAndTheSumIsClippedToFullScale)
{
    AudioMixer mixer;
    auto a = std::make_shared<LevelSource>(0.25f, -0.5f);
    auto b = std::make_shared<LevelSource>(0.5f, -0.75f);
    mixer.Add(a);
    mixer.Add(b);
    mixer.Add(a);  // already there: mixed once

    std::vector<float> out(8);
    mixer.Render(out.data(), 4);
    EXPECT_FLOAT_EQ(out[0], 0.75f);
    EXPECT_FLOAT_EQ(out[1], -1.0f);  // −1.25 clipped

    std::vector<int16_t> pcm(8);
    mixer.Render(pcm.data(), 4);
    EXPECT_EQ(pcm[0], 24575);
    EXPECT_EQ(pcm[1], -32767);
    EXPECT_EQ(a->calls, 2);
}

TEST(AudioMixerTest, GainScalesTheSumBeforeClippingAndMuteSilencesItWhileSourcesPlayOn)
{
    AudioMixer mixer;
    auto source = std::make_shared<LevelSource>(0.5f, -1.5f, 12);
    mixer.Add(source);
    std::vector<float> out(8);
    mixer.SetGain(0.25f);
    mixer.Render(out.data(), 4);
    EXPECT_FLOAT_EQ(out[0], 0.125f);
    EXPECT_FLOAT_EQ(out[1], -0.375f);  // scaled first: not clipped to -1 and then scaled

    mixer.SetMuted(true);
    mixer.Render(out.data(), 4);
    EXPECT_EQ(out, std::vector<float>(8, 0.0f));
    EXPECT_EQ(source->calls, 2) << "a muted source is still played, so it keeps its place";

    mixer.SetMuted(false);
    mixer.SetGain(1.0f);
    mixer.Render(out.data(), 4);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_FALSE(mixer.Contains(source.get())) << "muted frames count: it ended on time";
}

TEST(AudioMixerTest, AFinishedSourceIsHeardToItsEndAndThenDropped)
{
    AudioMixer mixer;
    auto shortSound = std::make_shared<LevelSource>(0.5f, 0.5f, 3);
    mixer.Add(shortSound);
    std::vector<float> out(8);
    mixer.Render(out.data(), 4);
    EXPECT_EQ(out, (std::vector<float>{0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0}));
    EXPECT_FALSE(mixer.Contains(shortSound.get()));
    mixer.Render(out.data(), 4);
    EXPECT_EQ(shortSound->calls, 1);
    EXPECT_EQ(out, std::vector<float>(8, 0.0f));
}

TEST(AudioMixerTest, OnceRemoveReturnsTheSourceIsNeverMixedAgainWhileAnotherThreadRenders)
{
    AudioMixer mixer;
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> out(2 * 256);
        while (!done) mixer.Render(out.data(), 256);
    });
    for (int round = 0; round < 200; ++round) {
        auto source = std::make_shared<LevelSource>(0.1f, 0.1f);
        mixer.Add(source);
        while (source->calls == 0) std::this_thread::yield();
        mixer.Remove(source.get());
        const int calls = source->calls;
        std::this_thread::yield();
        EXPECT_EQ(source->calls, calls);
        EXPECT_FALSE(mixer.Contains(source.get()));
    }
    done = true;
    audio.join();
}

TEST(AudioMixerTest, TheAddHookRunsAfterEachAddOutsideTheLockUntilCleared)
{
    AudioMixer mixer;
    auto first = std::make_shared<LevelSource>(0.1f, 0.1f);
    std::vector<bool> seen;
    // The hook asks the mixer itself, as a starting device's first pull does: under the
    // mixer's lock this would never return.
    mixer.SetOnAdd([&] { seen.push_back(mixer.Contains(first.get())); });
    EXPECT_FALSE(mixer.HasSources());
    mixer.Add(first);
    mixer.Add(std::make_shared<LevelSource>(0.2f, 0.2f));
    EXPECT_EQ(seen, (std::vector<bool>{true, true}));
    EXPECT_TRUE(mixer.HasSources());
    mixer.SetOnAdd(nullptr);
    mixer.Add(std::make_shared<LevelSource>(0.3f, 0.3f));
    EXPECT_EQ(seen.size(), 2u);
}

}  // namespace
}  // namespace kelva
