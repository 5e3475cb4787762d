// The ALSA sequencer's output ports (hardware MIDI outs, external and software synths) as
// MIDI ports 0 … n−1; there is no default output here (see SystemMidiPorts).
//
// Ports are listed afresh at each call, so a synth plugged in while the player runs
// shows up. The sequencer is opened at the first call that needs it and kept open.
// A machine without a sequencer has no ports, without a word.
//
// Threads: any; calls on the shared sequencer are serialized.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/MidiPort.h"

namespace kelva {

class AlsaMidiPorts final : public MidiPorts {
public:
    // ALSA's error numbers (errno values) are reported as kAlsaErrorBase + the number.
    static constexpr MidiResult kAlsaErrorBase = kMidiBackendErrorBase;
    static constexpr MidiResult kAlsaErrorLast = kAlsaErrorBase + 0xFF;

    // `log` hears why the sequencer couldn't be opened when it exists. `device` is the
    // kernel's sequencer device: when it is missing there is no sequencer to talk to.
    explicit AlsaMidiPorts(std::function<void(const std::string&)> log, std::string device = "/dev/snd/seq");
    ~AlsaMidiPorts() override;

    int Count() override;
    // "client name: port name (client:port)"; the default output −1 isn't ours.
    MidiPortName Name(int port) override;
    MidiPortOpening Open(int port) override;
    std::optional<std::string> ErrorText(MidiResult code) override;

    struct Sequencer;

private:
    std::shared_ptr<Sequencer> m_sequencer;  // shared with the open ports
};

}  // namespace kelva
