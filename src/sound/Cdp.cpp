#include "sound/Cdp.h"

#include <algorithm>

#include "sound/CdAudioSource.h"

namespace kelva {

TCDP::TCDP(std::vector<std::unique_ptr<CdDrive>> drives, AudioMixer& mixer, Clock& clock)
    : m_drives(std::move(drives)),
      m_mixer(mixer),
      m_clock(clock),
      m_nextWatchMs(clock.NowMs() + kWatchIntervalMs)
{
    for (const auto& drive : m_drives) m_driveNames.push_back(drive->Name());
}

TCDP::~TCDP()
{
    CloseDevice();
}

bool TCDP::OpenDrive(int index)
{
    if (index < 0 || index >= static_cast<int>(m_drives.size())) return false;
    CloseDevice();
    CdDrive& drive = *m_drives[index];
    if (!drive.Open(m_lastError)) return false;
    m_device = &drive;
    return true;
}

bool TCDP::CloseDevice()
{
    if (!m_device) return false;
    StopAudio();
    m_device->Close();
    m_device = nullptr;
    // Another drive may be opened next: what was known of this one's disc must go.
    m_discKnown = false;
    m_playList.clear();
    m_currentIndex = 0;
    m_currentTrack = 1;
    m_pollCount = 0;
    return true;
}

bool TCDP::MediaPresent()
{
    if (!m_device) return false;
    const CdDiscState state = m_device->DiscState();
    return state == CdDiscState::Ready || state == CdDiscState::NotReady;
}

bool TCDP::Ready()
{
    return m_device && m_device->DiscState() == CdDiscState::Ready;
}

int TCDP::TotalSeconds()
{
    if (!m_device) return 0;
    const std::vector<CdTrack> tracks = m_device->Tracks();
    int seconds = 0;
    for (size_t i = 0; i < m_playList.size(); ++i) {
        const int track = EntryTrack(i);
        if (track >= 1 && track <= static_cast<int>(tracks.size())) {
            seconds += tracks[track - 1].Length / kCdSectorsPerSecond;
        }
    }
    return seconds;
}

void TCDP::PlayTrack(int track)
{
    if (!m_device) return;
    const auto found = std::find(m_playList.begin(), m_playList.end(), std::to_string(track));
    const std::vector<CdTrack> tracks = m_device->Tracks();
    if (found == m_playList.end() || track < 1 || track > static_cast<int>(tracks.size())) return;
    m_currentIndex = static_cast<size_t>(found - m_playList.begin());
    PlayFrom(tracks[track - 1].Start);
}

void TCDP::StopCd()
{
    if (m_device) StopAudio();
}

TCDP::Mode TCDP::CdMode()
{
    if (!m_device) return kModeNotReady;
    switch (m_device->DiscState()) {
        case CdDiscState::Ready:
            return Playing() ? kModePlaying : kModeStopped;
        case CdDiscState::TrayOpen:
            return kModeOpen;
        case CdDiscState::NotReady:
        case CdDiscState::NoDisc:
            break;
    }
    return kModeNotReady;
}

void TCDP::PlayCdTrack(int track, const std::function<bool()>& pumpMessages)
{
    if (MediaPresent()) {
        PlayTrack(track);
        return;
    }
    CloseDevice();
    for (int drive = 0; drive < static_cast<int>(m_drives.size()); ++drive) {
        // A drive that can't be opened can't get a disc either: no use waiting on it.
        if (!OpenDrive(drive)) continue;
        const int64_t giveUpMs = m_clock.NowMs() + kSearchAttempts * kSearchSleepMs;
        for (int attempt = 0; attempt < kSearchAttempts && m_clock.NowMs() < giveUpMs; ++attempt) {
            if (pumpMessages && !pumpMessages()) return;
            m_clock.SleepUntil(m_clock.NowMs() + kSearchSleepMs);
            if (Ready() && MediaPresent() && TotalSeconds() >= 1) {
                PlayTrack(track);
                return;
            }
        }
        CloseDevice();
    }
}

void TCDP::Tick()
{
    ProcessNotices();
    if (WatchTimerDue()) WatchTimer();
}

void TCDP::ProcessNotices()
{
    if (m_source && m_source->Finished()) {
        m_mixer.Remove(m_source.get());
        m_source.reset();
        m_noticePending = true;
    }
    if (!m_noticePending) return;
    m_noticePending = false;
    PlayFinished();
}

bool TCDP::WatchTimerDue()
{
    const int64_t now = m_clock.NowMs();
    if (now < m_nextWatchMs) return false;
    m_nextWatchMs =
        now - m_nextWatchMs >= kWatchIntervalMs ? now + kWatchIntervalMs : m_nextWatchMs + kWatchIntervalMs;
    return true;
}

void TCDP::WatchTimer()
{
    if (!m_device) return;
    if (!m_discKnown) {
        m_currentTrack = 1;
        if (++m_pollCount <= kPollTicks) return;
        m_pollCount = 0;
        if (!MediaPresent()) return;
        // A disc whose contents can't be read yet is asked again at the next poll.
        const size_t count = m_device->Tracks().size();
        if (count == 0) return;
        m_discKnown = true;
        m_playList.clear();
        for (size_t track = 1; track <= count; ++track) m_playList.push_back(std::to_string(track));
        m_currentIndex = 0;
        return;
    }
    if (!MediaPresent()) {
        m_discKnown = false;
        m_playList.clear();
        return;
    }
    if (!Playing() || !m_span) return;
    const int positionTrack = TrackAt(m_device->Tracks(), m_source->Position());
    if (positionTrack != m_currentTrack && EntryTrack(m_currentIndex + 1) == m_currentTrack + 1) {
        ++m_currentIndex;
        m_currentTrack = positionTrack;
    }
}

bool TCDP::Playing() const
{
    return m_source && !m_source->Finished();
}

void TCDP::PlayFrom(int32_t position)
{
    StopAudio();
    const std::vector<CdTrack> tracks = m_device->Tracks();
    if (tracks.empty()) return;
    m_currentTrack = TrackAt(tracks, position);

    int endTrack = EntryTrack(m_currentIndex);
    for (size_t i = m_currentIndex + 1; EntryTrack(i) == endTrack + 1; ++i) ++endTrack;
    if (endTrack < 1 || endTrack > static_cast<int>(tracks.size()))
        endTrack = static_cast<int>(tracks.size());
    m_span = endTrack != m_currentTrack;
    const int32_t end = tracks[endTrack - 1].Start + tracks[endTrack - 1].Length;

    // Data tracks hold no sound (a game disc's first track is its data): the play starts
    // at the first audio track from the position on and ends before the next data track.
    // Whatever follows that is reached through the play-finished notice like any track.
    size_t index = static_cast<size_t>(TrackAt(tracks, position) - 1);
    int32_t from = position;
    while (index < tracks.size() && !tracks[index].Audio) {
        ++index;
        if (index < tracks.size()) from = tracks[index].Start;
    }
    int32_t to = from;
    for (; index < tracks.size() && tracks[index].Audio && tracks[index].Start < end; ++index) {
        to = std::min(end, tracks[index].Start + tracks[index].Length);
    }
    if (to <= from) {
        // Nothing to hear before the end: finished at once, unless the disc has no audio
        // at all, which would go round for ever.
        m_noticePending = std::any_of(tracks.begin(), tracks.end(), [](const CdTrack& t) { return t.Audio; });
        return;
    }
    std::unique_ptr<CdAudioStream> stream = m_device->ReadAudio(from, to, m_lastError);
    if (!stream) return;
    m_source = std::make_shared<CdAudioSource>(std::move(stream), from, m_mixer.SampleRate());
    m_mixer.Add(m_source);
}

void TCDP::PlayFinished()
{
    if (!m_device || m_playList.empty()) return;
    if (m_currentIndex + 1 < m_playList.size()) {
        ++m_currentIndex;
    } else if (m_repeatPlay) {
        m_currentIndex = 0;
    } else {
        return;
    }
    const int track = EntryTrack(m_currentIndex);
    const std::vector<CdTrack> tracks = m_device->Tracks();
    if (track >= 1 && track <= static_cast<int>(tracks.size())) PlayFrom(tracks[track - 1].Start);
}

void TCDP::StopAudio()
{
    m_noticePending = false;
    if (!m_source) return;
    m_mixer.Remove(m_source.get());
    m_source.reset();
}

int TCDP::TrackAt(const std::vector<CdTrack>& tracks, int32_t sector)
{
    int track = 1;
    for (size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].Start <= sector) track = static_cast<int>(i) + 1;
    }
    return track;
}

int TCDP::EntryTrack(size_t index) const
{
    if (index >= m_playList.size()) return 0;
    const std::string& text = m_playList[index];
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoi(text);
}

}  // namespace kelva
