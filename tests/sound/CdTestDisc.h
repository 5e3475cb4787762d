// Small discs for the CD audio tests: sine tones as raw CD sectors and WAVE files, and a
// way to tell which tone the mixer is playing.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/CdDrive.h"
#include "sound/AudioMixer.h"

namespace kelva::test {

// The tones of the test discs: far enough apart to tell by counting zero crossings.
inline constexpr double kToneA = 441.0;
inline constexpr double kToneB = 1102.5;

// `frames` stereo frames of a sine tone at 44100 Hz, half of full scale.
inline std::vector<int16_t> SineFrames(double frequency, size_t frames, int sampleRate = kCdSampleRate)
{
    std::vector<int16_t> samples(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const double value = 16384.0 * std::sin(2.0 * M_PI * frequency * static_cast<double>(i) / sampleRate);
        samples[2 * i] = samples[2 * i + 1] = static_cast<int16_t>(std::lround(value));
    }
    return samples;
}

// Samples as bytes, little-endian (or big-endian for MOTOROLA images).
inline std::vector<uint8_t> SampleBytes(const std::vector<int16_t>& samples, bool bigEndian = false)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(samples.size() * 2);
    for (int16_t sample : samples) {
        const auto value = static_cast<uint16_t>(sample);
        const auto low = static_cast<uint8_t>(value & 0xFF);
        const auto high = static_cast<uint8_t>(value >> 8);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
    return bytes;
}

// The sectors of a tone lasting `sectors` sectors.
inline std::vector<uint8_t> ToneSectors(double frequency, int sectors, bool bigEndian = false)
{
    return SampleBytes(SineFrames(frequency, static_cast<size_t>(sectors) * kCdFramesPerSector), bigEndian);
}

// Data sectors: bytes that would be loud if they were ever played as audio.
inline std::vector<uint8_t> DataSectors(int sectors, int sectorBytes = kCdSectorBytes)
{
    return std::vector<uint8_t>(static_cast<size_t>(sectors) * sectorBytes, 0x55);
}

// A PCM WAVE file: header and 16-bit samples of `channels` channels.
inline std::vector<uint8_t> WaveFile(const std::vector<int16_t>& samples, int sampleRate, int channels)
{
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> bytes;
    auto text = [&](const char* s) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(s[i]));
    };
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](uint32_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    };
    text("RIFF");
    u32(36 + dataBytes + 12);
    text("WAVE");
    // A chunk the reader must step over before the format.
    text("LIST");
    u32(4);
    text("INFO");
    text("fmt ");
    u32(16);
    u16(1);
    u16(channels);
    u32(sampleRate);
    u32(sampleRate * channels * 2);
    u16(channels * 2);
    u16(16);
    text("data");
    u32(dataBytes);
    const std::vector<uint8_t> data = SampleBytes(samples);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

// What one slice of the mixer's output sounds like.
enum class Heard { Silence, ToneA, ToneB, Other };

inline Heard Classify(const float* mix, size_t frames, int sampleRate)
{
    double energy = 0.0;
    int crossings = 0;
    for (size_t i = 0; i < frames; ++i) {
        energy += mix[2 * i] * mix[2 * i];
        if (i > 0 && (mix[2 * i - 2] < 0.0f) != (mix[2 * i] < 0.0f)) ++crossings;
    }
    if (energy / static_cast<double>(frames) < 1e-6) return Heard::Silence;
    const double frequency =
        crossings * static_cast<double>(sampleRate) / (2.0 * static_cast<double>(frames));
    if (std::abs(frequency - kToneA) < kToneA * 0.05) return Heard::ToneA;
    if (std::abs(frequency - kToneB) < kToneB * 0.05) return Heard::ToneB;
    return Heard::Other;
}

// Renders `slices` slices of 100 ms, calling `between` after each (to let time pass and
// the player act), and answers what was heard, runs of the same collapsed into one.
// Slices holding a change of tone are left out.
template <typename Between>
std::vector<Heard> Listen(AudioMixer& mixer, int slices, Between between)
{
    const size_t frames = static_cast<size_t>(mixer.SampleRate() / 10);
    std::vector<float> mix(frames * 2);
    std::vector<Heard> heard;
    for (int i = 0; i < slices; ++i) {
        mixer.Render(mix.data(), frames);
        const Heard now = Classify(mix.data(), frames, mixer.SampleRate());
        if (now != Heard::Other && (heard.empty() || heard.back() != now)) heard.push_back(now);
        between();
    }
    return heard;
}

}  // namespace kelva::test
