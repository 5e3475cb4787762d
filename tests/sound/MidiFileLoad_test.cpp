// Reading Standard MIDI Files into the player's tracks and tempo map.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingMidiPort.h"
#include "sound/MidiDrv.h"
#include "sound/MidiSongBuilder.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

using namespace test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using W = MidiLoadWarning;

using Ev = std::tuple<int32_t, int, int, int>;  // tick, status, data1, data2

class MidiFileLoad : public ::testing::Test {
protected:
    void SetUp() override { drive.OpenDevice(-1); }

    std::vector<Ev> Events(int track) const
    {
        std::vector<Ev> out;
        const TMidiTrack& t = drive.Tracks(track);
        for (int i = 0; i < t.Count(); ++i) {
            const TMidiTrackEvent& e = t.Events(i);
            out.emplace_back(e.Tick, e.Event.Status, e.Event.Data1, e.Event.Data2);
        }
        return out;
    }
    Bytes Sysex(int track, int index) const
    {
        const TMyMidiEvent& e = drive.Tracks(track).Events(index).Event;
        return Bytes(e.Sysex.get(), e.Sysex.get() + e.SysexLength);
    }
    std::vector<W::Kind> Warnings() const
    {
        std::vector<W::Kind> out;
        for (const W& w : drive.LoadWarnings()) out.push_back(w.What);
        return out;
    }

    ManualClock clock;
    RecordingMidiPorts ports{clock};
    TMidiDrive drive{ports, clock, MidiThread::None};
};

TEST_F(MidiFileLoad, EventsRunningStatusAndMetaEvents)
{
    TrackBuilder conductor, notes;
    conductor.Tempo(0, 500000).Block(0, {0xFF, 0x03}, {'t', 'i', 't', 'l', 'e'});
    notes.NoteOn(0, 2, 60)
        .Event(10, {62, 90})  // running status
        .Event(0, {0xC2, 7})
        .Event(5, {8})  // running program change: one data byte
        .Event(0, {0xB2, 7, 80})
        .Block(0, {0xFF, 0x01}, {'x'})
        .Event(1, {10, 20})   // after a meta event: the status before it
        .Event(0, {0xF3, 5})  // system common: one data byte, none, two
        .Event(0, {0xF8})
        .Event(0, {0xE0, 0, 0x40})
        .Block(0, {0xFF, 0x2F}, {});
    LoadSong(drive, Song(480, {conductor, notes}));

    EXPECT_TRUE(drive.Loaded());
    EXPECT_EQ(drive.Division(), 480);
    ASSERT_EQ(drive.TrackCount(), 2);
    EXPECT_THAT(Events(0), IsEmpty()) << "meta events are not stored";
    EXPECT_THAT(Events(1), ElementsAre(Ev{0, 0x92, 60, 100}, Ev{10, 0x92, 62, 90}, Ev{10, 0xC2, 7, 0},
                                       Ev{15, 0xC2, 8, 0}, Ev{15, 0xB2, 7, 80}, Ev{16, 0xB2, 10, 20},
                                       Ev{16, 0xF3, 5, 0}, Ev{16, 0xF8, 0, 0}, Ev{16, 0xE0, 0, 0x40}));
    EXPECT_THAT(Warnings(), IsEmpty());
}

TEST_F(MidiFileLoad, SystemExclusive)
{
    TrackBuilder track;
    track.Block(0, {0xF0}, {0x7E, 0x7F, 0x09, 0x01, 0xF7})
        .Block(5, {0xF7}, {0xF8, 0xFA})  // an escape: raw bytes to send as they are
        .Block(0, {0xFF, 0x01}, {'x'})
        .Raw({0x00, 0x01, 0x11})  // running status after the meta event: F7 again
        .Block(0, {0xF0}, Bytes(65534, 0x22))
        .Block(0, {0xF0}, Bytes(65535, 0x33))  // above 65535 bytes with its status: passed over
        .NoteOn(0, 0, 60);
    LoadSong(drive, Song(96, {track}));
    ASSERT_EQ(drive.Tracks(0).Count(), 5);
    EXPECT_EQ(Sysex(0, 0), (Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
    EXPECT_EQ(drive.Tracks(0).Events(1).Tick, 5);
    EXPECT_EQ(Sysex(0, 1), (Bytes{0xF7, 0xF8, 0xFA}));
    EXPECT_EQ(Sysex(0, 2), (Bytes{0xF7, 0x11}));
    EXPECT_EQ(drive.Tracks(0).Events(3).Event.SysexLength, 65535);
    EXPECT_EQ(std::get<1>(Events(0)[4]), 0x90);
    EXPECT_THAT(Warnings(), ElementsAre(W::SysexTooLong));
}

TEST_F(MidiFileLoad, TempoMap)
{
    TrackBuilder first, second;
    first.Tempo(0, 500000).Tempo(960, 461538).Tempo(960, 1000000, 4).Tempo(0, 50000, 2);
    second
        .Tempo(100, 0)                                 // would divide by zero: passed over
        .Raw({0x00, 0xFF, 0x51, 0x05, 0, 0, 0, 0, 1})  // five bytes: passed over by its length
        .Tempo(0, 0xFFFFFFFF, 4)                       // below 1 beat per minute
        .NoteOn(0, 0, 60);
    LoadSong(drive, Song(480, {first, second}));
    std::vector<std::pair<int, int>> map;
    for (int i = 0; i < drive.TempoCount(); ++i)
        map.emplace_back(drive.TempoMap(i).Tick, drive.TempoMap(i).Bpm);
    // Whole beats per minute (461538 µs: 130), ordered by tick across tracks.
    EXPECT_THAT(map, ElementsAre(std::pair{0, 120}, std::pair{100, 1}, std::pair{960, 130},
                                 std::pair{1920, 60}, std::pair{1920, 1200}));
    EXPECT_THAT(Events(1), ElementsAre(Ev{100, 0x90, 60, 100})) << "reading stays in step";
    EXPECT_THAT(Warnings(), ElementsAre(W::InvalidTempo, W::TempoTooSlow));
}

TEST_F(MidiFileLoad, LimitsOfTracksAndTempoChanges)
{
    std::vector<TrackBuilder> tracks(300);
    for (size_t i = 0; i < tracks.size(); ++i) tracks[i].NoteOn(static_cast<uint32_t>(i), 0, 60);
    for (int i = 0; i < 8200; ++i) tracks[0].Tempo(1, 500000);
    LoadSong(drive, Song(480, tracks));
    ASSERT_EQ(drive.TrackCount(), 256);
    EXPECT_THAT(Events(255), ElementsAre(Ev{255, 0x90, 60, 100}));
    EXPECT_EQ(drive.TempoCount(), 8192);
    EXPECT_EQ(drive.TempoMap(8191).Tick, 8192);
    EXPECT_EQ(drive.LoadWarnings(), (std::vector<W>{{W::TooManyTracks, 300}, {W::TooManyTempoChanges, 0}}));
}

TEST_F(MidiFileLoad, OddButReadable)
{
    // Quantities end after 4 bytes whatever their top bit; ticks stop at the int32 limit;
    // a data byte without any status before it is left out; chunks of other kinds are
    // passed over.
    TrackBuilder first, second;
    first.Event(0, {60, 100}).Raw({0xFF, 0xFF, 0xFF, 0xFF, 0x90, 60, 1});
    for (int i = 0; i < 9; ++i) first.Raw({0xFF, 0xFF, 0xFF, 0x7F, 0xF8});
    second.NoteOn(0, 1, 61);
    Bytes file = Header(2, 480);
    Put(file, Chunk("MTrk", first.body));
    Put(file, Chunk("XFIH", Bytes(10, 0x90)));
    Put(file, Chunk("MTrk", second.body));
    LoadSong(drive, file);

    ASSERT_EQ(drive.Tracks(0).Count(), 10);
    EXPECT_EQ(Events(0)[0], (Ev{0x0FFFFFFF, 0x90, 60, 1}));
    EXPECT_EQ(std::get<0>(Events(0)[9]), INT32_MAX);
    EXPECT_THAT(Events(1), ElementsAre(Ev{0, 0x91, 61, 100}));
    EXPECT_THAT(Warnings(), ElementsAre(W::DataWithoutStatus));
}

TEST_F(MidiFileLoad, BrokenTracksEndAtTheEndOfTheData)
{
    TrackBuilder cut;
    cut.NoteOn(0, 0, 60).NoteOn(10, 0, 62);
    Bytes file = Song(480, {cut});
    file.pop_back();  // the second note loses its velocity
    LoadSong(drive, file);
    EXPECT_THAT(Events(0), ElementsAre(Ev{0, 0x90, 60, 100}));
    EXPECT_THAT(Warnings(), ElementsAre(W::TrackCutShort));

    // Lengths far beyond the data: a system-exclusive message, a meta event, a chunk.
    for (const Bytes& tail : {Bytes{0x00, 0xF0, 0xFF, 0xFF, 0xFF, 0x7F, 0x01},
                              Bytes{0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}}) {
        TrackBuilder huge;
        huge.NoteOn(0, 0, 61).Raw(tail);
        LoadSong(drive, Song(480, {huge}));
        EXPECT_THAT(Events(0), ElementsAre(Ev{0, 0x90, 61, 100}));
    }
    TrackBuilder chunk;
    chunk.NoteOn(0, 0, 62);
    file = Header(2, 480);
    Put(file, Chunk("MTrk", chunk.body, 0xFFFFFFFF));
    LoadSong(drive, file);
    EXPECT_EQ(drive.TrackCount(), 2);
    EXPECT_THAT(Events(0), ElementsAre(Ev{0, 0x90, 62, 100}));
    EXPECT_THAT(Events(1), IsEmpty());
    EXPECT_THAT(Warnings(), ElementsAre(W::TrackCutShort));
}

TEST_F(MidiFileLoad, BrokenHeaderKeepsThePreviousSong)
{
    TrackBuilder track;
    track.NoteOn(0, 0, 60);
    LoadSong(drive, Song(480, {track}));
    for (const Bytes& broken : {Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0}, Bytes{'M', 'T'},
                                Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1}, Song(0, {track}), Bytes{}}) {
        try {
            LoadSong(drive, broken);
            ADD_FAILURE() << "a broken header was accepted";
        } catch (const EFOpenError& e) {
            EXPECT_STREQ(e.what(), TMidiDrive::kHeaderBroken);
        }
        EXPECT_TRUE(drive.Loaded());
        EXPECT_THAT(Events(0), ElementsAre(Ev{0, 0x90, 60, 100}));
    }

    TempDir dir;
    EXPECT_THROW(drive.LoadFromFile(dir.File("missing.mid")), EFOpenError);
}

TEST(MidiWithoutDevice, EveryOperationIsSilentlySkipped)
{
    ManualClock clock;
    RecordingMidiPorts ports{clock, {"port 0"}};
    TMidiDrive drive{ports, clock, MidiThread::None};
    ports.FailOpen(true);
    drive.OpenDevice(-1);
    ports.FailOpen(false);
    drive.OpenDevice(-1);
    EXPECT_FALSE(drive.DeviceOpen()) << "only the first call opens";

    LoadSong(drive, {'R', 'I', 'F', 'F'});
    drive.LoadFromFile("/nonexistent/song.mid");
    drive.Play();
    drive.FadeOut(0);
    drive.SendGmOn();
    drive.Step();
    EXPECT_FALSE(drive.Loaded());
    EXPECT_THAT(ports.Messages(), IsEmpty());
    EXPECT_EQ(clock.NowMs(), 2) << "no pauses but the loop's own";

    TMidiDrive other{ports, clock, MidiThread::None};
    EXPECT_THROW(other.OpenDevice(1), EmidioutputError);
}

}  // namespace
}  // namespace kelva
