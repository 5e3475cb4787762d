#include "data/AtomicFile.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace kelva {

namespace {

// A short name beside `path`: a name of the longest length the file system allows must
// still have a temporary sibling, so the temporary name doesn't grow from it.
std::string TemporaryNameBeside(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const std::string name = ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    return (folder / name).string();
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error)
{
    const std::string temporary = TemporaryNameBeside(path);
    std::FILE* file = std::fopen(temporary.c_str(), "wbx");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = ok && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    if (!ok) error = std::strerror(errno);
    ok = std::fclose(file) == 0 && ok;
    std::error_code renameError;
    if (ok) std::filesystem::rename(temporary, path, renameError);
    if (ok && renameError) {
        error = renameError.message();
        ok = false;
    }
    if (!ok) std::remove(temporary.c_str());
    return ok;
}

}  // namespace kelva
