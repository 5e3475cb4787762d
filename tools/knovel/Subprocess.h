// Other programs the authoring tool hands work to (Graphviz, strip), and the temporary
// files it passes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelva::knovel {

// A new empty file in the system's temporary folder, removed when this goes.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& prefix);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }
    int Descriptor() const { return m_fd; }
    // Replaces the file's contents; false when they could not all be written.
    bool Write(const std::vector<uint8_t>& bytes);

private:
    std::string m_path;
    int m_fd = -1;
};

// Runs `args[0]`, found on the PATH, with `args` and waits for it. Its standard input is
// the file `inputPath` (or the tool's own when empty), its standard output the open file
// `outputFd` (or the tool's own when -1). True when it exited with status 0; otherwise
// false with a reason (UTF-8) in `error`.
bool RunProgram(const std::vector<std::string>& args, const std::string& inputPath, int outputFd,
                std::string& error);

}  // namespace kelva::knovel
