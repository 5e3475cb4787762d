// The wall time of each start-up phase, for --verbose: "start-up: read package 3 ms,
// novel file 12 ms, fonts 20 ms, window 15 ms".
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace kelva {

class StartupTimes {
public:
    // The phase that began at the previous mark (or at construction) ends now.
    void Mark(const char* phase)
    {
        const auto now = std::chrono::steady_clock::now();
        const double ms = std::chrono::duration<double, std::milli>(now - m_last).count();
        m_last = now;
        char part[96];
        std::snprintf(part, sizeof part, "%s%s %.1f ms", m_line.empty() ? "start-up: " : ", ", phase, ms);
        m_line += part;
    }
    const std::string& Line() const { return m_line; }

private:
    std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
    std::string m_line;
};

}  // namespace kelva
