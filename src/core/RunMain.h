// The stage window: shows the 640 x 480 stage and runs until the reader closes it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/KelvaNovelRun.h"
#include "platform/Clock.h"
#include "platform/Window.h"

namespace kelva {

class TMainForm {
public:
    // `fullScreen` overrides the header's StartWindowed when set.
    TMainForm(LoadedGame& game, StageWindow& window, Clock& clock, std::optional<bool> fullScreen);

    // Runs the message loop until the window is closed.
    void Run();

private:
    void FormCreate();
    void TimerTimer(int lagCount);
    void Present();

    LoadedGame& m_game;
    StageWindow& m_window;
    Clock& m_clock;
    std::optional<bool> m_fullScreenOverride;
    bool m_modeSwitched = false;
    int m_interval = 30;
    std::vector<uint8_t> m_screen;  // 640 x 480, blue-green-red rows
};

}  // namespace kelva
