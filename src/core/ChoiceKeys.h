// Choosing from a choice menu without a mouse: Up and Down move a highlight over the
// choices, 1 to 9 put it on that line, and Enter or Space then choose the highlighted
// line. Moving the pointer hands the highlight back to it.
#pragma once

#include <optional>

#include "platform/Keys.h"

namespace kelva {

class ChoiceKeys {
public:
    // A new menu: nothing highlighted by the keyboard.
    void Reset() { m_line.reset(); }
    void PointerMoved() { m_line.reset(); }
    // Moves the highlight for `key` over a menu of `count` lines; false for any other key
    // (Enter and Space included), which leaves it alone.
    bool Move(Key key, int count);
    // The line the keyboard highlights, from 0.
    std::optional<int> Line() const { return m_line; }

private:
    std::optional<int> m_line;
};

}  // namespace kelva
