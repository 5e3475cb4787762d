// The title sequence (logo screen, a pause in black, the title screen waiting for a
// click) and the start of a reading.
#include <cstdio>

#include "core/RunMain.h"
#include "core/StageArtwork.h"

namespace kelva {

namespace {

// Steps of the title sequence, counted in ticks outside transitions.
constexpr int kLogoStep = 0;
constexpr int kLogoPaceStep = 1;
constexpr int kLogoEndStep = 120;
constexpr int kTitleStep = 140;
constexpr int kClickResetStep = 141;
constexpr int kWaitStep = 142;
constexpr int kLogoIntervalMs = 20;

}  // namespace

void TMainForm::StepTitle()
{
    const int step = m_state.TitleStep;
    // The count stops where the title screen waits, so it can't overflow.
    if (step < kWaitStep) ++m_state.TitleStep;
    switch (step) {
    case kLogoStep: ShowLogoScreen(); return;
    case kLogoPaceStep: SetTimerInterval(kLogoIntervalMs); return;
    case kLogoEndStep:
        m_stage.StageImage.FillRect(TRect{0, 0, kStageWidth, kStageHeight}, MakeColor(0, 0, 0));
        m_transitions.StartTransition();
        return;
    case kTitleStep: ShowTitleScreen(); return;
    case kClickResetStep: m_state.Click.Clear(); return;
    default: break;
    }
    if (step < kWaitStep || !m_state.Click.Pressed) return;
    SetTimerInterval(m_textInterval);
    m_services.Sound.StopMusic();
    m_state.Click.Clear();
    // Mode 2 opens the bookmark book here once it exists; until then a click starts the
    // story in every mode, as a reader expects of a title screen that asks for a click.
    StartStory();
}

void TMainForm::ShowLogoScreen()
{
    const CNovelFileHeader& header = m_story.Header;
    m_services.Sound.StopMusic();
    if (m_services.Sound.MediaPresent()) m_services.Sound.StopCd();
    m_stage.CharLayer.Clear();
    SetTimerInterval(kLogoIntervalMs);
    m_stage.StageImage.FillRect(TRect{0, 0, kStageWidth, kStageHeight}, MakeColor(0, 0, 0));
    if (!header.LogoPicture.empty()) m_stage.LoadBackground(header.LogoPicture);
    const TNkDIB badge = PoweredByImage(m_services.Fonts);
    DrawColourKeyed(badge, badge.BoundsRect(), m_stage.StageImage, 380, 412, badge.Pixel(0, badge.Height() - 1));
    DrawVersionText();
    m_textInterval = header.FrameInterval;
    m_transitions.SetDefaultEffect();
    m_transitions.StartTransition();
    if (!header.LogoMusic.empty()) PlayTitleMusic(header.LogoMusic, false);
}

void TMainForm::DrawVersionText()
{
    TAntiAliasTextout& text = m_textRenderer;
    text.Target = &m_stage.StageImage;
    text.Smooth = true;
    text.FilterSize = 2;
    text.Decoration = kDecorationShadow;
    text.EdgeColor = MakeColor(170, 170, 170);
    text.Font = FontSpec{"Arial", 22, false};
    text.TextColor = MakeColor(255, 34, 0);
    text.DrawText(636 - text.MeasureText(kRuntimeVersion).X, 420, kRuntimeVersion);

    const std::optional<int> version = m_services.Sound.DecoderLibraryVersion();
    if (!version) return;
    char line[64];
    std::snprintf(line, sizeof line, "with VBMP3.DLL %d.%.2d", *version / 100, *version % 100);
    text.Font = FontSpec{"Arial", 14, true};
    text.TextColor = MakeColor(255, 255, 255);
    text.Decoration = kDecorationOutline;
    text.EdgeColor = MakeColor(0, 0, 0);
    const TPoint size = text.MeasureText(line);
    text.DrawText(636 - size.X, 472 - size.Y, line);
}

void TMainForm::ShowTitleScreen()
{
    const CNovelFileHeader& header = m_story.Header;
    m_stage.StageImage.FillRect(TRect{0, 0, kStageWidth, kStageHeight}, MakeColor(0, 0, 0));
    if (header.TitlePicture.empty()) {
        TAntiAliasTextout& text = m_textRenderer;
        text.Target = &m_stage.StageImage;
        text.Smooth = false;
        text.Decoration = kDecorationNone;
        text.Font = FontSpec{kGothicFace, 32, false};
        text.TextColor = MakeColor(255, 255, 255);
        for (const auto& [line, y] : {std::pair<std::string_view, int>{header.Title, 200},
                                      std::pair<std::string_view, int>{"クリックでスタート！", 240}}) {
            text.DrawText(320 - m_services.Fonts.MeasureText(text.Font, line).Width / 2, y, line);
        }
    } else {
        m_stage.LoadBackground(header.TitlePicture);
    }
    m_transitions.StartTransition();
    if (!header.TitleMusic.empty()) PlayTitleMusic(header.TitleMusic, true);
}

void TMainForm::PlayTitleMusic(const std::string& name, bool loop)
{
    m_services.Log.Event("music", name);
    m_services.Sound.PlayMusic(name, loop);
}

void TMainForm::StartStory()
{
    const CNovelFileHeader& header = m_story.Header;
    SetMode(PlayerMode::Text);
    BeginPage();
    const int start = m_story.Items.IndexOf(header.StartItem);
    m_state.CurrentItem = start < 0 ? 0 : start;
    m_state.Position = {1, 0};
    m_services.Log.Event("start", CurrentItem() ? CurrentItem()->Name : std::string());
    for (const char* line : {".MidiStop", ".SoundStop", ".CDStop"}) {
        ParseCommand(line, m_tokens);
        ExecuteCommand();
    }
    m_stage.CharLayer.Clear();
    m_stage.StageImage.FillRect(TRect{0, 0, kStageWidth, kStageHeight}, MakeColor(0, 0, 0));
    m_transitions.StartTransition();
    m_textInterval = header.FrameInterval;
    m_state.PageCounter = 0;
    m_state.PlayNumber = 1;
}

}  // namespace kelva
