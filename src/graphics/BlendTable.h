// The stage blend table: what every blend, tint and see-through draw produces. Entry
// [s][n][o] mixes a new value n over an old value o (both colour bytes divided by 4) at
// step s of 50:  4 * ((s * n) / 50 + ((50 - s) * o) / 50), with integer division. The
// result is always a multiple of 4 and at most 252.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelva {

class BlendTable {
public:
    static constexpr int kSteps = 51;                         // 0 (all old) .. 50 (all new)
    static constexpr int kValues = 64;                        // colour byte / 4
    static constexpr int kSize = kSteps * kValues * kValues;  // 208,896 bytes

    BlendTable();

    // step 0..50, newValue64 and oldValue64 0..63 (not checked).
    uint8_t At(int step, int newValue64, int oldValue64) const
    {
        return m_entries[(static_cast<size_t>(step) * kValues + newValue64) * kValues + oldValue64];
    }
    // The 64 entries for one step and new value, indexed by the old value.
    const uint8_t* Row(int step, int newValue64) const
    {
        return &m_entries[(static_cast<size_t>(step) * kValues + newValue64) * kValues];
    }
    // Mixes two colour bytes at a step.
    uint8_t Mix(int step, uint8_t newByte, uint8_t oldByte) const
    {
        return At(step, newByte >> 2, oldByte >> 2);
    }

    // The step for a strength in per cent: percent * 50 / 100, the strength first held
    // to 0..100. What a routine does at or below 0 or at 100 is the routine's own rule.
    static int Step(int percent);

    // The entry by its formula, for checking the table and the arithmetic paths.
    static constexpr int Formula(int step, int newValue64, int oldValue64)
    {
        return 4 * ((step * newValue64) / 50 + ((50 - step) * oldValue64) / 50);
    }

private:
    std::vector<uint8_t> m_entries;
};

}  // namespace kelva
