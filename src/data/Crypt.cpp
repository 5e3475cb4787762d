#include "data/Crypt.h"

#include <vector>

namespace kelva {

std::unique_ptr<MemoryStream> CryptStream(Stream& source)
{
    std::vector<uint8_t> bytes;
    uint8_t block[64 * 1024];
    size_t got;
    while ((got = source.Read(block, sizeof block)) > 0) {
        // The key position follows the byte count so far, so a short read in the middle
        // can't shift the key.
        const size_t done = bytes.size();
        for (size_t i = 0; i < got; ++i) block[i] ^= kCryptKey[(done + i) % kCryptKey.size()];
        bytes.insert(bytes.end(), block, block + got);
    }
    return std::make_unique<MemoryStream>(std::move(bytes));
}

}  // namespace kelva
