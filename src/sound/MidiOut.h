// The MIDI output device: one MIDI port, opened by number, that takes short (channel and
// system common) and long (system-exclusive) messages.
//
// Threads: the MIDI player calls the senders from the main thread and from its playback
// thread. Every member function may be called from any thread; the device serializes
// them, so a port only ever sees one caller at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "platform/MidiPort.h"

namespace kelva {

struct TMyMidiEvent;

// A failure of the output device or of its port; the message is the port's text for the
// result code, or one of the device's fixed messages below.
class EmidioutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One long message while the port plays it: the owner of the message's bytes.
class TMyMidiHdr {
public:
    // Room for `length` bytes, zero-filled; nothing at all for 0.
    explicit TMyMidiHdr(uint16_t length);

    uint8_t* Data() { return m_data.get(); }
    uint16_t Length() const { return m_length; }

private:
    std::unique_ptr<uint8_t[]> m_data;
    uint16_t m_length;
};

class TMidiOutput {
public:
    static constexpr const char* kErrorDeviceIdWhileOpen = "Change to DeviceID while device was open";
    static constexpr const char* kErrorInvalidDeviceId = "Invalid device ID";
    static constexpr const char* kErrorNotOpen = "MIDI Output device not open";
    // The text of a result code the ports have no text for.
    static constexpr const char* kErrorOutOfRange = "Specified error number is out of range";

    // `ports` is borrowed and must outlive the device. Closed, device −1.
    explicit TMidiOutput(MidiPorts& ports);
    // Closes the port if it is open; a port that refuses to close is dropped all the same.
    ~TMidiOutput();
    TMidiOutput(const TMidiOutput&) = delete;
    TMidiOutput& operator=(const TMidiOutput&) = delete;

    int32_t DeviceID() const;
    // Chooses the port (−1: the default output) and fills ProductName from it. Raises
    // EmidioutputError while the device is open, for a number at or above the number
    // of ports, and when the port can't be queried (with the port's text).
    void SetDeviceID(int32_t id);
    std::string ProductName() const;

    // Opens port DeviceID. False, without any message, when it can't be opened. An open
    // device stays open and answers true.
    bool Open();
    // Closes the port: true when it was open and is now closed, false when it wasn't
    // open. A port that refuses raises EmidioutputError and the device stays open.
    bool Close();
    bool IsOpen() const;

    // Sends status | data1 << 8 | data2 << 16. A failure (a closed device included)
    // raises EmidioutputError with the port's text.
    void SendShort(uint8_t status, uint8_t data1, uint8_t data2);
    // Sends `length` bytes of `data` as one system-exclusive message. The bytes are
    // copied into a TMyMidiHdr that lives until the port has played them; our ports
    // play them before they return, so it is released, and Onmidioutput fired, before
    // this call returns. A failure raises EmidioutputError with the port's text.
    void SendLong(const uint8_t* data, uint16_t length);
    // A system-exclusive event goes to SendLong, any other to SendShort. Raises
    // EmidioutputError "MIDI Output device not open" while the device is closed.
    void SendEvent(const TMyMidiEvent& event);

    // Fired after a long message has been played and its buffer released, on the thread
    // that sent it, without the device's lock held (it may send again).
    void SetOnmidioutput(std::function<void(TMidiOutput&)> handler);

    // The result of the last call to the port; 0 for success.
    MidiResult LastResult() const;
    // The port's text for a result code, or "Specified error number is out of range".
    std::string ErrorText(MidiResult code) const;

private:
    // Under m_mutex: stores the result and raises its text unless it is 0.
    void Check(MidiResult result);

    MidiPorts& m_ports;
    mutable std::mutex m_mutex;
    int32_t m_deviceId = -1;
    std::string m_productName;
    std::unique_ptr<MidiPort> m_port;  // set while open
    MidiResult m_lastResult = kMidiOk;
    std::function<void(TMidiOutput&)> m_onmidioutput;
};

}  // namespace kelva
