// The player's random source. Passed in wherever chance decides something, so tests can
// draw the values they need.
#pragma once

#include <cstdint>
#include <random>

namespace kelva {

class Random {
public:
    virtual ~Random() = default;
    // An integer drawn uniformly from 0 to `limit`, both ends included.
    virtual uint32_t NextUpTo(uint32_t limit) = 0;
};

// The generator of a real run. One seed always gives the same numbers.
class MersenneRandom final : public Random {
public:
    explicit MersenneRandom(uint32_t seed) : m_engine(seed) {}

    // Starts the numbers over as from a new generator of that seed.
    void Seed(uint32_t seed) { m_engine.seed(seed); }

    uint32_t NextUpTo(uint32_t limit) override
    {
        return std::uniform_int_distribution<uint32_t>(0, limit)(m_engine);
    }

private:
    std::mt19937 m_engine;
};

}  // namespace kelva
