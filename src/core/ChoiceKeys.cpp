#include "core/ChoiceKeys.h"

#include <algorithm>

namespace kelva {

bool ChoiceKeys::Move(Key key, int count)
{
    if (count <= 0) return false;
    if (key >= Key::Digit1 && key <= Key::Digit9) {
        const int line = static_cast<int>(key) - static_cast<int>(Key::Digit1);
        if (line < count) m_line = line;
        return true;
    }
    if (key == Key::Down) {
        // The first press lights the first line; the highlight stops at either end.
        m_line = m_line ? std::min(*m_line + 1, count - 1) : 0;
        return true;
    }
    if (key == Key::Up) {
        m_line = m_line ? std::max(*m_line - 1, 0) : count - 1;
        return true;
    }
    return false;
}

}  // namespace kelva
