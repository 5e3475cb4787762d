// The player's MIDI outputs: the built-in synthesizer with a real General MIDI SoundFont,
// heard through the audio mixer, and the ALSA sequencer where there is none.
#include "platform/fluidsynth/SystemMidiPorts.h"

#include <errno.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/alsa/AlsaMidiPorts.h"
#include "platform/headless/ManualClock.h"
#include "platform/linux/SteadyClock.h"
#include "sound/AudioMixer.h"
#include "sound/MidiDrv.h"
#include "sound/MidiOut.h"
#include "sound/MidiSongBuilder.h"
#include "support/EnvironmentGuard.h"

namespace kelva {
namespace {

using namespace test;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Installed by scripts/setup.sh (timgm6mb-soundfont).
constexpr const char* kTimGm = "/usr/share/sounds/sf2/TimGM6mb.sf2";

struct Level {
    float peak = 0;
    double rms = 0;
};

// The next `ms` milliseconds of the mixer's output.
Level Listen(AudioMixer& mixer, int ms)
{
    std::vector<float> samples(static_cast<size_t>(mixer.SampleRate()) * ms / 1000 * AudioMixer::kChannels);
    mixer.Render(samples.data(), samples.size() / AudioMixer::kChannels);
    Level level;
    for (float s : samples) {
        level.peak = std::max(level.peak, std::abs(s));
        level.rms += double{s} * s;
    }
    level.rms = std::sqrt(level.rms / static_cast<double>(samples.size()));
    return level;
}

constexpr float kAudible = 0.01f;
constexpr float kSilent = 1e-4f;

class Synthesizer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(access(kTimGm, R_OK), 0) << kTimGm << " is missing: run scripts/setup.sh";
        // The developer's own choices must not reach the test.
        env.Set("KELVA_SOUNDFONT", std::nullopt);
        env.Set("SDL_SOUNDFONTS", std::nullopt);
        ports = std::make_unique<SystemMidiPorts>(
            mixer, kTimGm, [this](const std::string& line) { log.push_back(line); },
            std::vector<std::string>{});
    }

    std::unique_ptr<MidiPort> OpenSynth()
    {
        MidiPortOpening opening = ports->Open(-1);
        EXPECT_EQ(opening.Result, kMidiOk);
        return std::move(opening.Port);
    }

    EnvironmentGuard env;
    AudioMixer mixer;
    std::vector<std::string> log;
    std::unique_ptr<SystemMidiPorts> ports;
};

TEST_F(Synthesizer, NoteSoundsUntilReleasedAndSaysWhichSoundFontItUses)
{
    EXPECT_EQ(ports->Name(-1).Name, SystemMidiPorts::kSynthesizerName);
    EXPECT_THAT(log, IsEmpty()) << "nothing is loaded before the first opening";
    std::unique_ptr<MidiPort> port = OpenSynth();
    ASSERT_TRUE(port);
    EXPECT_THAT(log, Contains(HasSubstr(kTimGm)));
    EXPECT_LT(Listen(mixer, 100).peak, kSilent);

    EXPECT_EQ(port->SendShort(PackMidiShort(0xC0, 0, 0)), kMidiOk);  // piano
    EXPECT_EQ(port->SendShort(PackMidiShort(0x90, 60, 100)), kMidiOk);
    EXPECT_GT(Listen(mixer, 200).peak, kAudible);
    EXPECT_EQ(port->SendShort(PackMidiShort(0x80, 60, 0)), kMidiOk);
    Listen(mixer, 3000);  // release and reverb
    EXPECT_LT(Listen(mixer, 100).peak, kSilent);

    // A note-off for a note that isn't sounding, and messages a synthesizer ignores, are
    // delivered all the same.
    EXPECT_EQ(port->SendShort(PackMidiShort(0x80, 61, 0)), kMidiOk);
    EXPECT_EQ(port->SendShort(PackMidiShort(0xF8, 0, 0)), kMidiOk);
    EXPECT_EQ(port->SendShort(PackMidiShort(0x40, 0, 0)), kMidiErrorInvalidMessage);
    EXPECT_EQ(port->SendShort(PackMidiShort(0xF0, 0, 0)), kMidiErrorInvalidMessage);
}

TEST_F(Synthesizer, ResetsSilenceSoundingNotes)
{
    std::unique_ptr<MidiPort> port = OpenSynth();
    ASSERT_TRUE(port);
    const std::vector<std::vector<uint8_t>> resets{
        {0xB0, 120, 0},                                                      // all sound off, a short message
        {0xFF, 0, 0},                                                        // system reset
        {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7},                                // GM on
        {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7},  // GS reset, device 0x10
        {0xF7, 0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7},                          // GM on behind an escape
    };
    for (const std::vector<uint8_t>& reset : resets) {
        SCOPED_TRACE(::testing::PrintToString(reset));
        ASSERT_EQ(port->SendShort(PackMidiShort(0xC0, 48, 0)), kMidiOk);  // strings: they hold
        ASSERT_EQ(port->SendShort(PackMidiShort(0x90, 60, 100)), kMidiOk);
        ASSERT_GT(Listen(mixer, 100).peak, kAudible);
        if (reset.size() == 3)
            EXPECT_EQ(port->SendShort(PackMidiShort(reset[0], reset[1], reset[2])), kMidiOk);
        else
            EXPECT_EQ(port->SendLong(reset.data(), reset.size()), kMidiOk);
        Listen(mixer, 3000);  // the reverb's tail
        EXPECT_LT(Listen(mixer, 100).peak, kSilent);
    }
}

TEST_F(Synthesizer, LongMessagesItCannotUse)
{
    std::unique_ptr<MidiPort> port = OpenSynth();
    ASSERT_TRUE(port);
    auto send = [&](std::vector<uint8_t> bytes) { return port->SendLong(bytes.data(), bytes.size()); };
    EXPECT_EQ(send({0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}), kMidiOk);  // XG on
    EXPECT_EQ(send({0xF0, 0x7E, 0x7F}), kMidiOk) << "cut short of its F7";
    EXPECT_EQ(send({0xF0}), kMidiOk);
    EXPECT_EQ(send({0xF7, 0x01, 0x02, 0xF7}), kMidiOk) << "the continuation of a split message";
    EXPECT_EQ(send({0xF7}), kMidiOk);
    EXPECT_EQ(send({0x90, 60, 100}), kMidiErrorInvalidMessage);
    EXPECT_EQ(port->SendLong(nullptr, 0), kMidiErrorInvalidMessage);
}

TEST_F(Synthesizer, OneUserAtATimeAndCloseSilencesIt)
{
    std::unique_ptr<MidiPort> port = OpenSynth();
    ASSERT_TRUE(port);
    EXPECT_EQ(ports->Open(-1).Result, kMidiErrorUnavailable) << "already open";
    ASSERT_EQ(port->SendShort(PackMidiShort(0x90, 60, 100)), kMidiOk);
    const float note = Listen(mixer, 100).peak;
    ASSERT_GT(note, kAudible);

    EXPECT_EQ(port->Close(), kMidiOk);
    EXPECT_EQ(Listen(mixer, 100).peak, 0.0f) << "out of the mixer";
    EXPECT_EQ(port->SendShort(PackMidiShort(0x90, 62, 100)), kMidiErrorNotOpen);
    EXPECT_EQ(port->Close(), kMidiErrorNotOpen);

    // The same synthesizer, without the note that was sounding at the close.
    const size_t logged = log.size();
    port = OpenSynth();
    ASSERT_TRUE(port);
    EXPECT_EQ(log.size(), logged) << "the SoundFont isn't loaded again";
    Listen(mixer, 20);  // the cut-off note's few milliseconds of fade
    EXPECT_LT(Listen(mixer, 100).peak, note / 10) << "only the reverb's tail is left";
    port->SendShort(PackMidiShort(0x90, 64, 100));
    EXPECT_GT(Listen(mixer, 100).peak, kAudible);

    // Destroying an open port closes it.
    port.reset();
    EXPECT_EQ(Listen(mixer, 100).peak, 0.0f);
    EXPECT_TRUE(OpenSynth());
}

TEST_F(Synthesizer, WithoutSoundFontTheDefaultOutputIsUnavailable)
{
    env.Set("KELVA_SOUNDFONT", "/nonexistent/kelva.sf2");
    env.Set("SDL_SOUNDFONTS", "/nonexistent/a.sf2:/nonexistent/b.sf2");
    SystemMidiPorts none(mixer, "/nonexistent/option.sf2",
                         [this](const std::string& line) { log.push_back(line); },
                         {"/nonexistent/default.sf2"});
    EXPECT_EQ(none.Name(-1).Result, kMidiOk) << "the device can still be chosen";
    EXPECT_EQ(none.Open(-1).Result, kMidiErrorUnavailable);
    EXPECT_THAT(log, Contains(HasSubstr("No SoundFont")));
    const size_t logged = log.size();
    EXPECT_EQ(none.Open(-1).Result, kMidiErrorUnavailable);
    EXPECT_EQ(log.size(), logged) << "searched once";

    // A file that isn't a SoundFont is no better.
    log.clear();
    SystemMidiPorts broken(mixer, "/proc/self/cmdline",
                           [this](const std::string& line) { log.push_back(line); }, {});
    EXPECT_EQ(broken.Open(-1).Result, kMidiErrorUnavailable);
    EXPECT_THAT(log, Contains(HasSubstr("could not be loaded")));

    // The device then stays silent for good, without complaint.
    TMidiOutput output(none);
    output.SetDeviceID(-1);
    EXPECT_FALSE(output.Open());
}

TEST_F(Synthesizer, PlaysThroughTheOutputDevice)
{
    TMidiOutput output(*ports);
    output.SetDeviceID(-1);
    EXPECT_EQ(output.ProductName(), SystemMidiPorts::kSynthesizerName);
    ASSERT_TRUE(output.Open());
    const uint8_t gmOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    output.SendLong(gmOn, sizeof gmOn);
    output.SendShort(0x90, 67, 110);
    EXPECT_GT(Listen(mixer, 200).peak, kAudible);
    EXPECT_TRUE(output.Close());
    EXPECT_EQ(Listen(mixer, 100).peak, 0.0f);
}

// One track's events, added in time order at absolute ticks.
struct TimedTrack {
    TrackBuilder track;
    uint32_t now = 0;

    void At(uint32_t tick, const Bytes& bytes)
    {
        track.Raw(Vlq(tick - now)).Raw(bytes);
        now = tick;
    }
};

// Four bars for three instruments and drums, at the loudness of ordinary game music.
Bytes Tune()
{
    constexpr uint32_t kBeat = 480;  // at 120 beats a minute (no tempo event)
    TimedTrack melody, chords, bass, drums;
    melody.At(0, {0xC0, 0});
    chords.At(0, {0xC1, 48});
    bass.At(0, {0xC2, 33});
    const uint8_t roots[] = {48, 45, 41, 43};
    for (uint32_t bar = 0; bar < 4; ++bar) {
        const uint32_t start = bar * 4 * kBeat;
        const uint8_t root = roots[bar];
        for (int interval : {0, 4, 7})
            chords.At(start, {0x91, static_cast<uint8_t>(root + 12 + interval), 80});
        bass.At(start, {0x92, static_cast<uint8_t>(root - 12), 100});
        for (uint32_t beat = 0; beat < 4; ++beat) {
            const uint8_t key = static_cast<uint8_t>(root + 24 + 2 * beat);
            const uint8_t drum = beat % 2 ? 38 : 36;
            melody.At(start + beat * kBeat, {0x90, key, 100});
            melody.At(start + beat * kBeat + kBeat - 20, {0x80, key, 0});
            drums.At(start + beat * kBeat, {0x99, drum, 100});
            drums.At(start + beat * kBeat + 100, {0x89, drum, 0});
        }
        for (int interval : {0, 4, 7})
            chords.At(start + 4 * kBeat - 20, {0x81, static_cast<uint8_t>(root + 12 + interval), 0});
        bass.At(start + 4 * kBeat - 20, {0x82, static_cast<uint8_t>(root - 12), 0});
    }
    return Song(kBeat, {melody.track, chords.track, bass.track, drums.track});
}

TEST_F(Synthesizer, RendersAudibleMusicFromTheMidiPlayer)
{
    ManualClock clock;
    TMidiDrive drive(*ports, clock, MidiThread::None);
    drive.OpenDevice(-1);
    ASSERT_TRUE(drive.DeviceOpen());
    LoadSong(drive, Tune());
    drive.Play();
    // The player and the mixer in step, 10 ms at a time.
    Level level;
    int chunks = 0;
    for (int64_t until = clock.NowMs() + 10; drive.Playing(); until += 10, ++chunks) {
        ASSERT_LT(chunks, 2000) << "the song doesn't end";
        while (clock.NowMs() < until && drive.Playing()) drive.Step();
        const Level chunk = Listen(mixer, 10);
        level.peak = std::max(level.peak, chunk.peak);
        level.rms += chunk.rms * chunk.rms;
    }
    level.rms = std::sqrt(level.rms / chunks);
    std::printf("music: peak %.3f, rms %.3f over %.1f s\n", level.peak, level.rms, chunks / 100.0);
    EXPECT_GT(level.rms, 0.02) << "audible";
    EXPECT_LT(level.peak, 1.0f) << "loud, but not clipped";
}

// The player's thread sends while the mixer renders, as in the game: for ThreadSanitizer.
TEST_F(Synthesizer, PlaysFromThePlayersThreadWhileTheMixerRenders)
{
    SteadyClock clock;
    TMidiDrive drive(*ports, clock);
    drive.OpenDevice(-1);
    LoadSong(drive, Tune());
    drive.Play();
    float peak = 0;
    for (int i = 0; i < 30; ++i) {  // at the pace of an audio device
        clock.SleepUntil(clock.NowMs() + 10);
        peak = std::max(peak, Listen(mixer, 10).peak);
    }
    drive.Stop();
    EXPECT_GT(peak, kAudible);
}

TEST(AlsaSequencer, NoSequencerNoPorts)
{
    std::vector<std::string> log;
    AlsaMidiPorts alsa([&](const std::string& line) { log.push_back(line); }, "/nonexistent/snd/seq");
    EXPECT_EQ(alsa.Count(), 0);
    EXPECT_EQ(alsa.Name(0).Result, kMidiErrorBadPort);
    EXPECT_EQ(alsa.Open(0).Result, kMidiErrorBadPort);
    EXPECT_EQ(alsa.Open(-1).Result, kMidiErrorBadPort) << "the default output isn't the sequencer's";
    EXPECT_THAT(log, IsEmpty());
}

TEST(AlsaSequencer, ErrorTexts)
{
    AlsaMidiPorts alsa(nullptr, "/nonexistent/snd/seq");
    EXPECT_THAT(alsa.ErrorText(AlsaMidiPorts::kAlsaErrorBase + EBUSY).value_or(""), HasSubstr("busy"));
    EXPECT_EQ(alsa.ErrorText(kMidiErrorUnavailable), CommonMidiErrorText(kMidiErrorUnavailable));
    EXPECT_EQ(alsa.ErrorText(AlsaMidiPorts::kAlsaErrorLast + 1), std::nullopt);
}

}  // namespace
}  // namespace kelva
