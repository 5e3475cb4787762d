#include "platform/headless/RecordingMidiPort.h"

namespace kelva {

struct RecordingMidiPorts::State {
    explicit State(Clock& c, std::vector<std::string> n) : clock(c), names(std::move(n)) {}

    Clock& clock;
    const std::vector<std::string> names;
    mutable std::mutex mutex;
    std::vector<RecordedMidiMessage> messages;
    bool failOpen = false;
    bool failNameQuery = false;
    bool failClose = false;
    bool failAllSends = false;
    int failNextSends = 0;
    int failedSends = 0;
    int openPorts = 0;

    bool Exists(int port) const { return port >= -1 && port < static_cast<int>(names.size()); }

    // Under the lock: whether this send is to fail.
    bool SendFails()
    {
        if (failNextSends > 0) {
            --failNextSends;
            return true;
        }
        return failAllSends;
    }

    // `open` is the sending port's flag, which this mutex guards.
    MidiResult Record(const bool& open, int port, bool isLong, std::vector<uint8_t> bytes)
    {
        std::lock_guard lock(mutex);
        if (!open) {
            ++failedSends;
            return kMidiErrorNotOpen;
        }
        if (SendFails()) {
            ++failedSends;
            return kMidiErrorSendFailed;
        }
        messages.push_back({clock.NowMs(), port, isLong, std::move(bytes)});
        return kMidiOk;
    }
};

namespace {

class RecordingMidiPort final : public MidiPort {
public:
    RecordingMidiPort(std::shared_ptr<RecordingMidiPorts::State> state, int port)
        : m_state(std::move(state)), m_port(port)
    {
    }

    ~RecordingMidiPort() override
    {
        std::lock_guard lock(m_state->mutex);
        if (m_open) --m_state->openPorts;
    }

    MidiResult SendShort(uint32_t message) override
    {
        return m_state->Record(m_open, m_port, false,
                               {static_cast<uint8_t>(message), static_cast<uint8_t>(message >> 8),
                                static_cast<uint8_t>(message >> 16)});
    }

    MidiResult SendLong(const uint8_t* data, size_t length) override
    {
        // A real port can't send an empty message or one that doesn't start with a
        // system-exclusive status.
        if (length == 0 || (data[0] != 0xF0 && data[0] != 0xF7)) return kMidiErrorInvalidMessage;
        return m_state->Record(m_open, m_port, true, std::vector<uint8_t>(data, data + length));
    }

    MidiResult Close() override
    {
        std::lock_guard lock(m_state->mutex);
        if (!m_open) return kMidiErrorNotOpen;
        if (m_state->failClose) return kMidiErrorFailed;
        m_open = false;
        --m_state->openPorts;
        return kMidiOk;
    }

private:
    std::shared_ptr<RecordingMidiPorts::State> m_state;
    const int m_port;
    bool m_open = true;  // guarded by the state's mutex
};

}  // namespace

RecordingMidiPorts::RecordingMidiPorts(Clock& clock, std::vector<std::string> names)
    : m_state(std::make_shared<State>(clock, std::move(names)))
{
}

RecordingMidiPorts::~RecordingMidiPorts() = default;

int RecordingMidiPorts::Count()
{
    return static_cast<int>(m_state->names.size());
}

MidiPortName RecordingMidiPorts::Name(int port)
{
    std::lock_guard lock(m_state->mutex);
    if (!m_state->Exists(port)) return {{}, kMidiErrorBadPort};
    if (m_state->failNameQuery) return {{}, kMidiErrorFailed};
    return {port == -1 ? std::string(kDefaultName) : m_state->names[static_cast<size_t>(port)], kMidiOk};
}

MidiPortOpening RecordingMidiPorts::Open(int port)
{
    std::lock_guard lock(m_state->mutex);
    if (!m_state->Exists(port)) return {nullptr, kMidiErrorBadPort};
    if (m_state->failOpen) return {nullptr, kMidiErrorUnavailable};
    ++m_state->openPorts;
    return {std::make_unique<RecordingMidiPort>(m_state, port), kMidiOk};
}

void RecordingMidiPorts::FailOpen(bool fail)
{
    std::lock_guard lock(m_state->mutex);
    m_state->failOpen = fail;
}

void RecordingMidiPorts::FailNameQuery(bool fail)
{
    std::lock_guard lock(m_state->mutex);
    m_state->failNameQuery = fail;
}

void RecordingMidiPorts::FailClose(bool fail)
{
    std::lock_guard lock(m_state->mutex);
    m_state->failClose = fail;
}

void RecordingMidiPorts::FailAllSends(bool fail)
{
    std::lock_guard lock(m_state->mutex);
    m_state->failAllSends = fail;
}

void RecordingMidiPorts::FailNextSends(int count)
{
    std::lock_guard lock(m_state->mutex);
    m_state->failNextSends = count;
}

std::vector<RecordedMidiMessage> RecordingMidiPorts::Messages() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->messages;
}

void RecordingMidiPorts::ClearMessages()
{
    std::lock_guard lock(m_state->mutex);
    m_state->messages.clear();
}

int RecordingMidiPorts::FailedSends() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->failedSends;
}

int RecordingMidiPorts::OpenPorts() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->openPorts;
}

}  // namespace kelva
