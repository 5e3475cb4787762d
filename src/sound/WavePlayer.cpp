#include "sound/WavePlayer.h"

namespace kelva {

namespace {

// The wave device's own complaint about a file it can't play, naming the file.
std::string CannotPlay(const std::string& fileName, const std::string& detail)
{
    return "ファイル \"" + fileName + "\" はウェーブ オーディオ デバイスで再生できません。" +
           "ファイルが壊れているか、正しい形式ではありません。" + detail;
}

}  // namespace

TWavePlayer::TWavePlayer(AudioMixer& mixer) : m_mixer(mixer) {}

TWavePlayer::~TWavePlayer()
{
    Close();
}

void TWavePlayer::Open()
{
    Close();
    std::string error;
    auto decoder = SoundDecoder::Open(m_fileName, m_mixer.SampleRate(), error);
    if (!decoder) throw EMCIDeviceError(CannotPlay(m_fileName, "（" + error + "）"));
    // WAVE only: a wave device plays what sits in a RIFF WAVE and isn't MPEG coded.
    const SoundFormat& format = decoder->Format();
    if (format.Kind != SoundFormat::Container::Wave || format.MpegCoded)
        throw EMCIDeviceError(CannotPlay(m_fileName, ""));
    m_source = std::make_shared<SoundFileSource>(std::move(decoder), SoundFileSource::Repeat::Once);
}

void TWavePlayer::Play()
{
    RequireOpen("再生");
    if (m_source->Finished()) m_source->Seek(0);
    m_source->SetPaused(false);
    m_paused = false;
    m_started = true;
    m_mixer.Add(m_source);
}

void TWavePlayer::Pause()
{
    RequireOpen("一時停止");
    if (Mode() != WavePlayerMode::Playing) return;
    m_source->SetPaused(true);
    m_paused = true;
}

void TWavePlayer::Stop()
{
    RequireOpen("停止");
    m_mixer.Remove(m_source.get());
    m_source->SetPaused(false);
    m_started = false;
    m_paused = false;
}

void TWavePlayer::Close()
{
    if (!m_source) return;
    m_mixer.Remove(m_source.get());
    m_source.reset();
    m_started = false;
    m_paused = false;
}

WavePlayerMode TWavePlayer::Mode() const
{
    if (!m_source) return WavePlayerMode::NotOpen;
    if (m_paused) return WavePlayerMode::Paused;
    if (m_started && !m_source->Finished()) return WavePlayerMode::Playing;
    return WavePlayerMode::Stopped;
}

void TWavePlayer::RequireOpen(const char* operation) const
{
    if (!m_source)
        throw EMCIDeviceError(std::string(operation) +
                              "できません：ウェーブ オーディオ デバイスが開かれていません。");
}

}  // namespace kelva
