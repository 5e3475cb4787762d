// The MIDI file player: reads a Standard MIDI File (format 0 or 1) into per-track event
// lists with absolute ticks, and plays it from a thread of its own through a TMidiOutput,
// following the file's tempo changes. Songs can loop, skip their silent lead-in, fade
// out, and are silenced on every channel when stopped.
//
// Threads: the main thread calls every operation; the playback thread runs a cycle every
// Period (2) ms. One recursive lock guards all player state: each operation holds it for
// its whole work, a cycle holds it from measuring the clock to sending the last due event.
// The pauses inside Play, AllNotesOff, SendGmOn and SendGsReset are taken with the lock
// held, so the playback thread waits meanwhile. Playing, Loaded and DeviceOpen are read
// by the loop without the lock.
//
// Time comes from the Clock given at construction and the thread sleeps on it. A player
// built with MidiThread::None has no thread: a test drives it with Step() or RunCycle()
// on a virtual clock.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "data/Stream.h"
#include "platform/Clock.h"
#include "platform/MidiPort.h"
#include "sound/MidiOut.h"

namespace kelva {

// A MIDI file that can't be opened, or whose header is broken. CP932 message.
class EFOpenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One event of a track. A channel or system common event has no buffer. A
// system-exclusive event (Status F0 or F7) holds that status byte and its data in Sysex,
// SysexLength bytes in all (so at most 65535).
struct TMyMidiEvent {
    uint8_t Status = 0;
    uint8_t Data1 = 0;
    uint8_t Data2 = 0;
    uint16_t SysexLength = 0;
    std::unique_ptr<uint8_t[]> Sysex;
};

struct TMidiTrackEvent {
    int32_t Tick = 0;  // absolute, from the start of the song
    TMyMidiEvent Event;
};

// One track's events in file order, and the next one to send.
class TMidiTrack {
public:
    void Add(int32_t tick, TMyMidiEvent event) { m_events.push_back({tick, std::move(event)}); }
    // Frees all events and starts again at index 0.
    void Clear();

    int32_t Count() const { return static_cast<int32_t>(m_events.size()); }
    const TMidiTrackEvent& Events(int32_t index) const { return m_events[static_cast<size_t>(index)]; }

    int32_t PlayIndex = 0;

private:
    std::vector<TMidiTrackEvent> m_events;
};

struct TTempoEntry {
    int32_t Tick = 0;
    int32_t Bpm = 0;  // whole beats per minute, at least 1
};

// Something in a MIDI file that was mended or left out while loading; the song still
// loads. Kept for the log and for tests.
struct MidiLoadWarning {
    enum Kind {
        TooManyTracks,        // tracks after the first 256 are not read
        TooManyTempoChanges,  // tempo changes after the first 8192 are passed over
        TrackCutShort,        // the track's chunk runs past the end of the file
        SysexTooLong,         // a system-exclusive message above 65535 bytes, passed over
        DataWithoutStatus,    // a track starts with a data byte; that event is left out
        InvalidTempo,         // a tempo of 0 or with a length other than 1 to 4 bytes, passed over
        TempoTooSlow,         // a tempo slower than 1 beat per minute, played at 1
    };
    Kind What;
    int Track;  // 0-based; the number of tracks in the file for TooManyTracks

    // A CP932 sentence for the log.
    std::string Text() const;
    bool operator==(const MidiLoadWarning&) const = default;
};

enum class MidiThread {
    Start,  // the playback thread runs for the player's whole life
    None,   // no thread: the owner turns the loop with Step() (tests on a virtual clock)
};

class TMidiDrive {
public:
    static constexpr int kMaxTracks = 256;
    static constexpr int kMaxTempoChanges = 8192;
    static constexpr int32_t kPeriod = 2;         // ms between cycles
    static constexpr double kFullVolume = 10000;  // FadeVolume without any fade
    static constexpr int kFadeInterval = 20;      // cycles between fade steps
    static constexpr int kResetPauseMs = 60;      // after GM on and GS reset
    static constexpr const char* kHeaderBroken = "MIDIファイルのヘッダが壊れています";

    // `ports` and `clock` are borrowed and must outlive the player; the clock is read on
    // the playback thread too. No output yet: every operation but OpenDevice does nothing.
    TMidiDrive(MidiPorts& ports, Clock& clock, MidiThread thread = MidiThread::Start);
    // Ends and joins the thread first, then stops the song and closes the output.
    ~TMidiDrive();
    TMidiDrive(const TMidiDrive&) = delete;
    TMidiDrive& operator=(const TMidiDrive&) = delete;

    // Only the first call does anything: creates the output, sets its DeviceID (−1: the
    // default output; an EmidioutputError from that reaches the caller) and opens it.
    // An output that can't be opened leaves the player silent for good, without a word.
    void OpenDevice(int32_t deviceId);

    // Stops the current song and loads a new one from the whole stream, from its start.
    // A stream that doesn't start with a MIDI header (or whose header is cut short or has
    // a division of 0) raises EFOpenError "MIDIファイルのヘッダが壊れています" and the
    // previous song stays loaded. Anything else that is wrong in the file is mended or
    // left out (see LoadWarnings), never fatal.
    void LoadFromStream(Stream& stream);
    // LoadFromStream on a file; one that can't be opened raises EFOpenError.
    void LoadFromFile(const std::string& name);

    // Starts the loaded song at tick 0: GM on / GS reset when asked for (60 ms each),
    // then every channel's volume to 100 (1 ms apart). Nothing unless a song is loaded
    // and none is playing.
    void Play();
    // If playing: stops at once and silences every channel (AllNotesOff).
    void Stop();
    // Fades to silence over `ms` milliseconds of nominal cycles, then stops as Stop does.
    // 0 stops at once; a negative time restores full volume at the next fade step.
    void FadeOut(int32_t ms);
    // If playing: back to tick 0 and the first tempo, nothing else changed.
    void Rewind();
    // For each channel: volume 0, all sound off, all notes off, reset all controllers,
    // then a 1 ms pause.
    void AllNotesOff();
    void SendGmOn();
    void SendGsReset();

    // Settings read when a song starts (SkipLeadIn also while it plays, Looping at its end).
    bool Looping() const;
    void SetLooping(bool on);
    bool SkipLeadIn() const;
    void SetSkipLeadIn(bool on);
    bool GmOnAtStart() const;
    void SetGmOnAtStart(bool on);
    bool GsResetAtStart() const;
    void SetGsResetAtStart(bool on);

    bool DeviceOpen() const { return m_deviceOpen; }
    bool Playing() const { return m_playing; }
    bool Loaded() const { return m_loaded; }
    // The output once OpenDevice has created it, else nullptr.
    TMidiOutput* Output();

    // The state of the song, for diagnostics and tests.
    int32_t Period() const { return kPeriod; }
    int32_t Cycles() const;
    int32_t Tempo() const;
    long double Position() const;
    int32_t FirstNoteTick() const;
    double FadeVolume() const;
    double FadeStep() const;
    int32_t ChannelVolume(int channel) const;
    int32_t Division() const;
    int32_t TrackCount() const;
    int32_t TempoCount() const;
    TTempoEntry TempoMap(int32_t index) const;
    std::vector<MidiLoadWarning> LoadWarnings() const;
    // Read it only while no song plays: the playback thread moves its PlayIndex.
    const TMidiTrack& Tracks(int32_t index) const { return m_tracks[static_cast<size_t>(index)]; }

    // One turn of the playback loop, as the thread runs it: a cycle, then the pause of
    // Period ms when one is due (sleeping on the clock).
    void Step();
    // One cycle of the playback loop without the pause: measures the clock, applies tempo
    // changes, moves the song position, runs a fade step every 20th cycle and sends every
    // event that has fallen due. True when the loop should pause before the next cycle
    // (idle, or events still to come); false right after a loop back to tick 0.
    bool RunCycle();

private:
    void ThreadMain();
    void Pause(int32_t ms);
    // Sends, dropping what the output refuses: a lost message must not end the song,
    // and the player never complains about its device.
    void Deliver(const TMyMidiEvent& event);
    void DeliverShort(uint8_t status, uint8_t data1, uint8_t data2);
    void DeliverLong(const uint8_t* data, uint16_t length);
    void ReadSong(const std::vector<uint8_t>& bytes);
    void ClearSong();
    void ResetToStart();
    // A fade step; true when it ended the song.
    bool FadeStepDue();
    void SendChannelVolumes();

    MidiPorts& m_ports;
    Clock& m_clock;
    mutable std::recursive_mutex m_lock;

    std::unique_ptr<TMidiOutput> m_output;
    std::atomic<bool> m_deviceOpen{false};
    std::atomic<bool> m_playing{false};
    std::atomic<bool> m_loaded{false};
    bool m_looping = false;
    bool m_skipLeadIn = false;
    bool m_gmOnAtStart = false;
    bool m_gsResetAtStart = false;

    int32_t m_cycles = 0;
    uint32_t m_lastTime = 0;
    int32_t m_elapsed = 0;
    int32_t m_tempo = 120;
    long double m_position = 0;
    int32_t m_firstNoteTick = 0;
    std::array<int32_t, 16> m_channelVolume{};
    double m_fadeVolume = kFullVolume;
    double m_fadeStep = 0;

    int32_t m_division = 0;
    int32_t m_trackCount = 0;
    int32_t m_lastTick = 0;  // the tick of the song's last event
    std::array<TMidiTrack, kMaxTracks> m_tracks;
    std::vector<TTempoEntry> m_tempoMap;
    int32_t m_tempoIndex = 0;
    std::vector<MidiLoadWarning> m_warnings;

    // The thread sleeps on this while no song plays, rather than waking every period.
    void WakeThread();
    std::mutex m_wakeLock;
    std::condition_variable m_wake;

    std::atomic<bool> m_terminated{false};
    std::thread m_thread;  // last: it starts once everything above is ready
};

}  // namespace kelva
