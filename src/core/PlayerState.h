// The interpreter's shared state: the player mode, where reading stands, the text
// cursor, the click latch, and the page-start record that bookmarks are made from.
#pragma once

#include <cstdint>
#include <string>

#include "data/NovelCounters.h"
#include "graphics/NkDIB.h"
#include "platform/Window.h"

namespace kelva {

enum class PlayerMode : uint8_t { Text = 0, Link = 1, KeyWait = 2, Title = 3 };

// The message area, stage pixels; right and bottom exclusive.
inline constexpr TRect kMessageArea{26, 26, 590, 460};

// The last click or Space/Enter that no step has consumed yet. Filled only while empty.
struct ClickLatch {
    bool Pressed = false;
    int X = 0;
    int Y = 0;
    MouseButton Button = MouseButton::Left;

    void Latch(int x, int y, MouseButton button)
    {
        if (Pressed) return;
        Pressed = true;
        X = x;
        Y = y;
        Button = button;
    }
    void Clear() { Pressed = false; }
};

// Character: 1-based byte position in the line; Line: 0-based line of the current item.
struct ReadingPosition {
    int Character = 1;
    int Line = 0;
    bool operator==(const ReadingPosition&) const = default;
};

struct PlayerState {
    PlayerMode Mode = PlayerMode::Title;
    int CurrentItem = 0;
    ReadingPosition Position;
    TPoint TextCursor{kMessageArea.Left, kMessageArea.Top};
    TPoint LastCharSize;  // width and height of the character measured last
    ClickLatch Click;
    TPoint Mouse;
    int TickTotal = 0;        // sum of all lag counts; drives the key-wait icon's blinking
    int CharactersShown = 0;  // story characters typed since the start, blanks not counted
    bool PageFull = false;    // the current key wait came from a full message area
    bool SkipMode = false;
    int TitleStep = 0;

    // Media in use, and the page-start record taken by BeginPage.
    std::string CurrentMusic;
    std::string CurrentSound;
    int CurrentCdTrack = 0;
    std::string PageMusic;
    std::string PageSound;
    int PageCdTrack = 0;
    ReadingPosition PagePosition;
    CNovelCounters CountersSnapshot;
    int PageCounter = 0;
    int PlayNumber = 0;

    // A page begins: the page counter moves on and the record bookmarks are made from is
    // taken. The sound and CD track count only while they play.
    void RecordPageStart(const CNovelCounters& counters, bool soundPlaying, bool cdPlaying)
    {
        ++PageCounter;
        PageMusic = CurrentMusic;
        PageSound = soundPlaying ? CurrentSound : std::string();
        PagePosition = Position;
        CountersSnapshot.Assign(counters);
        PageCdTrack = cdPlaying ? CurrentCdTrack : 0;
    }

    // The running ".WAIT".
    bool WaitActive = false;
    int WaitElapsed = 0;
    int WaitLength = 0;
};

}  // namespace kelva
