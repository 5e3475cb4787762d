#include "core/VolumeKeys.h"

#include <algorithm>

namespace kelva {

int StepVolume(int percent, int steps)
{
    return std::clamp(percent + steps * 10, 0, 100);
}

float VolumeGain(int percent)
{
    const float share = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
    return share * share;
}

VolumeKeys::VolumeKeys(AudioMixer& mixer, ReaderSettingsStore& settings, StagePresenter& presenter,
                       Clock& clock, FontRasteriser& fonts)
    : m_mixer(mixer), m_settings(settings), m_presenter(presenter), m_clock(clock), m_overlay(fonts)
{
    m_presenter.AddOverlay(m_overlay);
    Apply(m_settings.Settings());
}

VolumeKeys::~VolumeKeys()
{
    m_presenter.RemoveOverlay(m_overlay);
}

void VolumeKeys::Apply(const ReaderSettings& settings)
{
    m_mixer.SetGain(VolumeGain(settings.VolumePercent));
    m_mixer.SetMuted(settings.Muted);
}

bool VolumeKeys::HandleKey(const InputEvent& key)
{
    if (key.alt || key.ctrl) return false;
    ReaderSettings settings = m_settings.Settings();
    switch (key.key) {
        case Key::M:
            settings.Muted = !settings.Muted;
            break;
        case Key::Minus:
            settings.VolumePercent = StepVolume(settings.VolumePercent, -1);
            break;
        case Key::Equals:
            settings.VolumePercent = StepVolume(settings.VolumePercent, 1);
            break;
        default:
            return false;
    }
    // A volume key unmutes only when it is M: the level can be set quietly beforehand.
    Apply(settings);
    m_settings.Change(settings);
    m_overlay.Show(settings.VolumePercent, settings.Muted);
    m_presenter.MarkChanged(VolumeOverlay::kArea);
    m_hideAtMs = m_clock.NowMs() + kShownMs;
    return true;
}

void VolumeKeys::Poll(int64_t nowMs)
{
    if (!m_overlay.Visible() || nowMs < m_hideAtMs) return;
    m_overlay.Hide();
    m_presenter.MarkChanged(VolumeOverlay::kArea);
}

}  // namespace kelva
