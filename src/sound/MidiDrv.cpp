#include "sound/MidiDrv.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/ThreadPriority.h"

namespace kelva {

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

constexpr int32_t kDefaultTempo = 120;
constexpr int32_t kLeadInSpeed = 3;
constexpr int32_t kFirstNoteLimit = 100000;
constexpr uint8_t kGmOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
constexpr uint8_t kGsReset[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};

constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kChannelVolume = 7;
constexpr uint8_t kAllSoundOff = 120;
constexpr uint8_t kResetAllControllers = 121;
constexpr uint8_t kAllNotesOff = 123;

// Reads the copy of a MIDI file. Reading past the end gives 0 and marks the reader
// exhausted, so a cut-off event can be recognised and left out.
class SongReader {
public:
    explicit SongReader(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}

    size_t Position() const { return m_position; }
    size_t Size() const { return m_bytes.size(); }
    size_t Remaining() const { return m_bytes.size() - m_position; }
    bool AtEnd() const { return m_position >= m_bytes.size(); }
    bool Exhausted() const { return m_exhausted; }

    uint8_t Byte()
    {
        if (m_position >= m_bytes.size()) {
            m_exhausted = true;
            return 0;
        }
        return m_bytes[m_position++];
    }

    void StepBack() { --m_position; }

    // At most 4 bytes, as the format allows (up to 0x0FFFFFFF): a fourth byte ends the
    // quantity whatever its top bit says, so a run of set top bits can't go on forever.
    uint32_t VariableLength()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const uint8_t b = Byte();
            value = (value << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) break;
        }
        return value;
    }

    // A big-endian number of 1 to 4 bytes.
    uint32_t BigEndian(int count)
    {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i) value = (value << 8) | Byte();
        return value;
    }

    bool Tag(const char (&tag)[5])
    {
        if (Remaining() < 4) {
            m_position = m_bytes.size();
            return false;
        }
        const bool match = std::memcmp(m_bytes.data() + m_position, tag, 4) == 0;
        m_position += 4;
        return match;
    }

    // Passes over `count` bytes; past the end it stops there, exhausted.
    void Skip(uint64_t count)
    {
        if (count > Remaining()) {
            m_position = m_bytes.size();
            m_exhausted = true;
        } else {
            m_position += static_cast<size_t>(count);
        }
    }

    void Seek(size_t position) { m_position = std::min(position, m_bytes.size()); }
    void ResetExhausted() { m_exhausted = false; }
    const uint8_t* Here() const { return m_bytes.data() + m_position; }

private:
    const std::vector<uint8_t>& m_bytes;
    size_t m_position = 0;
    bool m_exhausted = false;
};

// Data bytes that follow a status byte in a track.
int DataBytes(uint8_t status)
{
    if (status >= 0xC0 && status <= 0xDF) return 1;
    if (status == 0xF1 || status == 0xF3) return 1;
    if (status >= 0xF8) return 0;
    return 2;
}

std::vector<uint8_t> ReadWholeStream(Stream& stream)
{
    std::vector<uint8_t> bytes;
    stream.Seek(0, SeekOrigin::Begin);
    const int64_t size = stream.Size();
    if (size > 0) bytes.reserve(static_cast<size_t>(size));
    uint8_t chunk[65536];
    for (;;) {
        const size_t got = stream.Read(chunk, sizeof chunk);
        if (got == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

}  // namespace

// ---- events and warnings -------------------------------------------------------------

void TMidiTrack::Clear()
{
    std::vector<TMidiTrackEvent>().swap(m_events);
    PlayIndex = 0;
}

std::string MidiLoadWarning::Text() const
{
    const std::string track = "トラック" + std::to_string(Track + 1) + ": ";
    switch (What) {
        case TooManyTracks:
            return "トラックが" + std::to_string(Track) + "個あります。先頭の256トラックだけを演奏します";
        case TooManyTempoChanges:
            return "テンポ変更が8192を超えています。それ以降のテンポ変更は無視します";
        case TrackCutShort:
            return track + "データが途中で終わっています";
        case SysexTooLong:
            return track + "65535バイトを超えるシステムエクスクルーシブを無視します";
        case DataWithoutStatus:
            return track + "ステータスのないイベントを無視します";
        case InvalidTempo:
            return track + "不正なテンポを無視します";
        case TempoTooSlow:
            return track + "遅すぎるテンポを1拍/分で演奏します";
    }
    return track;
}

// ---- construction and destruction ----------------------------------------------------

TMidiDrive::TMidiDrive(MidiPorts& ports, Clock& clock, MidiThread thread) : m_ports(ports), m_clock(clock)
{
    m_channelVolume.fill(100);
    m_tempoMap.reserve(kMaxTempoChanges);
    // The system timer already resolves 1 ms here; nothing to ask for.
    m_lastTime = static_cast<uint32_t>(m_clock.NowMs());
    if (thread == MidiThread::Start) {
        m_thread = std::thread([this] { ThreadMain(); });
        SetTimeCriticalPriority(m_thread);
    }
}

TMidiDrive::~TMidiDrive()
{
    // The thread goes first: it uses everything below.
    m_terminated = true;
    WakeThread();
    if (m_thread.joinable()) m_thread.join();
    if (m_deviceOpen) {
        Stop();
        try {
            m_output->Close();
        } catch (const EmidioutputError&) {
            // The output drops its port when it goes, refused or not.
        }
    }
    m_output.reset();
}

void TMidiDrive::OpenDevice(int32_t deviceId)
{
    Guard guard(m_lock);
    if (m_output) return;
    m_output = std::make_unique<TMidiOutput>(m_ports);
    m_output->SetDeviceID(deviceId);
    m_deviceOpen = m_output->Open();
}

// ---- loading -------------------------------------------------------------------------

void TMidiDrive::LoadFromFile(const std::string& name)
{
    if (!m_deviceOpen) return;
    std::unique_ptr<FileStream> file = FileStream::Open(name, FileMode::Read);
    if (!file) throw EFOpenError("ファイル " + name + " を開けません");
    LoadFromStream(*file);
}

void TMidiDrive::LoadFromStream(Stream& stream)
{
    if (!m_deviceOpen) return;
    Stop();
    Guard guard(m_lock);
    const std::vector<uint8_t> bytes = ReadWholeStream(stream);
    try {
        ReadSong(bytes);
    } catch (const EFOpenError&) {
        throw;  // the header was refused before anything was touched
    } catch (...) {
        ClearSong();  // out of memory halfway: no half-read song
        throw;
    }
    m_loaded = true;
}

void TMidiDrive::ClearSong()
{
    for (TMidiTrack& track : m_tracks) track.Clear();
    m_trackCount = 0;
    m_tempoMap.clear();
    m_lastTick = 0;
    m_loaded = false;
}

void TMidiDrive::ReadSong(const std::vector<uint8_t>& bytes)
{
    SongReader in(bytes);
    // The header: "MThd", a length (the first track is expected right after these 14
    // bytes whatever it says), format (all formats play every track together), track
    // count, division. A division of 0 would stall the song; a negative (time code)
    // division is taken as a plain tick count.
    if (!in.Tag("MThd") || in.Remaining() < 10) throw EFOpenError(kHeaderBroken);
    in.BigEndian(4);
    in.BigEndian(2);
    const int32_t fileTracks = static_cast<int32_t>(in.BigEndian(2));
    const int32_t division = static_cast<int32_t>(in.BigEndian(2));
    if (division == 0) throw EFOpenError(kHeaderBroken);

    ClearSong();
    m_warnings.clear();
    m_division = division;
    m_trackCount = std::min(fileTracks, kMaxTracks);
    if (fileTracks > kMaxTracks) m_warnings.push_back({MidiLoadWarning::TooManyTracks, fileTracks});
    auto warn = [this](MidiLoadWarning::Kind what, int track) {
        const MidiLoadWarning warning{what, track};
        if (std::find(m_warnings.begin(), m_warnings.end(), warning) == m_warnings.end())
            m_warnings.push_back(warning);
    };

    int64_t lastTick = 0;
    for (int32_t t = 0; t < m_trackCount; ++t) {
        TMidiTrack& track = m_tracks[static_cast<size_t>(t)];
        // Chunks of other kinds are passed over by their length, so they don't take the
        // place of a track.
        uint64_t length = 0;
        bool found = false;
        while (!in.AtEnd()) {
            const bool isTrack = in.Tag("MTrk");
            if (in.Remaining() < 4) {
                in.Skip(in.Remaining());
                break;
            }
            length = in.BigEndian(4);
            if (isTrack) {
                found = true;
                break;
            }
            in.Skip(length);
        }
        if (!found) continue;

        const size_t start = in.Position();
        const uint64_t end = start + length;
        if (end > in.Size()) warn(MidiLoadWarning::TrackCutShort, t);
        in.ResetExhausted();
        int64_t tick = 0;
        uint8_t status = 0;
        uint8_t lastStatus = 0;
        while (in.Position() < end && !in.AtEnd()) {
            // Ticks beyond the int32 range are never reached; they stop at its end.
            tick = std::min<int64_t>(tick + in.VariableLength(), std::numeric_limits<int32_t>::max());
            const uint8_t first = in.Byte();
            if (first & 0x80) {
                status = first;
            } else {
                // Running status. After a meta event it is the status of the channel or
                // system-exclusive event before it: meta events don't take its place.
                in.StepBack();
                if (status == 0xFF) status = lastStatus;
            }
            if (in.Exhausted()) break;

            if (status == 0xF0 || status == 0xF7) {
                const uint32_t n = in.VariableLength();
                lastStatus = status;
                if (in.Exhausted()) break;
                if (n > in.Remaining()) {
                    in.Skip(n);  // cut off by the end of the file: left out
                } else if (n + 1 > std::numeric_limits<uint16_t>::max()) {
                    in.Skip(n);
                    warn(MidiLoadWarning::SysexTooLong, t);
                } else {
                    TMyMidiEvent event;
                    event.Status = status;
                    event.SysexLength = static_cast<uint16_t>(n + 1);
                    event.Sysex = std::make_unique<uint8_t[]>(n + 1);
                    event.Sysex[0] = status;
                    std::memcpy(event.Sysex.get() + 1, in.Here(), n);
                    in.Skip(n);
                    track.Add(static_cast<int32_t>(tick), std::move(event));
                }
            } else if (status == 0xFF) {
                const uint8_t type = in.Byte();
                const uint32_t n = in.VariableLength();
                if (in.Exhausted()) break;
                if (type != 0x51 || n > in.Remaining()) {
                    in.Skip(n);
                } else if (static_cast<int>(m_tempoMap.size()) >= kMaxTempoChanges) {
                    in.Skip(n);
                    warn(MidiLoadWarning::TooManyTempoChanges, t);
                } else if (n < 1 || n > 4) {
                    in.Skip(n);
                    warn(MidiLoadWarning::InvalidTempo, t);
                } else {
                    // Microseconds per quarter note, kept as whole beats per minute.
                    const uint32_t microseconds = in.BigEndian(static_cast<int>(n));
                    if (microseconds == 0) {
                        warn(MidiLoadWarning::InvalidTempo, t);
                    } else {
                        int32_t bpm = static_cast<int32_t>(60000000u / microseconds);
                        if (bpm == 0) {
                            bpm = 1;
                            warn(MidiLoadWarning::TempoTooSlow, t);
                        }
                        m_tempoMap.push_back({static_cast<int32_t>(tick), bpm});
                    }
                }
            } else {
                const int count = DataBytes(status);
                TMyMidiEvent event;
                event.Status = status;
                if (count >= 1) event.Data1 = in.Byte();
                if (count >= 2) event.Data2 = in.Byte();
                lastStatus = status;
                if (in.Exhausted()) break;
                if (status < 0x80) {
                    // A track that starts without a status byte: no port takes it.
                    warn(MidiLoadWarning::DataWithoutStatus, t);
                } else {
                    track.Add(static_cast<int32_t>(tick), std::move(event));
                }
            }
            if (in.Exhausted()) break;
        }
        if (in.Exhausted()) warn(MidiLoadWarning::TrackCutShort, t);
        if (track.Count() > 0) lastTick = std::max<int64_t>(lastTick, track.Events(track.Count() - 1).Tick);
        // The next chunk starts where this one's length says, however its events ended.
        in.Seek(end > in.Size() ? in.Size() : static_cast<size_t>(end));
    }
    m_lastTick = static_cast<int32_t>(lastTick);
    // Tempo changes in more than one track would otherwise leave the map out of order,
    // and a later change could hold up an earlier one. Ordinary files are in order.
    std::stable_sort(m_tempoMap.begin(), m_tempoMap.end(),
                     [](const TTempoEntry& a, const TTempoEntry& b) { return a.Tick < b.Tick; });
}

// ---- playing -------------------------------------------------------------------------

void TMidiDrive::ResetToStart()
{
    m_tempo = m_tempoMap.empty() ? kDefaultTempo : m_tempoMap[0].Bpm;
    m_tempoIndex = 0;
    m_cycles = 0;
    m_position = 0;
    for (TMidiTrack& track : m_tracks) track.PlayIndex = 0;
}

void TMidiDrive::Play()
{
    if (!m_deviceOpen || m_playing || !m_loaded) return;
    Guard guard(m_lock);
    ResetToStart();
    if (m_skipLeadIn) {
        int32_t first = kFirstNoteLimit;
        for (int32_t t = 0; t < m_trackCount; ++t) {
            const TMidiTrack& track = m_tracks[static_cast<size_t>(t)];
            for (int32_t i = 0; i < track.Count(); ++i) {
                const TMidiTrackEvent& e = track.Events(i);
                if ((e.Event.Status & 0xF0) == 0x90 && e.Tick < first) {
                    first = e.Tick;
                    break;  // ticks only grow along a track
                }
            }
        }
        // Normal speed a sixteenth note before the first note, so it isn't rushed into.
        m_firstNoteTick = std::max(0, first - m_division / 4);
    }
    m_fadeVolume = kFullVolume;
    m_fadeStep = 0;
    if (m_gmOnAtStart) SendGmOn();
    if (m_gsResetAtStart) SendGsReset();
    // After a reset message the synthesizer's volumes are already at their defaults.
    const bool reset = m_gmOnAtStart || m_gsResetAtStart;
    for (int channel = 0; channel < 16; ++channel) {
        m_channelVolume[static_cast<size_t>(channel)] = 100;
        if (!reset) DeliverShort(static_cast<uint8_t>(kControlChange + channel), kChannelVolume, 100);
        Pause(1);
    }
    if (m_thread.joinable()) SetTimeCriticalPriority(m_thread);
    m_playing = true;
    m_lastTime = static_cast<uint32_t>(m_clock.NowMs());
    WakeThread();
}

void TMidiDrive::Stop()
{
    if (!m_deviceOpen || !m_playing) return;
    // Cleared before waiting for the lock, so the loop starts no further cycle.
    m_playing = false;
    Guard guard(m_lock);
    AllNotesOff();
    m_fadeStep = 0;
    m_fadeVolume = kFullVolume;
}

void TMidiDrive::FadeOut(int32_t ms)
{
    if (!m_deviceOpen) return;
    Guard guard(m_lock);
    if (ms == 0) {
        // No time to fade in: stop at once.
        Stop();
        m_fadeStep = 0;
        m_fadeVolume = kFullVolume;
        return;
    }
    m_fadeVolume = kFullVolume;
    m_fadeStep = -(kFullVolume / ms) * kPeriod;
}

void TMidiDrive::Rewind()
{
    if (!m_deviceOpen || !m_playing) return;
    Guard guard(m_lock);
    ResetToStart();
}

void TMidiDrive::AllNotesOff()
{
    if (!m_deviceOpen) return;
    Guard guard(m_lock);
    for (int channel = 0; channel < 16; ++channel) {
        const auto status = static_cast<uint8_t>(kControlChange + channel);
        DeliverShort(status, kChannelVolume, 0);
        DeliverShort(status, kAllSoundOff, 0);
        DeliverShort(status, kAllNotesOff, 0);
        DeliverShort(status, kResetAllControllers, 0);
        Pause(1);
    }
}

void TMidiDrive::SendGmOn()
{
    if (!m_deviceOpen) return;
    Guard guard(m_lock);
    DeliverLong(kGmOn, sizeof kGmOn);
    Pause(kResetPauseMs);  // lets the synthesizer settle before the first notes
}

void TMidiDrive::SendGsReset()
{
    if (!m_deviceOpen) return;
    Guard guard(m_lock);
    DeliverLong(kGsReset, sizeof kGsReset);
    Pause(kResetPauseMs);
}

// ---- the playback loop ---------------------------------------------------------------

void TMidiDrive::ThreadMain()
{
    {
        Guard guard(m_lock);
        m_lastTime = static_cast<uint32_t>(m_clock.NowMs());
    }
    while (!m_terminated) {
        if (m_playing) {
            Step();
            continue;
        }
        // Nothing to send until a song plays: waking every period would cost an idle
        // player its few hundred wake-ups a second.
        std::unique_lock<std::mutex> wait(m_wakeLock);
        m_wake.wait(wait, [this] { return m_playing || m_terminated; });
    }
}

void TMidiDrive::WakeThread()
{
    // Taking the lock orders the flag just set before the thread's look at it: it either
    // sees the flag or is already waiting and gets the notification.
    {
        std::lock_guard<std::mutex> ordered(m_wakeLock);
    }
    m_wake.notify_all();
}

void TMidiDrive::Step()
{
    if (RunCycle()) Pause(kPeriod);
}

void TMidiDrive::Pause(int32_t ms)
{
    m_clock.SleepUntil(m_clock.NowMs() + ms);
}

bool TMidiDrive::RunCycle()
{
    if (!m_loaded || !m_playing || !m_deviceOpen) return true;
    Guard guard(m_lock);
    // Stop may have come in while this thread waited for the lock: no event may follow
    // its notes-off sequence.
    if (!m_playing) return true;

    const auto now = static_cast<uint32_t>(m_clock.NowMs());
    m_elapsed = static_cast<int32_t>(now - m_lastTime);
    m_lastTime = now;
    ++m_cycles;

    // A change applies from the first cycle whose position has reached it, for the time
    // that cycle measured.
    while (m_tempoIndex < static_cast<int32_t>(m_tempoMap.size()) &&
           m_position >= m_tempoMap[static_cast<size_t>(m_tempoIndex)].Tick) {
        m_tempo = m_tempoMap[static_cast<size_t>(m_tempoIndex)].Bpm;
        ++m_tempoIndex;
    }
    const int32_t speed = (m_skipLeadIn && m_position < m_firstNoteTick) ? kLeadInSpeed : 1;
    // The position follows the measured time, not the number of cycles, so late cycles
    // don't slow the song down. Tempo and division are at least 1 (see ReadSong).
    m_position += m_elapsed / ((60000.0L / (static_cast<long double>(m_tempo) * speed)) / m_division);

    if (m_fadeStep != 0 && m_cycles % kFadeInterval == 0 && FadeStepDue()) return true;

    bool pending = false;
    for (int32_t t = 0; t < m_trackCount; ++t) {
        TMidiTrack& track = m_tracks[static_cast<size_t>(t)];
        while (track.PlayIndex < track.Count() && m_position >= track.Events(track.PlayIndex).Tick) {
            Deliver(track.Events(track.PlayIndex).Event);
            ++track.PlayIndex;
        }
        if (track.PlayIndex < track.Count()) pending = true;
    }
    if (pending) return true;

    // Every event is out. A song whose events all sit at tick 0 would loop without time
    // passing and flood the port, so it ends like a song without events.
    if (m_looping && m_lastTick > 0) {
        ResetToStart();
        return false;  // the next cycle follows at once, keeping the beat across the loop
    }
    m_playing = false;
    m_fadeStep = 0;
    return true;
}

bool TMidiDrive::FadeStepDue()
{
    m_fadeVolume += m_fadeStep * kFadeInterval;
    if (m_fadeStep > 0 && m_fadeVolume >= kFullVolume) {
        m_fadeVolume = kFullVolume;
        m_fadeStep = 0;
    } else if (m_fadeStep < 0 && m_fadeVolume <= 0) {
        m_fadeVolume = 0;
        m_fadeStep = 0;
        m_playing = false;
        AllNotesOff();
        return true;
    }
    SendChannelVolumes();
    return false;
}

void TMidiDrive::SendChannelVolumes()
{
    for (int channel = 0; channel < 16; ++channel) {
        const auto volume = static_cast<uint8_t>(
            static_cast<int32_t>(m_channelVolume[static_cast<size_t>(channel)] * m_fadeVolume / kFullVolume));
        DeliverShort(static_cast<uint8_t>(kControlChange + channel), kChannelVolume, volume);
    }
}

void TMidiDrive::Deliver(const TMyMidiEvent& event)
{
    if ((event.Status & 0xF0) == kControlChange && event.Data1 == kChannelVolume) {
        // Remembered unfaded, sent at the current fade level.
        m_channelVolume[event.Status & 0x0F] = event.Data2;
        DeliverShort(event.Status, kChannelVolume,
                     static_cast<uint8_t>(static_cast<int32_t>(event.Data2 * m_fadeVolume / kFullVolume)));
        return;
    }
    try {
        m_output->SendEvent(event);
    } catch (const EmidioutputError&) {
    }
}

void TMidiDrive::DeliverShort(uint8_t status, uint8_t data1, uint8_t data2)
{
    try {
        m_output->SendShort(status, data1, data2);
    } catch (const EmidioutputError&) {
    }
}

void TMidiDrive::DeliverLong(const uint8_t* data, uint16_t length)
{
    try {
        m_output->SendLong(data, length);
    } catch (const EmidioutputError&) {
    }
}

// ---- settings and state --------------------------------------------------------------

bool TMidiDrive::Looping() const
{
    Guard guard(m_lock);
    return m_looping;
}

void TMidiDrive::SetLooping(bool on)
{
    Guard guard(m_lock);
    m_looping = on;
}

bool TMidiDrive::SkipLeadIn() const
{
    Guard guard(m_lock);
    return m_skipLeadIn;
}

void TMidiDrive::SetSkipLeadIn(bool on)
{
    Guard guard(m_lock);
    m_skipLeadIn = on;
}

bool TMidiDrive::GmOnAtStart() const
{
    Guard guard(m_lock);
    return m_gmOnAtStart;
}

void TMidiDrive::SetGmOnAtStart(bool on)
{
    Guard guard(m_lock);
    m_gmOnAtStart = on;
}

bool TMidiDrive::GsResetAtStart() const
{
    Guard guard(m_lock);
    return m_gsResetAtStart;
}

void TMidiDrive::SetGsResetAtStart(bool on)
{
    Guard guard(m_lock);
    m_gsResetAtStart = on;
}

TMidiOutput* TMidiDrive::Output()
{
    Guard guard(m_lock);
    return m_output.get();
}

int32_t TMidiDrive::Cycles() const
{
    Guard guard(m_lock);
    return m_cycles;
}

int32_t TMidiDrive::Tempo() const
{
    Guard guard(m_lock);
    return m_tempo;
}

long double TMidiDrive::Position() const
{
    Guard guard(m_lock);
    return m_position;
}

int32_t TMidiDrive::FirstNoteTick() const
{
    Guard guard(m_lock);
    return m_firstNoteTick;
}

double TMidiDrive::FadeVolume() const
{
    Guard guard(m_lock);
    return m_fadeVolume;
}

double TMidiDrive::FadeStep() const
{
    Guard guard(m_lock);
    return m_fadeStep;
}

int32_t TMidiDrive::ChannelVolume(int channel) const
{
    Guard guard(m_lock);
    return m_channelVolume.at(static_cast<size_t>(channel));
}

int32_t TMidiDrive::Division() const
{
    Guard guard(m_lock);
    return m_division;
}

int32_t TMidiDrive::TrackCount() const
{
    Guard guard(m_lock);
    return m_trackCount;
}

int32_t TMidiDrive::TempoCount() const
{
    Guard guard(m_lock);
    return static_cast<int32_t>(m_tempoMap.size());
}

TTempoEntry TMidiDrive::TempoMap(int32_t index) const
{
    Guard guard(m_lock);
    return m_tempoMap.at(static_cast<size_t>(index));
}

std::vector<MidiLoadWarning> TMidiDrive::LoadWarnings() const
{
    Guard guard(m_lock);
    return m_warnings;
}

}  // namespace kelva
