#pragma once

#include <string>
#include <vector>

namespace kelva {

// The whole player run: package or command line, platform choice (a display, or
// headless), start-up, the stage window. Returns the process exit status: 0 after the
// stage window closed, 1 when start-up stopped, 2 for a bad command line.
int RunPlayer(const std::string& programPath, const std::vector<std::string>& args);

}  // namespace kelva
