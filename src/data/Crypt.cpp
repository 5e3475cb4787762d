#include "data/Crypt.h"

#include <vector>

namespace kelva {

std::unique_ptr<MemoryStream> CryptStream(Stream& source)
{
    std::vector<uint8_t> bytes;
    uint8_t block[64 * 1024];
    size_t got;
    while ((got = source.Read(block, sizeof block)) > 0) bytes.insert(bytes.end(), block, block + got);
    CryptBytes(bytes);
    return std::make_unique<MemoryStream>(std::move(bytes));
}

void CryptBytes(std::span<uint8_t> bytes)
{
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] ^= kCryptKey[i % kCryptKey.size()];
}

}  // namespace kelva
