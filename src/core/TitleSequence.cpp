#include "core/TitleSequence.h"

#include "core/StageArtwork.h"
#include "graphics/RunCommon.h"

namespace kelva {

namespace {

// Steps of the title sequence, counted in ticks outside transitions.
constexpr int kLogoStep = 0;
constexpr int kLogoPaceStep = 1;
constexpr int kLogoEndStep = 120;
constexpr int kTitleStep = 140;
constexpr int kClickResetStep = 141;
constexpr int kLogoIntervalMs = 20;

}  // namespace

TitleSequence::TitleSequence(const CNovelFileHeader& header, StageImages& stage, Transitions& effects,
                             StageSound& sound, FontRasteriser& fonts, Transcript& log, TransitionHost& timer)
    : m_header(header),
      m_stage(stage),
      m_effects(effects),
      m_sound(sound),
      m_fonts(fonts),
      m_log(log),
      m_timer(timer)
{
}

bool TitleSequence::Step(PlayerState& state)
{
    const int step = state.TitleStep;
    // The count stops where the title screen waits, so it can't overflow.
    if (step < kWaitStep) ++state.TitleStep;
    switch (step) {
        case kLogoStep:
            ShowLogoScreen();
            return false;
        case kLogoPaceStep:
            m_timer.SetTimerInterval(kLogoIntervalMs);
            return false;
        case kLogoEndStep:
            m_stage.StageImage.FillRect(TRect{0, 0, kStageWidth, kStageHeight}, MakeColor(0, 0, 0));
            m_effects.StartTransition();
            return false;
        case kTitleStep:
            ShowTitleScreen();
            return false;
        case kClickResetStep:
            state.Click.Clear();
            return false;
        default:
            break;
    }
    if (step < kWaitStep || !state.Click.Pressed) return false;
    // Back to the text pace before the music stops: stopping may take a moment.
    m_timer.SetTimerInterval(m_timer.TextInterval());
    m_sound.StopMusic();
    state.Click.Clear();
    return true;
}

void TitleSequence::ShowLogoScreen()
{
    m_sound.StopMusic();
    if (m_sound.MediaPresent()) m_sound.StopCd();
    m_stage.CharLayer.Clear();
    m_timer.SetTimerInterval(kLogoIntervalMs);
    m_stage.StageImage.FillRect(TRect{0, 0, kStageWidth, kStageHeight}, MakeColor(0, 0, 0));
    if (!m_header.LogoPicture.empty()) m_stage.LoadBackground(m_header.LogoPicture);
    const TNkDIB badge = PoweredByImage(m_fonts);
    DrawColourKeyed(badge, badge.BoundsRect(), m_stage.StageImage, 380, 412,
                    badge.Pixel(0, badge.Height() - 1));
    DrawVersionText(m_stage.StageImage, m_fonts, m_sound.DecoderLibraryVersion());
    m_effects.SetDefaultEffect();
    m_effects.StartTransition();
    if (!m_header.LogoMusic.empty()) PlayMusic(m_header.LogoMusic, false);
}

void TitleSequence::ShowTitleScreen()
{
    m_stage.StageImage.FillRect(TRect{0, 0, kStageWidth, kStageHeight}, MakeColor(0, 0, 0));
    if (m_header.TitlePicture.empty()) {
        DrawTitleText(m_stage.StageImage, m_fonts, m_header.Title);
    } else {
        m_stage.LoadBackground(m_header.TitlePicture);
    }
    m_effects.StartTransition();
    if (!m_header.TitleMusic.empty()) PlayMusic(m_header.TitleMusic, true);
}

void TitleSequence::PlayMusic(const std::string& name, bool loop)
{
    m_log.Event("music", name);
    m_sound.PlayMusic(name, loop);
}

}  // namespace kelva
