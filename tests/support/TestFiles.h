// Helpers for tests that need files: a temporary folder removed afterwards, whole-file
// reading and writing, and novel files built from the data classes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "data/NovelCounters.h"
#include "data/NovelData.h"

namespace kelva::test {

// A fresh folder under the system's temporary directory; removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Restores the process's current directory when it goes out of scope.
class CurrentDirectoryGuard {
public:
    CurrentDirectoryGuard() : m_saved(std::filesystem::current_path()) {}
    ~CurrentDirectoryGuard() { std::filesystem::current_path(m_saved); }
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

private:
    std::filesystem::path m_saved;
};

// A shell command's exit status (-1 when it didn't exit normally) and what it printed
// on its standard output; add "2>&1" to the command to gather its errors too.
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult RunCommand(const std::string& command);
// The built authoring tool with these arguments (a shell fragment).
CommandResult RunKnovel(const std::string& arguments);

std::vector<uint8_t> ReadBytes(const std::string& path);
// The pixels of a PNG file as 0x00BBGGRR colour values; empty when unreadable.
std::vector<uint32_t> PngPixels(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// A small story: a header, one counter "A" and one end item "start" with a line of text.
struct NovelParts {
    NovelParts();
    CNovelFileHeader Header;
    CNovelCounters Counters;
    CNovelItems Items;
};

// The novel file's bytes, as the authoring tool writes them.
std::vector<uint8_t> NovelFileBytes(const NovelParts& parts);

}  // namespace kelva::test
