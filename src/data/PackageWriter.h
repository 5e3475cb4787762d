// Builds package archives (the authoring tool and the tests; the player only reads them).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/Stream.h"

namespace kelva {

// A package that can't be built: a name or the entry count over the format's limits.
// The message is CP932 text for the author.
class PackageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Collects named entries and writes them as one package: magic, count, directory (names
// zero-padded to 255 bytes), then the entry data back to back in the order added.
class PackageWriter {
public:
    // Throws PackageError for a name over 255 bytes, a 32768th entry, or data that would
    // end beyond the 2 GiB that the directory's 32-bit offsets can address.
    void Add(std::string name, std::vector<uint8_t> bytes);

    // Writes the whole package at the target's current position. Write failures throw
    // FormatError from the stream.
    void WriteTo(Stream& target) const;

    int Count() const { return static_cast<int>(m_entries.size()); }

private:
    struct Entry {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Entry> m_entries;
    int64_t m_dataSize = 0;
};

}  // namespace kelva
