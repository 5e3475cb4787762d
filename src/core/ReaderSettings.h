// The reader's own settings, kept between runs in settings.ini: how the player reads to
// them, whatever the story.
#pragma once

namespace kelva {

struct ReaderSettings {
    // Hold-to-skip stops at the first page not read before.
    bool SkipOnlyRead = false;
    // Auto-advance waits this long at a key wait, plus so much a character of the page.
    int AutoAdvanceBaseMs = 1500;
    int AutoAdvancePerCharMs = 60;
    // The mixer's master gain, 0-100 in steps of 10, and whether everything is muted.
    int VolumePercent = 100;
    bool Muted = false;
    // The typing pace as a share of the story's own: 100 types as the story asks, 200
    // twice as fast, 50 half as fast.
    int TextSpeedPercent = 100;

    // The time between typed characters for a story that asks for `storyMs`: exactly
    // `storyMs` at the default speed, never below 1 ms otherwise.
    int TypingIntervalMs(int storyMs) const
    {
        if (TextSpeedPercent == 100 || TextSpeedPercent <= 0) return storyMs;
        const int scaled = (storyMs * 100 + TextSpeedPercent / 2) / TextSpeedPercent;
        return scaled < 1 ? 1 : scaled;
    }

    bool operator==(const ReaderSettings&) const = default;
};

}  // namespace kelva
