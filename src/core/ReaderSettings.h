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
};

}  // namespace kelva
