// The CD audio player the stage window owns: plays tracks of an audio CD (or of a disc
// image standing in for one) into the mixer, notices discs coming and going, and plays
// on from one play-list entry to the next, repeating the disc until it is stopped.
//
// Threads: everything here is called on the main thread. The audio goes through an
// AudioSource in the mixer; when a play reaches its end the audio thread only marks it,
// and the next ProcessNotices (or Tick) on the main thread acts on it.
//
// Driving: the owner calls Tick often (every pass of its frame loop, and from every
// message pump that runs while the story waits, PlayCdTrack's included). Tick handles
// the play-finished notice at once and runs WatchTimer every 200 ms of the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/CdDrive.h"
#include "platform/Clock.h"
#include "sound/AudioMixer.h"

namespace kelva {

class CdAudioSource;

class TCDP {
public:
    // Answers of CdMode.
    enum Mode {
        kModePlaying = 0,
        kModeStopped = 1,
        kModePaused = 2,    // nothing here pauses, so never answered
        kModeSeeking = 3,   // seeking is never seen from outside, so never answered
        kModeNotReady = 4,  // also: no device open, no disc
        kModeOpen = 5,      // the tray is open
    };

    static constexpr int kWatchIntervalMs = 200;
    // Watch ticks without a known disc before the drive is asked whether one is in.
    static constexpr int kPollTicks = 5;
    // PlayCdTrack's search: attempts per drive, and the sleep in each.
    static constexpr int kSearchAttempts = 30;
    static constexpr int kSearchSleepMs = 100;

    // `drives` make up the drive list, in order. The mixer and the clock are borrowed
    // and must outlive the player. No device is open at first.
    TCDP(std::vector<std::unique_ptr<CdDrive>> drives, AudioMixer& mixer, Clock& clock);
    // Stops the audio and closes the device.
    ~TCDP();
    TCDP(const TCDP&) = delete;
    TCDP& operator=(const TCDP&) = delete;

    // The drives' names, listed once at construction.
    const std::vector<std::string>& DriveList() const { return m_driveNames; }

    // Track numbers as decimal text; filled with "1" to the number of tracks when a disc
    // is noticed, emptied when it is taken out.
    const std::vector<std::string>& PlayList() const { return m_playList; }
    // After the last play-list entry, start again from the first. On at first.
    bool RepeatPlay() const { return m_repeatPlay; }
    void SetRepeatPlay(bool on) { m_repeatPlay = on; }

    // Opens the drive at `index` of the drive list as the device, closing any other first.
    bool OpenDrive(int index);
    // Stops the audio and closes the device; false when none was open. The disc is
    // forgotten with it.
    bool CloseDevice();

    // The operations below do nothing, or answer false or 0, while no device is open.
    bool MediaPresent();
    bool Ready();
    // The sum over the play list of each track's length in whole seconds.
    int TotalSeconds();
    // Plays from the start of track `track` when the play list holds it (to the end of the
    // disc with the whole disc's list); otherwise nothing changes.
    void PlayTrack(int track);
    void StopCd();
    Mode CdMode();

    // Starts track `track` for the story's CD command: at once when a disc is in the open
    // drive; otherwise tries each drive in turn, waiting up to 3 s on each for a disc to be
    // noticed (30 times: `pumpMessages`, then 100 ms of sleep on the clock). The pump
    // must call Tick so the watch timer can notice the disc; it answers false to give up
    // (the window is closing). Nothing plays, and nothing is reported, when no drive has
    // a disc with audio.
    void PlayCdTrack(int track, const std::function<bool()>& pumpMessages);

    // The owner's regular call: ProcessNotices, then WatchTimer when WatchTimerDue.
    void Tick();
    // Acts on a play that has finished: plays the next play-list entry, or the first
    // again with RepeatPlay.
    void ProcessNotices();
    // Whether 200 ms have passed on the clock since the last watch tick (a late tick is not
    // made up for); when so, the next one is due 200 ms on.
    bool WatchTimerDue();
    // One watch tick: notices a disc (after kPollTicks + 1 ticks), forgets a removed one,
    // and follows the playing position from track to track.
    void WatchTimer();

    // The track being played; 1 while no disc is known.
    int CurrentTrack() const { return m_currentTrack; }
    // The last failure of a drive, kept and not reported (for logs).
    const std::string& LastError() const { return m_lastError; }

private:
    bool Playing() const;
    // Plays from sector `position` to the end of the run of consecutive play-list entries
    // that starts at the current index.
    void PlayFrom(int32_t position);
    void PlayFinished();
    void StopAudio();
    // The track holding `sector` in `tracks`; 1 before the first.
    static int TrackAt(const std::vector<CdTrack>& tracks, int32_t sector);
    // The play-list entry at `index` as a track number; 0 when it isn't one.
    int EntryTrack(size_t index) const;

    std::vector<std::unique_ptr<CdDrive>> m_drives;
    std::vector<std::string> m_driveNames;
    AudioMixer& m_mixer;
    Clock& m_clock;
    CdDrive* m_device = nullptr;  // one of m_drives, or none
    std::shared_ptr<CdAudioSource> m_source;
    bool m_noticePending = false;  // a play has finished (or had nothing to play)

    std::vector<std::string> m_playList;
    bool m_repeatPlay = true;
    size_t m_currentIndex = 0;
    int m_currentTrack = 1;
    bool m_discKnown = false;
    bool m_span = false;
    int m_pollCount = 0;
    int64_t m_nextWatchMs;
    std::string m_lastError;
};

}  // namespace kelva
