// Headless MIDI output: every message sent to any of its ports is kept with the time it
// arrived, so tests (and replays) can check what would have been heard and when. Failures
// of the system can be switched on to test how the player copes with them.
//
// Thread-safe: the player's playback thread sends while a test reads the record. The
// clock is read on the sending thread, so it must be safe to call from there (a virtual
// clock is, as long as only one thread uses the player).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/MidiPort.h"

namespace kelva {

struct RecordedMidiMessage {
    int64_t TimeMs = 0;          // the clock when the port received it
    int Port = 0;                // the number it was opened as (−1: the default output)
    bool Long = false;           // a system-exclusive message
    std::vector<uint8_t> Bytes;  // short: always status, data1, data2; long: as sent

    uint8_t Status() const { return Bytes.empty() ? 0 : Bytes[0]; }
};

class RecordingMidiPorts final : public MidiPorts {
public:
    // `names` are the ports 0 … n−1 besides the default output.
    explicit RecordingMidiPorts(Clock& clock, std::vector<std::string> names = {});
    ~RecordingMidiPorts() override;

    int Count() override;
    MidiPortName Name(int port) override;
    MidiPortOpening Open(int port) override;

    // The name of the default output.
    static constexpr const char* kDefaultName = "Recording synthesizer";

    // Failures to simulate; each stays in force until switched off.
    void FailOpen(bool fail);
    void FailNameQuery(bool fail);
    void FailClose(bool fail);
    void FailAllSends(bool fail);
    // The next `count` sends (short or long) fail, then sending works again.
    void FailNextSends(int count);

    // Everything received so far, oldest first.
    std::vector<RecordedMidiMessage> Messages() const;
    void ClearMessages();
    // Sends refused because of a simulated failure or a closed port.
    int FailedSends() const;
    // Ports opened and not yet closed.
    int OpenPorts() const;

    struct State;

private:
    std::shared_ptr<State> m_state;  // shared with the ports, which may outlive this object
};

}  // namespace kelva
