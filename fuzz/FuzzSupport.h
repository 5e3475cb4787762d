// Shared pieces of the fuzz targets.
#pragma once

#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace kelva::fuzz {

inline std::vector<uint8_t> Bytes(const uint8_t* data, size_t size)
{
    return std::vector<uint8_t>(data, data + size);
}

inline std::string_view Text(const uint8_t* data, size_t size)
{
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// A property of the code under test that failed: libFuzzer records the input as a crash.
[[noreturn]] inline void Broken(const char* what)
{
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

// Readers that take a path get the input through one file of this process, rewritten for
// every input. `suffix` is the file's extension, which some readers look at.
inline std::string WriteInputFile(const uint8_t* data, size_t size, const char* suffix)
{
    const char* base = std::getenv("TMPDIR");
    const std::string path =
        std::string(base && *base ? base : "/tmp") + "/kelva-fuzz-" + std::to_string(getpid()) + suffix;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path;
}

}  // namespace kelva::fuzz
