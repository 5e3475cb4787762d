#pragma once

#include <string>

namespace kelva {

// The full path of the running executable (empty when the system can't tell).
std::string ProgramPath();

}  // namespace kelva
