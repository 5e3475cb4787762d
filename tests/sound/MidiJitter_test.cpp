// How punctually the MIDI player's thread sends on the real clock: each event's lateness
// against the moment it falls due. Printed for whoever tunes the loop; the bound asserted
// is loose enough for a busy machine and the best of three plays counts, so it catches a
// broken loop, not a slow one. When the machine is so loaded that this thread's own sleeps
// overrun as badly, no thread can keep time and the bound is not asserted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/headless/RecordingMidiPort.h"
#include "platform/linux/SteadyClock.h"
#include "sound/MidiDrv.h"
#include "sound/MidiSongBuilder.h"

namespace kelva {
namespace {

using namespace test;

struct Jitter {
    int64_t earliest = 0;  // the earliest event's lateness (negative: early)
    int64_t p99 = 0;
    int64_t worstWake = 0;  // how far this thread's own 10 ms sleeps overran
};

// Plays a song of 220 events on the real clock and measures how late each leaves.
Jitter MeasureOnce()
{
    // Division 500 at the default 120 beats a minute: a tick is a millisecond. A step of 7
    // ticks falls at every phase of the loop's 2 ms period.
    constexpr uint32_t kStep = 7;
    constexpr int kEvents = 220;  // about 1.5 s
    TrackBuilder track;
    std::vector<int64_t> due;
    for (int i = 0; i < kEvents; ++i) {
        track.Event(i == 0 ? 0 : kStep, {static_cast<uint8_t>(i % 2 ? 0x80 : 0x90), 60, 64});
        due.push_back(static_cast<int64_t>(i) * kStep);
    }

    SteadyClock clock;
    RecordingMidiPorts ports{clock};
    TMidiDrive drive{ports, clock};
    drive.OpenDevice(-1);
    LoadSong(drive, Song(500, {track}));
    drive.Play();
    // The song's clock starts as Play returns. The thread may send the first note before
    // this thread gets to run again, so the channel volumes Play sent are left out by
    // their status rather than by clearing the record here.
    // Should this thread be that late, the first note's time stands in for the start.
    const int64_t afterPlay = clock.NowMs();
    Jitter jitter;
    while (drive.Playing()) {
        const int64_t wake = clock.NowMs() + 10;
        clock.SleepUntil(wake);
        jitter.worstWake = std::max(jitter.worstWake, clock.NowMs() - wake);
    }

    std::vector<RecordedMidiMessage> sent = ports.Messages();
    std::erase_if(sent, [](const RecordedMidiMessage& message) { return (message.Status() & 0xF0) == 0xB0; });
    EXPECT_EQ(sent.size(), due.size());
    if (sent.size() != due.size()) return jitter;
    const int64_t start = std::min(afterPlay, sent.front().TimeMs);
    std::vector<int64_t> late;
    for (size_t i = 0; i < sent.size(); ++i) late.push_back(sent[i].TimeMs - (start + due[i]));
    std::sort(late.begin(), late.end());
    jitter.earliest = late.front();
    jitter.p99 = late[late.size() * 99 / 100];
    std::printf(
        "MIDI jitter over %zu events: p50 %lld ms, p99 %lld ms, max %lld ms (sleeps overran by %lld ms)\n",
        late.size(), static_cast<long long>(late[late.size() / 2]), static_cast<long long>(jitter.p99),
        static_cast<long long>(late.back()), static_cast<long long>(jitter.worstWake));
    return jitter;
}

TEST(MidiJitter, EventsLeaveCloseToTheirTime)
{
    constexpr int64_t kOverloadedMs = 20;
    // A busy machine can delay the player's thread for a moment; a broken loop is late every
    // time. So the best of three plays counts.
    Jitter best;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Jitter jitter = MeasureOnce();
        // Never early, but for the millisecond our reading of the start may lag the player's.
        EXPECT_GE(jitter.earliest, -1);
        if (attempt == 0 || jitter.p99 < best.p99) best = jitter;
        if (best.p99 < 50) return;
    }
    if (best.worstWake >= kOverloadedMs)
        GTEST_SKIP() << "machine overloaded: a 10 ms sleep overran by " << best.worstWake << " ms";
    EXPECT_LT(best.p99, 50);
}

}  // namespace
}  // namespace kelva
