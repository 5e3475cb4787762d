#include "support/SoundFiles.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace kelva::test {

void WriteTones(const std::string& path, int format, int rate, const std::vector<double>& frequencies,
                double seconds, const std::string& title)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = static_cast<int>(frequencies.size());
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) throw std::runtime_error("can't write " + path + ": " + sf_strerror(nullptr));
    if (!title.empty()) sf_set_string(file, SF_STR_TITLE, title.c_str());

    const auto frames = static_cast<size_t>(std::lround(seconds * rate));
    std::vector<float> samples(frames * frequencies.size());
    for (size_t i = 0; i < frames; ++i) {
        for (size_t c = 0; c < frequencies.size(); ++c) {
            const double phase = 2 * std::numbers::pi * frequencies[c] * static_cast<double>(i) / rate;
            samples[i * frequencies.size() + c] =
                frequencies[c] > 0 ? static_cast<float>(0.5 * std::sin(phase)) : 0;
        }
    }
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
}

std::vector<uint8_t> Mp3InRiff(const std::vector<uint8_t>& mp3, int rate, int channels)
{
    std::vector<uint8_t> bytes;
    const auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    // Byte by byte: GCC 12 misreads a vector insert of four chars as an overflow.
    const auto tag = [&bytes](const char* text) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(text[i]));
    };
    tag("RIFF");
    put(4 + 8 + 30 + 8 + static_cast<uint32_t>(mp3.size()), 4);
    tag("WAVE");
    // MPEGLAYER3WAVEFORMAT: the common header, then the MP3 fields.
    tag("fmt ");
    put(30, 4);
    put(0x55, 2);
    put(static_cast<uint32_t>(channels), 2);
    put(static_cast<uint32_t>(rate), 4);
    put(16000, 4);  // bytes per second at 128 kbit/s
    put(1, 2);      // block align
    put(0, 2);      // bits per sample
    put(12, 2);     // extra size
    put(1, 2);      // MPEGLAYER3_ID_MPEG
    put(2, 4);      // flags: padding off
    put(418, 2);    // block size
    put(1, 2);      // frames per block
    put(1393, 2);   // codec delay
    tag("data");
    put(static_cast<uint32_t>(mp3.size()), 4);
    bytes.insert(bytes.end(), mp3.begin(), mp3.end());
    return bytes;
}

std::vector<float> DecodeAll(SoundDecoder& decoder)
{
    std::vector<float> all;
    std::vector<float> chunk(2 * 1000);
    // Bounded, so a decoder that never ends fails the test instead of hanging it.
    for (int turn = 0; turn < 100000; ++turn) {
        const size_t got = decoder.Read(chunk.data(), 1000);
        if (got == 0) return all;
        all.insert(all.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(2 * got));
    }
    throw std::runtime_error("the decoder doesn't end");
}

int RisingCrossings(const std::vector<float>& stereo, int channel)
{
    int count = 0;
    bool low = false;
    for (size_t i = static_cast<size_t>(channel); i < stereo.size(); i += 2) {
        if (stereo[i] < -0.1f) low = true;
        if (stereo[i] > 0.1f && low) {
            ++count;
            low = false;
        }
    }
    return count;
}

float Peak(const std::vector<float>& stereo, int channel)
{
    float peak = 0;
    for (size_t i = static_cast<size_t>(channel); i < stereo.size(); i += 2)
        peak = std::max(peak, std::fabs(stereo[i]));
    return peak;
}

}  // namespace kelva::test
