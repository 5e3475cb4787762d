// A tool of the reader's own beside the story (the volume keys, screenshots): it sees the
// stage's keys before the story does, and is polled between events to end what it shows
// for a while.
#pragma once

#include <cstdint>

#include "platform/Window.h"

namespace kelva {

class ReaderTool {
public:
    virtual ~ReaderTool() = default;
    // A key pressed over the stage; true when it was the tool's, and the story doesn't get it.
    virtual bool HandleKey(const InputEvent& key) = 0;
    // Called between events with the clock's time.
    virtual void Poll(int64_t nowMs) = 0;
};

}  // namespace kelva
