#include "vbmp3/Vbmp3Player.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "data/ShiftJis.h"

namespace kelva {

namespace {

// Copies CP932 `text` into a field of `size` bytes, zero-terminated, cut before a
// character that doesn't fit whole.
void CopyText(char* field, size_t size, std::string_view text)
{
    size_t length = 0;
    while (length < text.size()) {
        const size_t next = length + SjisCharLength(text, length);
        if (next > size - 1) break;
        length = next;
    }
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, size - length);
}

int Milliseconds(int64_t frames, int rate)
{
    if (rate <= 0 || frames <= 0) return 0;
    return static_cast<int>(std::min<int64_t>(frames * 1000 / rate, std::numeric_limits<int>::max()));
}

vbmp3_MpegInfo StreamInfo(const SoundFormat& format)
{
    vbmp3_MpegInfo info{};
    info.version = format.MpegVersion;
    info.layer = format.Layer;
    info.bitrate = format.Bitrate;
    info.sampleRate = format.SampleRate;
    info.channels = std::min(format.Channels, 2);  // what is played
    info.totalMs = Milliseconds(format.Frames, format.SampleRate);
    return info;
}

int Kind(SoundFormat::Container container)
{
    switch (container) {
        case SoundFormat::Container::Mpeg:
            return VBMP3_KIND_MPEG;
        case SoundFormat::Container::Wave:
            return VBMP3_KIND_WAVE;
        default:
            return VBMP3_KIND_OTHER;
    }
}

}  // namespace

Vbmp3Player::~Vbmp3Player()
{
    Close();
}

int Vbmp3Player::OutputRate() const
{
    if (m_mixer) return m_mixer->SampleRate();
    return m_ownMixer ? m_ownMixer->SampleRate() : AudioMixer::kDefaultSampleRate;
}

AudioMixer* Vbmp3Player::CurrentMixer() const
{
    return m_mixer ? m_mixer : m_ownMixer.get();
}

AudioMixer* Vbmp3Player::Output()
{
    if (m_mixer) return m_mixer;
    if (!m_ownMixer) {
        m_ownMixer = std::make_unique<AudioMixer>();
        m_ownOutput = std::make_unique<SdlAudioOutput>(*m_ownMixer);
        m_ownOutput->Open();  // whether sound can be had is the answer here
    }
    return m_ownOutput->IsOpen() ? m_ownMixer.get() : nullptr;
}

bool Vbmp3Player::Open(const char* fileName, vbmp3_Info* info)
{
    Close();
    if (!fileName) return false;
    std::string error;
    auto decoder = SoundDecoder::Open(fileName, OutputRate(), error);
    if (!decoder) return false;

    m_format = decoder->Format();
    m_frames = decoder->Frames();
    m_source = std::make_shared<SoundFileSource>(std::move(decoder), SoundFileSource::Repeat::Once);
    m_source->SetVolume(m_left / 100.0f, m_right / 100.0f);

    if (info) {
        std::memset(info, 0, sizeof *info);
        info->size = VBMP3_INFO_SIZE;
        info->kind = Kind(m_format.Kind);
        info->stream = StreamInfo(m_format);
        if (m_format.Tags) {
            CopyText(info->title, sizeof info->title, m_format.Tags->Title);
            CopyText(info->artist, sizeof info->artist, m_format.Tags->Artist);
        }
    }
    return true;
}

void Vbmp3Player::Close()
{
    if (!m_source) return;
    if (AudioMixer* mixer = CurrentMixer()) mixer->Remove(m_source.get());
    m_source.reset();
    m_format = {};
    m_frames = 0;
    m_playing = false;
    m_paused = false;
}

bool Vbmp3Player::IsPlaying() const
{
    return m_playing && !m_source->Finished();
}

int Vbmp3Player::State(int* seconds) const
{
    if (seconds) *seconds = PlayMs() / 1000;
    if (!m_source) return VBMP3_STATE_CLOSED;
    if (m_paused) return VBMP3_STATE_PAUSED;
    return IsPlaying() ? VBMP3_STATE_PLAYING : VBMP3_STATE_STOPPED;
}

bool Vbmp3Player::Play()
{
    if (!m_source) return false;
    AudioMixer* mixer = Output();
    if (!mixer) return false;
    // Once from the start: again from the start when it is playing or has played out;
    // from where vbmp3_seek put it when it stands still.
    if (m_playing || m_source->Finished()) {
        if (!m_source->Seek(0)) return false;
    }
    m_source->SetPaused(false);
    m_playing = true;
    m_paused = false;
    mixer->Add(m_source);
    return true;
}

bool Vbmp3Player::Stop()
{
    if (!m_source) return false;
    if (AudioMixer* mixer = CurrentMixer()) mixer->Remove(m_source.get());
    m_source->SetPaused(false);
    m_playing = false;
    m_paused = false;
    return m_source->Seek(0);
}

bool Vbmp3Player::Pause()
{
    if (!m_source || !IsPlaying() || m_paused) return false;
    m_source->SetPaused(true);
    m_paused = true;
    return true;
}

bool Vbmp3Player::Restart()
{
    if (!m_source || !m_paused) return false;
    m_source->SetPaused(false);
    m_paused = false;
    return true;
}

bool Vbmp3Player::Seek(int seconds)
{
    if (!m_source || seconds < 0) return false;
    const int64_t frame = static_cast<int64_t>(seconds) * OutputRate();
    if (m_frames >= 0 && frame > m_frames) return false;
    if (!m_source->Seek(frame)) return false;
    // A sound that had played out and was dropped by the mixer goes on from here.
    if (AudioMixer* mixer = CurrentMixer(); m_playing && mixer) mixer->Add(m_source);
    return true;
}

void Vbmp3Player::SetVolume(int left, int right)
{
    m_left = std::clamp(left, 0, 100);
    m_right = std::clamp(right, 0, 100);
    if (m_source) m_source->SetVolume(m_left / 100.0f, m_right / 100.0f);
}

bool Vbmp3Player::TagInfo(vbmp3_TagInfo* tag) const
{
    if (!tag) return false;
    std::memset(tag, 0, sizeof *tag);
    tag->genre = -1;
    if (!m_source || !m_format.Tags) return false;
    const SoundTags& tags = *m_format.Tags;
    CopyText(tag->title, sizeof tag->title, tags.Title);
    CopyText(tag->artist, sizeof tag->artist, tags.Artist);
    CopyText(tag->album, sizeof tag->album, tags.Album);
    CopyText(tag->year, sizeof tag->year, tags.Year);
    CopyText(tag->comment, sizeof tag->comment, tags.Comment);
    tag->genre = tags.Genre;
    return true;
}

bool Vbmp3Player::MpegInfo(vbmp3_MpegInfo* info) const
{
    if (!info || !m_source) return false;
    *info = StreamInfo(m_format);
    return true;
}

int Vbmp3Player::PlayMs() const
{
    return m_source ? Milliseconds(m_source->Position(), OutputRate()) : 0;
}

int Vbmp3Player::TotalSeconds() const
{
    return m_source ? Milliseconds(m_frames, OutputRate()) / 1000 : 0;
}

void Vbmp3Player::SetMixer(AudioMixer* mixer)
{
    if (mixer == m_mixer) return;
    Close();
    m_mixer = mixer;
}

}  // namespace kelva
