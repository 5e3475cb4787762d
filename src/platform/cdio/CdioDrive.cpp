#include "platform/cdio/CdioDrive.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/mmc.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kelva {
namespace {

// Retries of a sector paranoia makes before it gives up on a scratch: keeps a bad disc
// from stalling the reader for minutes.
constexpr int kMaxRetries = 20;
// Audio read ahead of the player: enough to ride out the drive's seeks and retries.
constexpr size_t kBufferFrames = size_t{4} * kCdSampleRate;

void QuietLog(cdio_log_level_t, const char*) {}

struct CdioDeleter {
    void operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }
};
using CdioPtr = std::unique_ptr<CdIo_t, CdioDeleter>;

CdioPtr OpenDevice(const std::string& name)
{
    return CdioPtr(cdio_open(name.c_str(), DRIVER_DEVICE));
}

// A range of the disc read by a thread of its own into a ring buffer, from its own handle
// on the device so that the drive can go on answering questions meanwhile.
class CdioStream final : public CdAudioStream {
public:
    // Null, with `error`, when the device can't be opened for reading audio.
    static std::unique_ptr<CdioStream> Open(const std::string& name, int32_t start, int32_t end,
                                            std::string& error)
    {
        CdioPtr cdio = OpenDevice(name);
        if (!cdio) {
            error = name + ": cannot be opened";
            return nullptr;
        }
        cdrom_drive_t* drive = cdio_cddap_identify_cdio(cdio.get(), CDDA_MESSAGE_FORGETIT, nullptr);
        if (!drive) {
            error = name + ": not a drive that reads audio";
            return nullptr;
        }
        if (cdio_cddap_open(drive) != 0) {
            cdio_cddap_close_no_free_cdio(drive);
            error = name + ": the disc's audio cannot be read";
            return nullptr;
        }
        cdrom_paranoia_t* paranoia = cdio_paranoia_init(drive);
        if (!paranoia) {
            cdio_cddap_close_no_free_cdio(drive);
            error = name + ": the disc's audio cannot be read";
            return nullptr;
        }
        // Full checking, but a sector that stays unreadable is skipped, not retried for ever.
        cdio_paranoia_modeset(paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
        cdio_paranoia_seek(paranoia, start, SEEK_SET);
        return std::unique_ptr<CdioStream>(new CdioStream(std::move(cdio), drive, paranoia, start, end));
    }

    ~CdioStream() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_space.notify_all();
        m_thread.join();
        cdio_paranoia_free(m_paranoia);
        cdio_cddap_close_no_free_cdio(m_drive);
    }

    size_t Read(int16_t* out, size_t frames) override
    {
        std::unique_lock lock(m_mutex);
        const size_t count = std::min(frames, m_filled);
        for (size_t i = 0; i < count; ++i) {
            out[2 * i] = m_ring[2 * m_head];
            out[2 * i + 1] = m_ring[2 * m_head + 1];
            m_head = (m_head + 1) % kBufferFrames;
        }
        m_filled -= count;
        if (m_filled == 0 && m_readerDone) m_atEnd.store(true);
        lock.unlock();
        if (count > 0) m_space.notify_one();
        return count;
    }

    bool AtEnd() const override { return m_atEnd.load(); }

private:
    CdioStream(CdioPtr cdio, cdrom_drive_t* drive, cdrom_paranoia_t* paranoia, int32_t start, int32_t end)
        : m_cdio(std::move(cdio)), m_drive(drive), m_paranoia(paranoia), m_ring(kBufferFrames * 2)
    {
        m_thread = std::thread([this, start, end] { ReadSectors(start, end); });
    }

    void ReadSectors(int32_t start, int32_t end)
    {
        for (int32_t sector = start; sector < end; ++sector) {
            // An unreadable sector (or a disc taken out) ends the play early.
            const int16_t* samples = cdio_paranoia_read_limited(m_paranoia, nullptr, kMaxRetries);
            std::unique_lock lock(m_mutex);
            if (!samples) break;
            m_space.wait(lock, [this] { return m_stop || m_filled + kCdFramesPerSector <= kBufferFrames; });
            if (m_stop) break;
            size_t tail = (m_head + m_filled) % kBufferFrames;
            for (int i = 0; i < kCdFramesPerSector; ++i) {
                m_ring[2 * tail] = samples[2 * i];
                m_ring[2 * tail + 1] = samples[2 * i + 1];
                tail = (tail + 1) % kBufferFrames;
            }
            m_filled += kCdFramesPerSector;
        }
        std::lock_guard lock(m_mutex);
        m_readerDone = true;
        if (m_filled == 0) m_atEnd.store(true);
    }

    CdioPtr m_cdio;
    cdrom_drive_t* const m_drive;
    cdrom_paranoia_t* const m_paranoia;
    std::mutex m_mutex;  // guards the ring and the flags below
    std::condition_variable m_space;
    std::vector<int16_t> m_ring;
    size_t m_head = 0;
    size_t m_filled = 0;
    bool m_readerDone = false;
    bool m_stop = false;
    std::atomic<bool> m_atEnd{false};
    std::thread m_thread;
};

class CdioDrive final : public CdDrive {
public:
    explicit CdioDrive(std::string name) : m_name(std::move(name)) {}

    const std::string& Name() const override { return m_name; }

    bool Open(std::string& error) override
    {
        if (m_cdio) return true;
        m_cdio = OpenDevice(m_name);
        if (!m_cdio) error = m_name + ": cannot be opened";
        return m_cdio != nullptr;
    }

    void Close() override { m_cdio.reset(); }

    CdDiscState DiscState() override
    {
        if (!m_cdio) return CdDiscState::NoDisc;
        if (mmc_get_tray_status(m_cdio.get()) == 1) return CdDiscState::TrayOpen;
        // libcdio keeps the first table of contents it read: a new disc needs a new handle.
        if (cdio_get_media_changed(m_cdio.get()) == 1) {
            m_cdio = OpenDevice(m_name);
            if (!m_cdio) return CdDiscState::NoDisc;
        }
        const track_t count = cdio_get_num_tracks(m_cdio.get());
        return count == CDIO_INVALID_TRACK || count == 0 ? CdDiscState::NoDisc : CdDiscState::Ready;
    }

    std::vector<CdTrack> Tracks() override
    {
        std::vector<CdTrack> tracks;
        if (!m_cdio) return tracks;
        const track_t count = cdio_get_num_tracks(m_cdio.get());
        const track_t first = cdio_get_first_track_num(m_cdio.get());
        if (count == CDIO_INVALID_TRACK || first == CDIO_INVALID_TRACK) return tracks;
        for (track_t track = first; track < first + count; ++track) {
            const lsn_t start = cdio_get_track_lsn(m_cdio.get(), track);
            const lsn_t next = track + 1 < first + count
                                   ? cdio_get_track_lsn(m_cdio.get(), track + 1)
                                   : cdio_get_track_lsn(m_cdio.get(), CDIO_CDROM_LEADOUT_TRACK);
            if (start == CDIO_INVALID_LSN || next == CDIO_INVALID_LSN || next < start) return {};
            tracks.push_back(CdTrack{start, next - start,
                                     cdio_get_track_format(m_cdio.get(), track) == TRACK_FORMAT_AUDIO});
        }
        return tracks;
    }

    std::unique_ptr<CdAudioStream> ReadAudio(int32_t start, int32_t end, std::string& error) override
    {
        if (!m_cdio) {
            error = m_name + ": the drive is not open";
            return nullptr;
        }
        return CdioStream::Open(m_name, start, std::max(start, end), error);
    }

private:
    const std::string m_name;
    CdioPtr m_cdio;  // null while closed
};

}  // namespace

std::vector<std::unique_ptr<CdDrive>> ListCdioDrives()
{
    cdio_log_set_handler(&QuietLog);
    std::vector<std::unique_ptr<CdDrive>> drives;
    char** names = cdio_get_devices(DRIVER_DEVICE);
    if (!names) return drives;
    for (char** name = names; *name; ++name) drives.push_back(std::make_unique<CdioDrive>(*name));
    cdio_free_device_list(names);
    return drives;
}

}  // namespace kelva
