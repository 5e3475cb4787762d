// The MIDI player's playback loop, driven cycle by cycle on a virtual clock, and once on
// its own thread and the real clock.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingMidiPort.h"
#include "platform/linux/SteadyClock.h"
#include "sound/MidiDrv.h"
#include "sound/MidiSongBuilder.h"

namespace kelva {
namespace {

using namespace test;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

using Msg = std::tuple<int64_t, int, int, int>;  // time, status, data1, data2
using Note = std::pair<int64_t, int>;            // time, key of a note-on

std::vector<Msg> Shorts(const RecordingMidiPorts& ports)
{
    std::vector<Msg> out;
    for (const RecordedMidiMessage& m : ports.Messages())
        if (!m.Long) out.emplace_back(m.TimeMs, m.Bytes[0], m.Bytes[1], m.Bytes[2]);
    return out;
}

// Volume 0, all sound off, all notes off, reset all controllers; a channel a millisecond.
std::vector<Msg> NotesOff(int64_t time)
{
    std::vector<Msg> out;
    for (int c = 0; c < 16; ++c)
        for (int controller : {7, 120, 123, 121}) out.emplace_back(time + c, 0xB0 + c, controller, 0);
    return out;
}

// With division 500 a tick lasts exactly 1 ms at 120 beats per minute (the tempo of a song
// without tempo events) and 2 ms at 60, so the times below are exact.
class MidiPlayback : public ::testing::Test {
protected:
    void SetUp() override { drive.OpenDevice(-1); }

    void Load(std::vector<TrackBuilder> tracks, uint16_t division = 500)
    {
        LoadSong(drive, Song(division, tracks));
    }
    // Plays the loaded song and empties the record; answers the time of the first cycle.
    int64_t Start()
    {
        drive.Play();
        ports.ClearMessages();
        return clock.NowMs();
    }
    // Turns the loop as the thread does, until the clock reaches `time` or the song ends.
    void Run(int64_t time = INT64_MAX)
    {
        for (int turns = 0; clock.NowMs() < time && drive.Playing(); ++turns) {
            ASSERT_LT(turns, 1000000) << "the loop doesn't move on";
            drive.Step();
        }
    }
    std::vector<Note> Notes() const
    {
        std::vector<Note> out;
        for (const auto& [time, status, key, velocity] : Shorts(ports))
            if ((status & 0xF0) == 0x90) out.emplace_back(time, key);
        return out;
    }

    ManualClock clock;
    RecordingMidiPorts ports{clock};
    TMidiDrive drive{ports, clock, MidiThread::None};
};

TEST_F(MidiPlayback, TempoChangeTakesEffectFromTheCycleThatReachesIt)
{
    // The cycle at t0 + 1000 crosses the change at tick 999 (998 → 1000) at the old tempo;
    // the next one runs at the new tempo for its whole 2 ms.
    TrackBuilder conductor, notes;
    conductor.Tempo(0, 500000).Tempo(999, 1000000);
    notes.NoteOn(0, 0, 60).NoteOn(1000, 0, 61).NoteOn(500, 0, 62).NoteOn(500, 0, 63);
    Load({conductor, notes});
    const int64_t t0 = Start();
    Run();
    EXPECT_THAT(Notes(),
                ElementsAre(Note{t0, 60}, Note{t0 + 1000, 61}, Note{t0 + 2000, 62}, Note{t0 + 3000, 63}));
}

TEST_F(MidiPlayback, LateCycleSendsEverythingDueTrackByTrack)
{
    TrackBuilder first, second;
    first.NoteOn(0, 0, 60).NoteOn(10, 0, 61);
    second.NoteOn(0, 1, 70).NoteOn(10, 1, 71);
    Load({first, second});
    const int64_t t0 = Start();
    clock.Advance(50);
    drive.RunCycle();
    EXPECT_THAT(Notes(),
                ElementsAre(Note{t0 + 50, 60}, Note{t0 + 50, 61}, Note{t0 + 50, 70}, Note{t0 + 50, 71}));
}

TEST_F(MidiPlayback, LoopRestartsAtTickZeroWithTheFirstTempo)
{
    TrackBuilder conductor, notes;
    conductor.Tempo(0, 500000).Tempo(50, 1000000);
    notes.NoteOn(0, 0, 60).NoteOn(100, 0, 61);
    Load({conductor, notes});
    drive.SetLooping(true);
    const int64_t t0 = Start();
    Run(t0 + 301);
    // 50 ticks at 1 ms and 50 at 2 ms; the restart follows the last event without a pause.
    EXPECT_THAT(Notes(), ElementsAre(Note{t0, 60}, Note{t0 + 150, 61}, Note{t0 + 150, 60}, Note{t0 + 300, 61},
                                     Note{t0 + 300, 60}));
}

TEST_F(MidiPlayback, EndOfTheSong)
{
    TrackBuilder notes;
    notes.NoteOn(0, 0, 60).NoteOn(10, 0, 61);
    Load({notes});
    int64_t t0 = Start();
    Run();
    EXPECT_TRUE(drive.Loaded());
    EXPECT_THAT(Shorts(ports), ElementsAre(Msg{t0, 0x90, 60, 100}, Msg{t0 + 10, 0x90, 61, 100}))
        << "no notes-off";
    t0 = Start();
    Run();
    EXPECT_THAT(Notes(), ElementsAre(Note{t0, 60}, Note{t0 + 10, 61})) << "it plays again";

    // Looping songs without events, or with events at tick 0 only, would repeat without
    // time passing: they end too.
    drive.SetLooping(true);
    TrackBuilder nothing, instant;
    nothing.Tempo(0, 500000);
    instant.Event(0, {0xC0, 5}).NoteOn(0, 0, 60);
    for (const TrackBuilder& track : {nothing, instant}) {
        Load({track});
        Start();
        drive.Step();
        EXPECT_FALSE(drive.Playing());
    }
    EXPECT_EQ(Notes().size(), 1u);
}

TEST_F(MidiPlayback, SkipLeadInRunsAtTripleSpeedUpToTheFirstNote)
{
    // Normal speed from a sixteenth note (125 ticks) before the first note at 1125: 1000
    // ticks at 3 a ms (the cycle that crosses 1000 still runs fast), then 1 a ms.
    TrackBuilder notes;
    notes.Event(0, {0xC0, 1}).Event(10, {0xB0, 7, 90}).NoteOn(1115, 0, 60).NoteOn(75, 0, 61);
    Load({notes});
    drive.SetSkipLeadIn(true);
    const int64_t t0 = Start();
    EXPECT_EQ(drive.FirstNoteTick(), 1000);
    Run();
    EXPECT_THAT(Notes(), ElementsAre(Note{t0 + 458, 60}, Note{t0 + 532, 61}));
}

TEST_F(MidiPlayback, FadeOutLowersVolumesInFiftyStepsThenStops)
{
    TrackBuilder notes;
    notes.NoteOn(0, 0, 60).Event(300, {0xB0, 7, 120}).NoteOn(100000, 0, 61);
    Load({notes});
    const int64_t t0 = Start();
    drive.FadeOut(2000);
    Run();

    // A step every 20 cycles (the first at the 20th), 200 lower each time; the 50th
    // reaches 0 and ends the song. The controller at tick 300 is scaled by the level in
    // force and becomes channel 0's volume for the later steps.
    std::vector<Msg> expected{{t0, 0x90, 60, 100}};
    for (int step = 1; step < 50; ++step) {
        const int64_t time = t0 + 40 * step - 2;
        const double level = 10000 - 200 * step;
        for (int c = 0; c < 16; ++c)
            expected.emplace_back(time, 0xB0 + c, 7,
                                  static_cast<int>((c == 0 && step > 7 ? 120 : 100) * level / 10000));
        if (step == 7) expected.emplace_back(t0 + 300, 0xB0, 7, 103);  // 120 at 8600
    }
    const std::vector<Msg> off = NotesOff(t0 + 1998);
    expected.insert(expected.end(), off.begin(), off.end());
    EXPECT_THAT(Shorts(ports), ElementsAreArray(expected));
}

TEST_F(MidiPlayback, FadeOutOfZeroOrNegativeTime)
{
    TrackBuilder notes;
    notes.NoteOn(1000, 0, 60);
    Load({notes});
    drive.FadeOut(0);
    EXPECT_THAT(Shorts(ports), IsEmpty()) << "nothing to stop";

    // Negative: the unfaded volumes once, at the next fade step, and the song goes on.
    int64_t t0 = Start();
    drive.FadeOut(-1000);
    Run(t0 + 200);
    std::vector<Msg> expected;
    for (int c = 0; c < 16; ++c) expected.emplace_back(t0 + 38, 0xB0 + c, 7, 100);
    EXPECT_THAT(Shorts(ports), ElementsAreArray(expected));

    // Zero: stops at once.
    ports.ClearMessages();
    drive.FadeOut(0);
    EXPECT_FALSE(drive.Playing());
    EXPECT_THAT(Shorts(ports), ElementsAreArray(NotesOff(t0 + 200)));
}

TEST_F(MidiPlayback, StopAndLoadSilenceEveryChannelOnce)
{
    TrackBuilder notes;
    notes.NoteOn(0, 0, 60).NoteOn(1000, 0, 61);
    Load({notes});
    drive.Stop();
    EXPECT_THAT(Shorts(ports), IsEmpty()) << "a song that isn't playing isn't stopped";

    int64_t t0 = Start();
    Run(t0 + 10);
    ports.ClearMessages();
    drive.Stop();
    drive.Stop();
    drive.Step();
    EXPECT_THAT(Shorts(ports), ElementsAreArray(NotesOff(t0 + 10)));

    t0 = Start();
    Load({notes});
    EXPECT_FALSE(drive.Playing());
    EXPECT_THAT(Shorts(ports), ElementsAreArray(NotesOff(t0)));
}

TEST_F(MidiPlayback, StartSetsVolumesOrSendsResetMessages)
{
    TrackBuilder notes;
    notes.NoteOn(0, 0, 60);
    Load({notes});
    int64_t start = clock.NowMs();
    drive.Play();
    drive.Step();
    std::vector<Msg> expected;
    for (int c = 0; c < 16; ++c) expected.emplace_back(start + c, 0xB0 + c, 7, 100);
    expected.emplace_back(start + 16, 0x90, 60, 100);
    EXPECT_THAT(Shorts(ports), ElementsAreArray(expected));

    // After GM on and GS reset, 60 ms each, the 16 ms of the channels pass without volumes.
    Run();
    ports.ClearMessages();
    drive.SetGmOnAtStart(true);
    drive.SetGsResetAtStart(true);
    start = clock.NowMs();
    drive.Play();
    drive.Step();
    std::vector<std::pair<int64_t, Bytes>> sent;
    for (const RecordedMidiMessage& m : ports.Messages()) sent.emplace_back(m.TimeMs, m.Bytes);
    EXPECT_THAT(sent, ElementsAre(std::pair(start, Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}),
                                  std::pair(start + 60, Bytes{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F,
                                                              0x00, 0x41, 0xF7}),
                                  std::pair(start + 136, Bytes{0x90, 60, 100})));
}

TEST_F(MidiPlayback, FailingPortDropsTheEventAndPlaysOn)
{
    TrackBuilder notes;
    notes.NoteOn(0, 0, 60).NoteOn(10, 0, 61).NoteOn(10, 0, 62);
    Load({notes});
    const int64_t t0 = Start();
    ports.FailNextSends(1);
    Run();
    EXPECT_THAT(Notes(), ElementsAre(Note{t0 + 10, 61}, Note{t0 + 20, 62}));

    // A port that refuses everything, the player's own messages included.
    ports.FailAllSends(true);
    drive.SetGmOnAtStart(true);
    EXPECT_NO_THROW({
        drive.Play();
        Run(clock.NowMs() + 12);
        drive.Stop();
    });
}

TEST_F(MidiPlayback, UnusableTemposNeitherStallNorDivideByZero)
{
    TrackBuilder zero, slow;
    zero.Tempo(0, 0).NoteOn(100, 0, 60);
    Load({zero});
    int64_t t0 = Start();
    Run();
    EXPECT_THAT(Notes(), ElementsAre(Note{t0 + 100, 60})) << "plays at 120";

    // Below 1 beat per minute plays at 1: with division 3750, 16 ms a tick.
    slow.Tempo(0, 0xFFFFFFFF, 4).NoteOn(2, 0, 60);
    Load({slow}, 3750);
    t0 = Start();
    Run();
    EXPECT_THAT(Notes(), ElementsAre(Note{t0 + 32, 60}));
}

TEST(MidiPlayerLifetime, DestructionSilencesAndClosesTheOutput)
{
    ManualClock clock;
    RecordingMidiPorts ports{clock};
    auto drive = std::make_unique<TMidiDrive>(ports, clock, MidiThread::None);
    drive->OpenDevice(-1);
    TrackBuilder notes;
    notes.NoteOn(1000, 0, 61);
    LoadSong(*drive, Song(500, {notes}));
    drive->Play();
    ports.ClearMessages();
    const int64_t end = clock.NowMs();
    drive.reset();
    EXPECT_THAT(Shorts(ports), ElementsAreArray(NotesOff(end)));
    EXPECT_EQ(ports.OpenPorts(), 0);
}

// The playback thread on the real clock, for ThreadSanitizer: main-thread calls while the
// thread sends. Nothing here depends on how long anything takes.
TEST(MidiThread, PlaysAndStopsOnTheRealClock)
{
    SteadyClock clock;
    RecordingMidiPorts ports{clock};
    auto noteOns = [](auto begin, auto end) {
        return std::count_if(begin, end, [](const RecordedMidiMessage& m) { return m.Status() == 0x90; });
    };
    {
        TMidiDrive drive{ports, clock};
        drive.OpenDevice(-1);
        TrackBuilder notes;
        notes.NoteOn(0, 0, 60).NoteOn(3, 0, 61).Event(3, {0xB0, 7, 90}).NoteOn(3, 0, 62);
        LoadSong(drive, Song(500, {notes}));
        drive.SetLooping(true);
        drive.Play();
        for (int i = 0; i < 20000; ++i) {
            const auto sent = ports.Messages();
            if (noteOns(sent.begin(), sent.end()) >= 6) break;
            clock.SleepUntil(clock.NowMs() + 1);
            drive.SetSkipLeadIn(i % 2 == 0);
            (void)drive.Position();
        }
        drive.FadeOut(10000);
        drive.Stop();
    }
    // Nothing follows the notes-off sequence: the thread sends no event after Stop.
    const auto sent = ports.Messages();
    ASSERT_GE(sent.size(), 64u);
    std::vector<Msg> tail;
    for (auto it = sent.end() - 64; it != sent.end(); ++it)
        tail.emplace_back(0, it->Bytes[0], it->Bytes[1], it->Bytes[2]);
    std::vector<Msg> expected = NotesOff(0);
    for (Msg& m : expected) std::get<0>(m) = 0;
    EXPECT_THAT(tail, ElementsAreArray(expected));
    EXPECT_GE(noteOns(sent.begin(), sent.end() - 64), 6);
}

}  // namespace
}  // namespace kelva
