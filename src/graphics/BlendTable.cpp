#include "graphics/BlendTable.h"

#include <algorithm>

namespace kelva {

BlendTable::BlendTable() : m_entries(kSize)
{
    size_t i = 0;
    for (int step = 0; step < kSteps; ++step) {
        for (int n = 0; n < kValues; ++n) {
            for (int o = 0; o < kValues; ++o) m_entries[i++] = static_cast<uint8_t>(Formula(step, n, o));
        }
    }
}

int BlendTable::Step(int percent)
{
    return std::clamp(percent, 0, 100) * 50 / 100;
}

}  // namespace kelva
