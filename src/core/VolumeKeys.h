// The reader's volume keys: M mutes and unmutes everything the mixer plays, "-" and "="
// lower and raise the master volume in steps of 10 % (0-100). Each change goes to the
// mixer at once, is kept in the reader's settings and is shown over the stage for a
// moment. Music and sounds play on while muted, so unmuting finds them where they are.
#pragma once

#include <cstdint>

#include "core/ReaderSettingsStore.h"
#include "core/ReaderTool.h"
#include "core/StagePresenter.h"
#include "core/VolumeOverlay.h"
#include "platform/Clock.h"
#include "sound/AudioMixer.h"

namespace kelva {

// `percent` moved by `steps` steps of 10, kept within 0-100.
int StepVolume(int percent, int steps);
// The mixer's gain for a volume in percent: squared, so that each step sounds about as
// large as the one before (the ear hears ratios, and 50 % is then a quarter, -12 dB).
float VolumeGain(int percent);

class VolumeKeys final : public ReaderTool {
public:
    static constexpr int kShownMs = 1500;

    // All borrowed. The settings' volume goes to `mixer` now; the overlay is added to
    // `presenter`.
    VolumeKeys(AudioMixer& mixer, ReaderSettingsStore& settings, StagePresenter& presenter, Clock& clock,
               FontRasteriser& fonts);
    ~VolumeKeys() override;
    VolumeKeys(const VolumeKeys&) = delete;
    VolumeKeys& operator=(const VolumeKeys&) = delete;

    bool HandleKey(const InputEvent& key) override;
    void Poll(int64_t nowMs) override;

private:
    void Apply(const ReaderSettings& settings);

    AudioMixer& m_mixer;
    ReaderSettingsStore& m_settings;
    StagePresenter& m_presenter;
    Clock& m_clock;
    VolumeOverlay m_overlay;
    int64_t m_hideAtMs = 0;
};

}  // namespace kelva
