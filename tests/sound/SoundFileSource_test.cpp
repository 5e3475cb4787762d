#include "sound/SoundFileSource.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelva {
namespace {

// Frame i is (i + 1) / 100000 on the left and its negative on the right, for `frames`
// frames: distinct values, all far from clipping.
class RampDecoder final : public SoundDecoder {
public:
    explicit RampDecoder(size_t frames) : m_frames(frames) {}
    size_t Read(float* out, size_t frames) override
    {
        size_t n = 0;
        for (; n < frames && m_next < m_frames; ++n, ++m_next) {
            out[2 * n] = static_cast<float>(m_next + 1) / 100000;
            out[2 * n + 1] = -static_cast<float>(m_next + 1) / 100000;
        }
        return n;
    }
    bool Rewind() override
    {
        m_next = 0;
        return true;
    }
    int64_t Frames() const override { return static_cast<int64_t>(m_frames); }

private:
    size_t m_frames;
    size_t m_next = 0;
};

class SoundFileSourceTest : public ::testing::Test {
protected:
    std::shared_ptr<SoundFileSource> Play(size_t frames, SoundFileSource::Repeat repeat)
    {
        auto source = std::make_shared<SoundFileSource>(std::make_unique<RampDecoder>(frames), repeat);
        mixer.Add(source);
        return source;
    }
    // The left channel of the next `frames` frames.
    std::vector<float> RenderLeft(size_t frames)
    {
        std::vector<float> out(2 * frames);
        mixer.Render(out.data(), frames);
        std::vector<float> left;
        for (size_t i = 0; i < frames; ++i) left.push_back(out[2 * i]);
        return left;
    }
    static std::vector<float> Ramp(size_t from, size_t count)
    {
        std::vector<float> values;
        for (size_t i = from; i < from + count; ++i) values.push_back(static_cast<float>(i + 1) / 100000);
        return values;
    }

    AudioMixer mixer;
};

TEST_F(SoundFileSourceTest, PlaysOnceAcrossBlocksAndIsDroppedAtTheEnd)
{
    auto source = Play(2500, SoundFileSource::Repeat::Once);
    auto left = RenderLeft(2000);  // more than one decoding chunk at a time
    EXPECT_EQ(left, Ramp(0, 2000));
    EXPECT_EQ(source->Position(), 2000);

    left = RenderLeft(1000);
    EXPECT_EQ(std::vector<float>(left.begin(), left.begin() + 500), Ramp(2000, 500));
    EXPECT_EQ(left[500], 0.0f);
    EXPECT_TRUE(source->Finished());
    EXPECT_FALSE(mixer.Contains(source.get()));
}

TEST_F(SoundFileSourceTest, LoopingStartsAgainWithoutAGap)
{
    auto source = Play(300, SoundFileSource::Repeat::Loop);
    const auto left = RenderLeft(700);
    auto expected = Ramp(0, 300);
    for (float v : Ramp(0, 300)) expected.push_back(v);
    for (float v : Ramp(0, 100)) expected.push_back(v);
    EXPECT_EQ(left, expected);
    EXPECT_EQ(source->Position(), 100);
    EXPECT_TRUE(mixer.Contains(source.get()));
}

TEST_F(SoundFileSourceTest, AnEmptyLoopEndsInsteadOfSpinning)
{
    auto source = Play(0, SoundFileSource::Repeat::Loop);
    RenderLeft(10);
    EXPECT_TRUE(source->Finished());
    EXPECT_FALSE(mixer.Contains(source.get()));
}

TEST_F(SoundFileSourceTest, VolumePerChannelPauseSeekAndStop)
{
    auto source = Play(10000, SoundFileSource::Repeat::Once);
    source->SetVolume(0.5f, 0.0f);
    std::vector<float> out(2 * 4);
    mixer.Render(out.data(), 4);
    EXPECT_FLOAT_EQ(out[0], 0.000005f);
    EXPECT_FLOAT_EQ(out[6], 0.00002f);
    EXPECT_EQ(out[1], 0.0f);
    source->SetVolume(1.0f, 1.0f);

    source->SetPaused(true);
    EXPECT_EQ(RenderLeft(100), std::vector<float>(100, 0.0f));
    EXPECT_EQ(source->Position(), 4);
    source->SetPaused(false);
    EXPECT_EQ(RenderLeft(2), Ramp(4, 2));

    ASSERT_TRUE(source->Seek(5000));
    EXPECT_EQ(source->Position(), 5000);
    EXPECT_EQ(RenderLeft(2), Ramp(5000, 2));
    EXPECT_FALSE(source->Seek(20000));  // beyond the end

    source->Stop();
    EXPECT_EQ(RenderLeft(2), std::vector<float>(2, 0.0f));
    EXPECT_FALSE(mixer.Contains(source.get()));
    // Seeking brings a finished source back for another turn in the mixer.
    ASSERT_TRUE(source->Seek(0));
    EXPECT_FALSE(source->Finished());
}

}  // namespace
}  // namespace kelva
