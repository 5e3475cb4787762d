// The stage window: the player itself. It walks the story's items tick by tick (text,
// key waits, links, the title), carries out command lines, follows links, and shows
// ScreenImage in the window. The frame timer is its only driver; input handlers only
// fill the click latch, switch skip mode off or open windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/CommandStrings.h"
#include "core/FrameTimer.h"
#include "core/KelvaNovelRun.h"
#include "core/PlayerState.h"
#include "core/Transcript.h"
#include "core/Transitions.h"
#include "data/MediaFiles.h"
#include "graphics/AntiAliasTextout.h"
#include "graphics/RunCommon.h"
#include "graphics/StageImages.h"
#include "platform/Clock.h"
#include "platform/FontRasteriser.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "sound/StageSound.h"

namespace kelva {

// The services the stage window runs on; all borrowed.
struct StageServices {
    StageWindow& Window;
    Clock& Time;
    MessageBox& Messages;
    StageSound& Sound;
    FontRasteriser& Fonts;
    Transcript& Log;
};

// One choice of a menu link: the caption as shown ("1. ...") and the target item.
struct MenuChoice {
    std::string Caption;
    int Target = -1;
};

// The choices a menu-link item offers: links 0 to 7 that hold and whose target exists,
// numbered from 1 without gaps.
std::vector<MenuChoice> MenuChoices(const CNovelItem& item, const CNovelItems& items,
                                    const CNovelCounters& counters);
// The item an automatic link goes to: the highest-numbered link that holds; -1 when none
// holds or its target doesn't exist.
int AutoLinkTarget(const CNovelItem& item, const CNovelItems& items, const CNovelCounters& counters);

class TMainForm final : private TransitionHost {
public:
    // `fullScreen` overrides the header's StartWindowed when set.
    TMainForm(LoadedGame& game, StageServices services, std::optional<bool> fullScreen);

    // Runs the message loop until the window is closed.
    void Run();
    // Handles the window's pending events without waiting, for a command that makes the
    // story wait (the CD search); false once the window is closing.
    bool PumpMessages();

    // One frame-timer tick and the input handlers, public so tests can drive them.
    void TimerTimer(int lagCount);
    void FormKeyDown(const InputEvent& key);
    void FormMouseDown(MouseButton button, int x, int y);
    void FormMouseMove(int x, int y);
    void FormClose();

    void SetMode(PlayerMode mode);
    void StartStory();
    void ExecuteCommand();
    void BeginPage();
    void Present();
    void PresentRect(const TRect& rect);

    PlayerState& State() { return m_state; }
    StageImages& Stage() { return m_stage; }
    const Transitions& TransitionsInUse() const { return m_transitions; }
    const FrameTimer& Timer() const { return m_timer; }
    int TextInterval() const override { return m_textInterval; }
    bool Closed() const { return m_closed; }
    bool FullScreen() const { return m_fullScreen; }

private:
    // TransitionHost
    void SetTimerInterval(int milliseconds) override;
    int64_t NowMs() override { return m_services.Time.NowMs(); }

    void HandleEvent(const InputEvent& event);
    void FormCreate();
    void FormShow();
    void RunTick(int lagCount);
    void StepText(int lagCount);
    void StepKeyWait();
    void StepLink();
    void StepMenuLink();
    void StepAutoLink();
    void StepEndItem();
    void StepTitle();
    void ShowLogoScreen();
    void DrawVersionText();
    void ShowTitleScreen();
    void PlayTitleMusic(const std::string& name, bool loop);
    void ResetTextStyle();
    void Yield();
    void CharacterFollowUp();
    void RunCounterCommand(CommandWord word);
    void SelectEffect(int firstEffectToken);
    void SkipTransition();
    void PanicStop();
    void SwitchDisplay(bool fullScreen);
    void DXDrawInitialize();
    void OpenGameMenu();
    void ShowPointer();
    void FlushPresent(bool force);
    void DrawDebugBar(TNkDIB& frame);
    void MenuBand(int choice, int lineStep, int height, TNkDIB& from);
    TRect IconArea() const;
    const CNovelItem* CurrentItem() const;

    LoadedGame& m_game;
    NovelStory& m_story;
    StageServices m_services;
    std::optional<bool> m_fullScreenOverride;

    MediaFiles m_media;
    StageImages m_stage;
    TAntiAliasTextout m_textRenderer;
    Transitions m_transitions;
    FrameTimer m_timer;
    PlayerState m_state;
    CommandTokens m_tokens;

    int m_textInterval = 30;
    bool m_modeSwitched = false;
    bool m_displayEnumerated = false;
    DisplayMode m_displayMode;  // the full-screen mode chosen; 0 until one is found
    bool m_fullScreen = false;
    bool m_closed = false;
    bool m_dirty = false;
    int64_t m_lastPresent = -1000;

    // Debug mode: the bar along the bottom edge, drawn over the frame as it is shown.
    TAntiAliasTextout m_debugText;
    std::string m_debugLabel2;
    TNkDIB m_shownFrame;

    // The menu link being shown.
    bool m_menuDrawn = false;
    std::vector<MenuChoice> m_choices;
    int m_highlighted = -1;
};

}  // namespace kelva
