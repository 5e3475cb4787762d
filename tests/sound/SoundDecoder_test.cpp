#include "sound/SoundDecoder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/SoundFiles.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

using test::DecodeAll;
using test::FrameCount;
using test::RisingCrossings;

constexpr int kOutputRate = 44100;

class SoundDecoderTest : public ::testing::Test {
protected:
    std::unique_ptr<SoundDecoder> Open(const std::string& path)
    {
        std::string error;
        auto decoder = SoundDecoder::Open(path, kOutputRate, error);
        EXPECT_TRUE(decoder) << error;
        return decoder;
    }

    // Decodes `path` and checks a tone of `seconds` at the output rate, `left` Hz on the
    // left and `right` Hz on the right. `extraFrames`: how much longer the file may be
    // (block codecs fill their last block).
    void ExpectTones(const std::string& path, double seconds, int left, int right, int extraFrames = 0)
    {
        auto decoder = Open(path);
        ASSERT_TRUE(decoder);
        auto samples = DecodeAll(*decoder);
        const auto expectedFrames = static_cast<size_t>(seconds * kOutputRate);
        EXPECT_NEAR(FrameCount(samples), expectedFrames + extraFrames / 2.0, 8 + extraFrames / 2.0);
        EXPECT_NEAR(decoder->Frames(), expectedFrames + extraFrames / 2.0, 8 + extraFrames / 2.0);
        samples.resize(std::min(samples.size(), 2 * expectedFrames));
        EXPECT_NEAR(RisingCrossings(samples, 0), left * seconds, 2);
        EXPECT_NEAR(RisingCrossings(samples, 1), right * seconds, 2);
    }

    test::TempDir dir;
};

TEST_F(SoundDecoderTest, PcmAndFloatWaveAtEveryDepthRateAndLayoutComeOutAtTheOutputRate)
{
    const int encodings[] = {SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32,
                             SF_FORMAT_FLOAT};
    for (int encoding : encodings) {
        for (int rate : {22050, 44100, 48000}) {
            for (int channels : {1, 2}) {
                SCOPED_TRACE("encoding " + std::to_string(encoding) + ", " + std::to_string(rate) + " Hz, " +
                             std::to_string(channels) + " channels");
                const std::string path = dir.File("tone.wav");
                // Mono is heard on both sides; stereo keeps its sides apart.
                const std::vector<double> tones =
                    channels == 1 ? std::vector<double>{440} : std::vector<double>{440, 660};
                test::WriteTones(path, SF_FORMAT_WAV | encoding, rate, tones, 0.5);
                ExpectTones(path, 0.5, 440, channels == 1 ? 440 : 660);
                auto decoder = Open(path);
                ASSERT_TRUE(decoder);
                EXPECT_EQ(decoder->Format().Kind, SoundFormat::Container::Wave);
                EXPECT_FALSE(decoder->Format().MpegCoded);
                EXPECT_EQ(decoder->Format().SampleRate, rate);
                EXPECT_EQ(decoder->Format().Channels, channels);
            }
        }
    }
}

TEST_F(SoundDecoderTest, CompressedFormatsDecode)
{
    struct Case {
        const char* name;
        int format;
        SoundFormat::Container kind;
        int extraFrames;  // at 44.1 kHz: ADPCM files end with a whole block of 1024 frames or fewer
    };
    const Case cases[] = {
        {"ima.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, SoundFormat::Container::Wave, 2048},
        {"ms.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, SoundFormat::Container::Wave, 2048},
        {"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, SoundFormat::Container::Other, 0},
        {"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, SoundFormat::Container::Other, 0},
        {"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, SoundFormat::Container::Mpeg, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteTones(dir.File(c.name), c.format, 22050, {440, 660}, 1.0);
        ExpectTones(dir.File(c.name), 1.0, 440, 660, c.extraFrames);
        auto decoder = Open(dir.File(c.name));
        ASSERT_TRUE(decoder);
        EXPECT_EQ(decoder->Format().Kind, c.kind);
    }
}

TEST_F(SoundDecoderTest, MoreThanTwoChannelsKeepTheFirstTwo)
{
    test::WriteTones(dir.File("quad.wav"), SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 44100, {440, 660, 1000, 1500},
                     0.5);
    ExpectTones(dir.File("quad.wav"), 0.5, 440, 660);
}

TEST_F(SoundDecoderTest, Mp3ReportsItsStreamAndTag)
{
    test::WriteTones(dir.File("tone.mp3"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, {440}, 1.0,
                     "Morning Bell");
    auto decoder = Open(dir.File("tone.mp3"));
    ASSERT_TRUE(decoder);
    const SoundFormat& format = decoder->Format();
    EXPECT_EQ(format.Kind, SoundFormat::Container::Mpeg);
    EXPECT_TRUE(format.MpegCoded);
    EXPECT_EQ(format.MpegVersion, 10);
    EXPECT_EQ(format.Layer, 3);
    EXPECT_GT(format.Bitrate, 0);
    EXPECT_EQ(format.SampleRate, 44100);
    EXPECT_EQ(format.Channels, 1);
    // Gapless: the encoder's delay and padding are not counted.
    EXPECT_EQ(format.Frames, 44100);
    ASSERT_TRUE(format.Tags);
    EXPECT_EQ(format.Tags->Title, "Morning Bell");
}

// An ID3v2.3 tag with a UTF-16 title frame, put in front of an MPEG stream.
std::vector<uint8_t> Id3v2Title(const std::u16string& title)
{
    std::vector<uint8_t> frame = {1, 0xFF, 0xFE};  // UTF-16 with a little-endian byte order mark
    for (char16_t c : title) {
        frame.push_back(static_cast<uint8_t>(c));
        frame.push_back(static_cast<uint8_t>(c >> 8));
    }
    const auto frameSize = static_cast<uint32_t>(frame.size());
    std::vector<uint8_t> tag = {'T',
                                'I',
                                'T',
                                '2',
                                static_cast<uint8_t>(frameSize >> 24),
                                static_cast<uint8_t>(frameSize >> 16),
                                static_cast<uint8_t>(frameSize >> 8),
                                static_cast<uint8_t>(frameSize),
                                0,
                                0};
    tag.insert(tag.end(), frame.begin(), frame.end());
    const auto size = static_cast<uint32_t>(tag.size());  // small: the syncsafe bytes are plain
    std::vector<uint8_t> header = {
        'I', 'D', '3', 3, 0, 0, 0, 0, static_cast<uint8_t>(size >> 7), static_cast<uint8_t>(size & 0x7F)};
    header.insert(header.end(), tag.begin(), tag.end());
    return header;
}

TEST_F(SoundDecoderTest, Id3v2TitleIsConvertedToCp932AndWinsOverId3v1)
{
    test::WriteTones(dir.File("plain.mp3"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, {440}, 0.5,
                     "v1 title");
    auto bytes = Id3v2Title(u"朝の鐘");
    const auto mp3 = test::ReadBytes(dir.File("plain.mp3"));
    bytes.insert(bytes.end(), mp3.begin(), mp3.end());
    test::WriteBytes(dir.File("tagged.mp3"), bytes);

    auto decoder = Open(dir.File("tagged.mp3"));
    ASSERT_TRUE(decoder);
    ASSERT_TRUE(decoder->Format().Tags);
    EXPECT_EQ(decoder->Format().Tags->Title, "朝の鐘");
    EXPECT_NEAR(FrameCount(DecodeAll(*decoder)), 22050, 8);
}

TEST_F(SoundDecoderTest, TheContentDecidesNotTheName)
{
    test::WriteTones(dir.File("mp3.wav"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, {440}, 0.5);
    test::WriteTones(dir.File("wave.mp3"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, {440}, 0.5);
    auto mp3 = Open(dir.File("mp3.wav"));
    auto wave = Open(dir.File("wave.mp3"));
    ASSERT_TRUE(mp3 && wave);
    EXPECT_EQ(mp3->Format().Kind, SoundFormat::Container::Mpeg);
    EXPECT_EQ(wave->Format().Kind, SoundFormat::Container::Wave);
}

TEST_F(SoundDecoderTest, Mp3InsideRiffWaveIsAnMpegCodedWave)
{
    test::WriteTones(dir.File("tone.mp3"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, {440, 660}, 0.5);
    test::WriteBytes(dir.File("riff.wav"), test::Mp3InRiff(test::ReadBytes(dir.File("tone.mp3")), 44100, 2));
    auto decoder = Open(dir.File("riff.wav"));
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->Format().Kind, SoundFormat::Container::Wave);
    EXPECT_TRUE(decoder->Format().MpegCoded);
    EXPECT_EQ(decoder->Format().Layer, 3);
    const auto samples = DecodeAll(*decoder);
    EXPECT_NEAR(RisingCrossings(samples, 0), 220, 3);
    EXPECT_NEAR(RisingCrossings(samples, 1), 330, 3);
}

TEST_F(SoundDecoderTest, RewindAndSeekAtTheOutputRate)
{
    for (const char* name : {"tone.wav", "tone.mp3"}) {
        SCOPED_TRACE(name);
        const int format = std::string(name).ends_with(".mp3") ? SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III
                                                               : SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        test::WriteTones(dir.File(name), format, 22050, {440}, 1.0);
        auto decoder = Open(dir.File(name));
        ASSERT_TRUE(decoder);
        const auto whole = DecodeAll(*decoder);
        ASSERT_TRUE(decoder->Rewind());
        const auto again = DecodeAll(*decoder);
        ASSERT_EQ(again.size(), whole.size());
        for (size_t i = 0; i < whole.size(); ++i) ASSERT_NEAR(again[i], whole[i], 1e-4) << "sample " << i;

        ASSERT_TRUE(decoder->Seek(kOutputRate * 3 / 4));
        const auto rest = DecodeAll(*decoder);
        EXPECT_NEAR(FrameCount(rest), kOutputRate / 4, 8);
        EXPECT_NEAR(RisingCrossings(rest, 0), 110, 2);
    }
}

TEST_F(SoundDecoderTest, UnreadableFilesFailNamingTheFile)
{
    test::WriteTones(dir.File("good.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, {440}, 0.5);
    const auto good = test::ReadBytes(dir.File("good.wav"));
    auto patched = [&good](size_t at, std::vector<uint8_t> bytes) {
        auto copy = good;
        std::copy(bytes.begin(), bytes.end(), copy.begin() + static_cast<std::ptrdiff_t>(at));
        return copy;
    };
    std::vector<uint8_t> noise(20000);
    srand(7);
    for (auto& b : noise) b = static_cast<uint8_t>(rand());

    // The canonical 44-byte header: channels at 22, sample rate at 24.
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
        {"empty.wav", {}},
        {"header-cut.wav", std::vector<uint8_t>(good.begin(), good.begin() + 30)},
        {"no-channels.wav", patched(22, {0, 0})},
        {"rate-zero.wav", patched(24, {0, 0, 0, 0})},
        {"rate-5-hz.wav", patched(24, {5, 0, 0, 0})},
        {"noise.mp3", noise},
        {"text.wav", std::vector<uint8_t>(600, 'a')},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        test::WriteBytes(dir.File(name), bytes);
        std::string error;
        EXPECT_FALSE(SoundDecoder::Open(dir.File(name), kOutputRate, error));
        EXPECT_NE(error.find(dir.File(name)), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(SoundDecoder::Open(dir.File("missing.wav"), kOutputRate, error));
    EXPECT_NE(error.find("missing.wav"), std::string::npos);
}

TEST_F(SoundDecoderTest, CorruptedBytesNeverCrashTheDecoder)
{
    const std::pair<const char*, int> formats[] = {
        {"tone.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM},
        {"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
        {"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
        {"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
    };
    srand(11);
    for (const auto& [name, format] : formats) {
        test::WriteTones(dir.File(name), format, 22050, {440, 660}, 0.3);
        const auto good = test::ReadBytes(dir.File(name));
        for (int variant = 0; variant < 25; ++variant) {
            SCOPED_TRACE(std::string(name) + " variant " + std::to_string(variant));
            auto bytes = good;
            // Headers are where a reader trusts the file most: hit them hardest.
            for (int hit = 0; hit < 6; ++hit)
                bytes[static_cast<size_t>(rand()) % std::min<size_t>(bytes.size(), 128)] =
                    static_cast<uint8_t>(rand());
            for (int hit = 0; hit < 6; ++hit)
                bytes[static_cast<size_t>(rand()) % bytes.size()] = static_cast<uint8_t>(rand());
            test::WriteBytes(dir.File("damaged"), bytes);
            std::string error;
            auto decoder = SoundDecoder::Open(dir.File("damaged"), kOutputRate, error);
            if (!decoder) {
                EXPECT_NE(error.find(dir.File("damaged")), std::string::npos) << error;
                continue;
            }
            DecodeAll(*decoder);
            decoder->Seek(1000);
            DecodeAll(*decoder);
        }
    }
}

TEST_F(SoundDecoderTest, TruncatedFilesPlayWhatTheyHold)
{
    test::WriteTones(dir.File("full.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, {440}, 1.0);
    test::WriteTones(dir.File("full.mp3"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, {440}, 1.0);
    for (const char* name : {"full.wav", "full.mp3"}) {
        SCOPED_TRACE(name);
        auto bytes = test::ReadBytes(dir.File(name));
        bytes.resize(bytes.size() / 2);
        test::WriteBytes(dir.File("half"), bytes);
        auto decoder = Open(dir.File("half"));
        ASSERT_TRUE(decoder);
        const size_t frames = FrameCount(DecodeAll(*decoder));
        EXPECT_GT(frames, 44100u / 4);
        EXPECT_LT(frames, 44100u * 3 / 4);
    }
}

}  // namespace
}  // namespace kelva
