#include "platform/fluidsynth/FluidSynth.h"

#include <fluidsynth.h>
#include <glib.h>

#include <algorithm>
#include <climits>
#include <mutex>

namespace kelva {
namespace {

// FluidSynth's and GLib's log handlers are process-wide, so the bridge to our log is too:
// the most recently made synthesizer's sink receives them, until it is destroyed.
struct LogBridge {
    std::mutex mutex;
    FluidSynth::Log sink;
    uint64_t holder = 0;  // token of the synthesizer whose sink is installed; 0: none
    uint64_t lastToken = 0;
};

LogBridge& Bridge()
{
    static LogBridge bridge;
    return bridge;
}

// Answers false when no sink is installed.
bool ToSink(const std::string& line)
{
    LogBridge& bridge = Bridge();
    std::lock_guard lock(bridge.mutex);
    if (!bridge.sink) return false;
    bridge.sink(line);
    return true;
}

void FluidLog(int level, const char* message, void*)
{
    static constexpr const char* kLevels[] = {"panic", "error", "warning", "info", "debug"};
    const char* name = level >= 0 && level < LAST_LOG_LEVEL ? kLevels[level] : "log";
    ToSink(std::string("FluidSynth ") + name + ": " + (message ? message : ""));
}

// libinstpatch (which reads DLS files for FluidSynth) logs through GLib without a domain.
void GlibLog(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer data)
{
    if (!ToSink(std::string("libinstpatch: ") + (message ? message : "")))
        g_log_default_handler(domain, level, message, data);
}

void InstallLogHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO})
            fluid_set_log_function(level, FluidLog, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
        g_log_set_handler(
            nullptr, static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION),
            GlibLog, nullptr);
    });
}

uint64_t HoldLog(FluidSynth::Log log)
{
    InstallLogHandlers();
    LogBridge& bridge = Bridge();
    std::lock_guard lock(bridge.mutex);
    bridge.sink = std::move(log);
    bridge.holder = ++bridge.lastToken;
    return bridge.holder;
}

void LetGoOfLog(uint64_t token)
{
    LogBridge& bridge = Bridge();
    std::lock_guard lock(bridge.mutex);
    if (bridge.holder != token) return;
    bridge.sink = nullptr;
    bridge.holder = 0;
}

}  // namespace

void FluidSynth::SettingsDeleter::operator()(fluid_settings_t* settings) const
{
    delete_fluid_settings(settings);
}

void FluidSynth::SynthDeleter::operator()(fluid_synth_t* synth) const
{
    delete_fluid_synth(synth);
}

std::shared_ptr<FluidSynth> FluidSynth::Create(int sampleRate, const std::vector<std::string>& soundFonts,
                                               Log log)
{
    std::shared_ptr<FluidSynth> synth(new FluidSynth());
    synth->m_logToken = HoldLog(log);
    if (soundFonts.empty()) {
        if (log) log("No SoundFont found: the built-in synthesizer is off (name one with --soundfont)");
        return nullptr;
    }

    synth->m_settings.reset(new_fluid_settings());
    if (fluid_settings_t* settings = synth->m_settings.get()) {
        // Samples are read from the file as presets are first used: a large SoundFont
        // loads in a fraction of the time and memory.
        fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
        fluid_settings_setnum(settings, "synth.gain", kGain);
        fluid_settings_setnum(settings, "synth.sample-rate", sampleRate);
        fluid_settings_setint(settings, "synth.device-id", kDeviceId);
        synth->m_synth.reset(new_fluid_synth(settings));
    }
    if (!synth->m_synth) {
        if (log) log("FluidSynth could not be started");
        return nullptr;
    }

    for (const std::string& file : soundFonts) {
        if (fluid_synth_sfload(synth->m_synth.get(), file.c_str(), 1) != FLUID_FAILED) {
            if (log) log("Built-in synthesizer: SoundFont " + file);
            return synth;
        }
        if (log) log("SoundFont " + file + " could not be loaded");
    }
    if (log) log("No SoundFont could be loaded: the built-in synthesizer is off");
    return nullptr;
}

FluidSynth::~FluidSynth()
{
    m_synth.reset();  // its last messages still reach the log
    LetGoOfLog(m_logToken);
}

MidiResult FluidSynth::SendShort(uint32_t message)
{
    const int status = message & 0xFF;
    const int data1 = (message >> 8) & 0x7F;
    const int data2 = (message >> 16) & 0x7F;
    const int channel = status & 0x0F;
    fluid_synth_t* synth = m_synth.get();
    // FluidSynth's results are not passed on: they say when a message had nothing to act
    // on, which is no failure of delivery.
    switch (status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(synth, channel, data1);
            return kMidiOk;
        case 0x90:
            fluid_synth_noteon(synth, channel, data1, data2);  // velocity 0 is a note-off
            return kMidiOk;
        case 0xA0:
            fluid_synth_key_pressure(synth, channel, data1, data2);
            return kMidiOk;
        case 0xB0:
            fluid_synth_cc(synth, channel, data1, data2);
            return kMidiOk;
        case 0xC0:
            fluid_synth_program_change(synth, channel, data1);
            return kMidiOk;
        case 0xD0:
            fluid_synth_channel_pressure(synth, channel, data1);
            return kMidiOk;
        case 0xE0:
            fluid_synth_pitch_bend(synth, channel, data1 | (data2 << 7));
            return kMidiOk;
        case 0xF0:
            if (status == 0xF0 || status == 0xF7) return kMidiErrorInvalidMessage;  // long messages only
            // Of the other system messages only a reset means anything to a synthesizer;
            // the rest (timing, song position) are for sequencers.
            if (status == 0xFF) fluid_synth_system_reset(synth);
            return kMidiOk;
        default:
            return kMidiErrorInvalidMessage;  // a data byte where the status belongs
    }
}

MidiResult FluidSynth::SendLong(const uint8_t* data, size_t length)
{
    if (length == 0 || length > INT_MAX || (data[0] != 0xF0 && data[0] != 0xF7))
        return kMidiErrorInvalidMessage;
    const uint8_t* begin = data + 1;
    const uint8_t* end = data + length;
    if (data[0] == 0xF7) {
        // An escape: raw bytes for the wire. A synthesizer can only act on them when they
        // form one whole system-exclusive message; anything else (a continuation packet,
        // real-time bytes) is accepted and dropped.
        if (end - begin < 2 || begin[0] != 0xF0 || end[-1] != 0xF7) return kMidiOk;
        ++begin;
    }
    // FluidSynth takes the message without its F0 and F7. One cut short of its F7 is
    // passed as far as it goes.
    if (begin < end && end[-1] == 0xF7) --end;
    if (begin == end) return kMidiOk;
    fluid_synth_sysex(m_synth.get(), reinterpret_cast<const char*>(begin), static_cast<int>(end - begin),
                      nullptr, nullptr, nullptr, 0);
    return kMidiOk;
}

void FluidSynth::Silence()
{
    // A system reset would let the notes ring out their release; this cuts them off.
    fluid_synth_all_sounds_off(m_synth.get(), -1);
}

bool FluidSynth::Claim()
{
    bool expected = false;
    return m_claimed.compare_exchange_strong(expected, true);
}

void FluidSynth::Release()
{
    m_claimed = false;
}

bool FluidSynth::MixInto(float* mix, size_t frames)
{
    while (frames > 0) {
        const size_t count = std::min(frames, kChunkFrames);
        float* chunk = m_chunk.data();
        fluid_synth_write_float(m_synth.get(), static_cast<int>(count), chunk, 0, 2, chunk, 1, 2);
        for (size_t i = 0; i < count * AudioMixer::kChannels; ++i) mix[i] += chunk[i];
        mix += count * AudioMixer::kChannels;
        frames -= count;
    }
    return true;
}

}  // namespace kelva
