#include "platform/sdl/SdlAudioOutput.h"

#include <SDL.h>

#include <utility>

namespace kelva {

namespace {

// About 23 ms at 44.1 kHz: short enough for sound effects to start with the picture.
constexpr Uint16 kBufferFrames = 1024;

}  // namespace

SdlAudioOutput::SdlAudioOutput(AudioMixer& mixer, std::function<void(const std::string&)> log)
    : m_mixer(mixer), m_log(std::move(log))
{
    m_mixer.SetOnAdd([this] { Open(); });
    if (m_mixer.HasSources()) Open();
}

bool SdlAudioOutput::IsOpen() const
{
    std::lock_guard lock(m_lock);
    return m_device != 0;
}

std::string SdlAudioOutput::Error() const
{
    std::lock_guard lock(m_lock);
    return m_error;
}

void SdlAudioOutput::Open()
{
    std::lock_guard lock(m_lock);
    if (std::exchange(m_tried, true)) return;
    const auto fail = [this](const std::string& error) {
        m_error = error;
        if (m_log) m_log("no sound: " + error);
    };
    // Its own reference on the audio subsystem, so the output works with or without the
    // window's video subsystem and whoever else uses SDL.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        fail(std::string("SDL audio: ") + SDL_GetError());
        return;
    }
    m_subsystem = true;

    SDL_AudioSpec wanted{};
    wanted.freq = m_mixer.SampleRate();
    wanted.format = AUDIO_S16SYS;
    wanted.channels = AudioMixer::kChannels;
    wanted.samples = kBufferFrames;
    wanted.callback = &SdlAudioOutput::Fill;
    wanted.userdata = this;
    // No changes allowed: the mixer's format is the one delivered, SDL converts it.
    SDL_AudioSpec obtained{};
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (m_device == 0) {
        fail(std::string("SDL audio device: ") + SDL_GetError());
        return;
    }
    SDL_PauseAudioDevice(m_device, 0);
}

SdlAudioOutput::~SdlAudioOutput()
{
    m_mixer.SetOnAdd(nullptr);
    // Closing waits for a running callback, so the mixer is left alone from here on.
    if (m_device != 0) SDL_CloseAudioDevice(m_device);
    if (m_subsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioOutput::Fill(void* self, uint8_t* stream, int bytes)
{
    auto* output = static_cast<SdlAudioOutput*>(self);
    const auto frames = static_cast<size_t>(bytes) / (AudioMixer::kChannels * sizeof(int16_t));
    output->m_mixer.Render(reinterpret_cast<int16_t*>(stream), frames);
}

}  // namespace kelva
