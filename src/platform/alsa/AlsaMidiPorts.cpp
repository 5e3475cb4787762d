#include "platform/alsa/AlsaMidiPorts.h"

#include <alsa/asoundlib.h>
#include <unistd.h>

#include <mutex>
#include <vector>

namespace kelva {
namespace {

MidiResult AlsaResult(int error)
{
    if (error >= 0) return kMidiOk;
    if (-error <= AlsaMidiPorts::kAlsaErrorLast - AlsaMidiPorts::kAlsaErrorBase)
        return static_cast<MidiResult>(AlsaMidiPorts::kAlsaErrorBase - error);
    return kMidiErrorFailed;  // ALSA's own error numbers, beyond errno's
}

template <class T, void (*Free)(T*)>
struct AlsaDeleter {
    void operator()(T* p) const { Free(p); }
};

void CloseSequencer(snd_seq_t* seq)
{
    snd_seq_close(seq);
}

using SequencerHandle = std::unique_ptr<snd_seq_t, AlsaDeleter<snd_seq_t, CloseSequencer>>;
using EncoderHandle = std::unique_ptr<snd_midi_event_t, AlsaDeleter<snd_midi_event_t, snd_midi_event_free>>;

struct Destination {
    int client = 0;
    int port = 0;
    std::string name;
};

}  // namespace

struct AlsaMidiPorts::Sequencer {
    Sequencer(std::function<void(const std::string&)> l, std::string d)
        : log(std::move(l)), device(std::move(d))
    {
    }

    const std::function<void(const std::string&)> log;
    const std::string device;
    std::mutex mutex;  // guards everything below and every call on the handle
    bool tried = false;
    SequencerHandle handle;
    int ownClient = -1;

    // Under the mutex: the sequencer, opened at the first call; null when there is none.
    snd_seq_t* Get()
    {
        if (tried) return handle.get();
        tried = true;
        // Checked first because ALSA prints to the standard error when the device is
        // missing, and most machines without sound hardware have none.
        if (access(device.c_str(), F_OK) != 0) return nullptr;
        snd_seq_t* seq = nullptr;
        const int error = snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0);
        if (error < 0) {
            if (log) log(std::string("ALSA sequencer: cannot open it: ") + snd_strerror(error));
            return nullptr;
        }
        handle.reset(seq);
        snd_seq_set_client_name(seq, "KelvaNovelRun");
        ownClient = snd_seq_client_id(seq);
        return seq;
    }

    // Under the mutex: the ports others may write to, in the sequencer's order. Our own
    // client and the system client (timer, announcements) are left out.
    std::vector<Destination> List()
    {
        std::vector<Destination> out;
        snd_seq_t* seq = Get();
        if (!seq) return out;
        snd_seq_client_info_t* clientInfo = nullptr;
        snd_seq_port_info_t* portInfo = nullptr;
        if (snd_seq_client_info_malloc(&clientInfo) < 0) return out;
        std::unique_ptr<snd_seq_client_info_t, AlsaDeleter<snd_seq_client_info_t, snd_seq_client_info_free>>
            clientGuard(clientInfo);
        if (snd_seq_port_info_malloc(&portInfo) < 0) return out;
        std::unique_ptr<snd_seq_port_info_t, AlsaDeleter<snd_seq_port_info_t, snd_seq_port_info_free>>
            portGuard(portInfo);

        constexpr unsigned kWritable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
        snd_seq_client_info_set_client(clientInfo, -1);
        while (snd_seq_query_next_client(seq, clientInfo) >= 0) {
            const int client = snd_seq_client_info_get_client(clientInfo);
            if (client == SND_SEQ_CLIENT_SYSTEM || client == ownClient) continue;
            snd_seq_port_info_set_client(portInfo, client);
            snd_seq_port_info_set_port(portInfo, -1);
            while (snd_seq_query_next_port(seq, portInfo) >= 0) {
                const unsigned caps = snd_seq_port_info_get_capability(portInfo);
                if ((caps & kWritable) != kWritable || (caps & SND_SEQ_PORT_CAP_NO_EXPORT)) continue;
                const int port = snd_seq_port_info_get_port(portInfo);
                out.push_back({client, port,
                               std::string(snd_seq_client_info_get_name(clientInfo)) + ": " +
                                   snd_seq_port_info_get_name(portInfo) + " (" + std::to_string(client) +
                                   ":" + std::to_string(port) + ")"});
            }
        }
        return out;
    }
};

namespace {

// One of our client's output ports, connected to the chosen destination. Events go out
// directly (no queue), to the port's subscribers.
class AlsaMidiPort final : public MidiPort {
public:
    AlsaMidiPort(std::shared_ptr<AlsaMidiPorts::Sequencer> sequencer, int ownPort, EncoderHandle encoder)
        : m_sequencer(std::move(sequencer)), m_ownPort(ownPort), m_encoder(std::move(encoder))
    {
    }

    ~AlsaMidiPort() override { Close(); }

    MidiResult SendShort(uint32_t message) override
    {
        std::lock_guard lock(m_sequencer->mutex);
        if (m_ownPort < 0) return kMidiErrorNotOpen;
        const uint8_t status = message & 0xFF;
        if (status < 0x80 || status == 0xF0 || status == 0xF7) return kMidiErrorInvalidMessage;
        // ALSA's encoder knows how many data bytes each status takes, system common and
        // real-time messages included.
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        snd_midi_event_reset_encode(m_encoder.get());
        const int bytes[] = {status, static_cast<int>((message >> 8) & 0x7F),
                             static_cast<int>((message >> 16) & 0x7F)};
        int complete = 0;
        for (int i = 0; i < 3 && complete == 0; ++i)
            complete = snd_midi_event_encode_byte(m_encoder.get(), bytes[i], &event);
        if (complete != 1) return kMidiErrorInvalidMessage;
        return Output(event);
    }

    MidiResult SendLong(const uint8_t* data, size_t length) override
    {
        std::lock_guard lock(m_sequencer->mutex);
        if (m_ownPort < 0) return kMidiErrorNotOpen;
        if (length == 0 || length > UINT32_MAX || (data[0] != 0xF0 && data[0] != 0xF7))
            return kMidiErrorInvalidMessage;
        // An F7 escape holds bytes for the wire as they are: sent on without the F7, as
        // ALSA passes system-exclusive data to a MIDI port unchanged.
        if (data[0] == 0xF7) {
            ++data;
            --length;
        }
        if (length == 0) return kMidiOk;
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        snd_seq_ev_set_sysex(&event, static_cast<unsigned>(length), const_cast<uint8_t*>(data));
        return Output(event);
    }

    MidiResult Close() override
    {
        std::lock_guard lock(m_sequencer->mutex);
        if (m_ownPort < 0) return kMidiErrorNotOpen;
        // Deleting the port ends its connection too.
        const int error = snd_seq_delete_simple_port(m_sequencer->handle.get(), m_ownPort);
        if (error < 0) return AlsaResult(error);
        m_ownPort = -1;
        return kMidiOk;
    }

private:
    // Under the sequencer's mutex.
    MidiResult Output(snd_seq_event_t& event)
    {
        snd_seq_ev_set_source(&event, m_ownPort);
        snd_seq_ev_set_subs(&event);
        snd_seq_ev_set_direct(&event);
        return AlsaResult(snd_seq_event_output_direct(m_sequencer->handle.get(), &event));
    }

    std::shared_ptr<AlsaMidiPorts::Sequencer> m_sequencer;
    int m_ownPort;  // −1 once closed; guarded by the sequencer's mutex
    EncoderHandle m_encoder;
};

}  // namespace

AlsaMidiPorts::AlsaMidiPorts(std::function<void(const std::string&)> log, std::string device)
    : m_sequencer(std::make_shared<Sequencer>(std::move(log), std::move(device)))
{
}

AlsaMidiPorts::~AlsaMidiPorts() = default;

int AlsaMidiPorts::Count()
{
    std::lock_guard lock(m_sequencer->mutex);
    return static_cast<int>(m_sequencer->List().size());
}

MidiPortName AlsaMidiPorts::Name(int port)
{
    std::lock_guard lock(m_sequencer->mutex);
    std::vector<Destination> ports = m_sequencer->List();
    if (port < 0 || port >= static_cast<int>(ports.size())) return {{}, kMidiErrorBadPort};
    return {std::move(ports[static_cast<size_t>(port)].name), kMidiOk};
}

MidiPortOpening AlsaMidiPorts::Open(int port)
{
    std::lock_guard lock(m_sequencer->mutex);
    const std::vector<Destination> ports = m_sequencer->List();
    if (port < 0 || port >= static_cast<int>(ports.size())) return {nullptr, kMidiErrorBadPort};
    const Destination& destination = ports[static_cast<size_t>(port)];
    snd_seq_t* seq = m_sequencer->handle.get();

    snd_midi_event_t* encoder = nullptr;
    if (snd_midi_event_new(16, &encoder) < 0) return {nullptr, kMidiErrorNoMemory};
    EncoderHandle encoderGuard(encoder);
    const int ownPort = snd_seq_create_simple_port(
        seq, "KelvaNovelRun MIDI out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
        SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (ownPort < 0) return {nullptr, AlsaResult(ownPort)};
    const int error = snd_seq_connect_to(seq, ownPort, destination.client, destination.port);
    if (error < 0) {
        snd_seq_delete_simple_port(seq, ownPort);
        return {nullptr, AlsaResult(error)};
    }
    return {std::make_unique<AlsaMidiPort>(m_sequencer, ownPort, std::move(encoderGuard)), kMidiOk};
}

std::optional<std::string> AlsaMidiPorts::ErrorText(MidiResult code)
{
    if (code > kAlsaErrorBase && code <= kAlsaErrorLast)
        return std::string("ALSA sequencer: ") + snd_strerror(-(code - kAlsaErrorBase));
    return CommonMidiErrorText(code);
}

}  // namespace kelva
