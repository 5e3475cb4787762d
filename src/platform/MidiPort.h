// MIDI output ports. Port −1 is the default output (the built-in software synthesizer);
// ports 0 … Count()−1 are the system's other outputs (sequencer ports, external synths).
//
// Every call answers a 16-bit result code, 0 for success, which the output device stores
// and reports. A port is used by one thread at a time: TMidiOutput serializes its callers
// (the main thread and the MIDI player's playback thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kelva {

using MidiResult = uint16_t;

// The result codes every backend answers with. A backend may add codes of its own from
// kMidiBackendErrorBase on and give their texts through MidiPorts::ErrorText.
enum MidiResultCode : MidiResult {
    kMidiOk = 0,
    kMidiErrorFailed = 1,          // unspecified failure
    kMidiErrorBadPort = 2,         // no port of that number
    kMidiErrorUnavailable = 3,     // the port exists but can't be used now (no synthesizer,
                                   // no sound font, port taken by another program)
    kMidiErrorNotOpen = 4,         // the port has been closed
    kMidiErrorInvalidMessage = 5,  // the port refuses the message (empty, bad status byte)
    kMidiErrorSendFailed = 6,      // the message could not be delivered
    kMidiErrorNoMemory = 7,
    kMidiBackendErrorBase = 0x100,
};

// The text of one of the common codes above; nullopt for any other code.
inline std::optional<std::string> CommonMidiErrorText(MidiResult code)
{
    switch (code) {
        case kMidiOk:
            return std::string("The operation completed successfully");
        case kMidiErrorFailed:
            return std::string("Unspecified MIDI error");
        case kMidiErrorBadPort:
            return std::string("The MIDI port number is out of range");
        case kMidiErrorUnavailable:
            return std::string("The MIDI port is not available");
        case kMidiErrorNotOpen:
            return std::string("The MIDI port is not open");
        case kMidiErrorInvalidMessage:
            return std::string("The MIDI port refused an invalid message");
        case kMidiErrorSendFailed:
            return std::string("The MIDI message could not be sent");
        case kMidiErrorNoMemory:
            return std::string("Not enough memory for the MIDI port");
        default:
            return std::nullopt;
    }
}

// Packs a short message the way the output device hands it to a port:
// status | data1 << 8 | data2 << 16.
inline constexpr uint32_t PackMidiShort(uint8_t status, uint8_t data1, uint8_t data2)
{
    return status | (uint32_t{data1} << 8) | (uint32_t{data2} << 16);
}

// One open port.
class MidiPort {
public:
    virtual ~MidiPort() = default;

    // A channel or system common message packed by PackMidiShort; the port sends as many
    // bytes as the status byte calls for.
    virtual MidiResult SendShort(uint32_t message) = 0;
    // A system-exclusive message exactly as a MIDI file stores it: F0 and its data
    // (normally ending in F7), or an F7 escape: F7 followed by bytes to send as they
    // are. The call returns only when the port is done with `data`: the caller frees it
    // right after. (A port that plays long messages in the background copies them.)
    virtual MidiResult SendLong(const uint8_t* data, size_t length) = 0;
    // Closes the port; after success every send answers kMidiErrorNotOpen. A port that
    // refuses stays open and may be asked again. Destroying an open port closes it.
    virtual MidiResult Close() = 0;
};

// A port, or why it could not be opened.
struct MidiPortOpening {
    std::unique_ptr<MidiPort> Port;  // null on failure
    MidiResult Result = kMidiOk;
};

// The name of a port, or why it could not be queried.
struct MidiPortName {
    std::string Name;
    MidiResult Result = kMidiOk;
};

// The system's MIDI outputs.
class MidiPorts {
public:
    virtual ~MidiPorts() = default;

    // Ports 0 … Count()−1; the default output −1 is not counted.
    virtual int Count() = 0;
    // The port's name as the system reports it (−1: the default output).
    virtual MidiPortName Name(int port) = 0;
    // Opens port `port`, or the default output for −1.
    virtual MidiPortOpening Open(int port) = 0;
    // The text for a result code, or nullopt when there is none for it. Called on
    // whichever thread a send failed on.
    virtual std::optional<std::string> ErrorText(MidiResult code) { return CommonMidiErrorText(code); }
};

}  // namespace kelva
