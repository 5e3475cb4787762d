// Scrambling of the novel file inside a package: each byte is XORed with a 16-byte key,
// byte k of the data with key byte k mod 16. No header, length or checksum is added.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "data/Stream.h"

namespace kelva {

// Shared with whatever writes packages; changing it makes every existing game unreadable.
inline constexpr std::array<uint8_t, 16> kCryptKey = {0x4B, 0x9E, 0x27, 0xD1, 0x63, 0x0A, 0xB8, 0x5F,
                                                      0xE4, 0x31, 0x7C, 0xA6, 0x12, 0xFD, 0x88, 0x45};

// Reads `source` from its current position to its end and returns those bytes XORed with
// the key (the key restarts at the reading position), in a new stream positioned at 0.
// The same call scrambles and descrambles.
std::unique_ptr<MemoryStream> CryptStream(Stream& source);
// The same in place, for bytes that begin at key position 0.
void CryptBytes(std::span<uint8_t> bytes);

}  // namespace kelva
