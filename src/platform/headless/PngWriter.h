#pragma once

#include <cstdint>
#include <string>

namespace kelva {

// Writes blue-green-red rows (row 0 at the top) as an 8-bit RGB PNG. False on failure.
bool WriteBgrPng(const std::string& path, const uint8_t* pixels, int width, int height, int pitch);

}  // namespace kelva
