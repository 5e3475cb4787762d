#include "Subprocess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace kelva::knovel {

TemporaryFile::TemporaryFile(const std::string& prefix)
{
    std::error_code error;
    m_path = (std::filesystem::temp_directory_path(error) / (prefix + "-XXXXXX")).string();
    m_fd = mkstemp(m_path.data());
}

TemporaryFile::~TemporaryFile()
{
    if (m_fd < 0) return;
    close(m_fd);
    unlink(m_path.c_str());
}

bool TemporaryFile::Write(const std::vector<uint8_t>& bytes)
{
    if (m_fd < 0 || ftruncate(m_fd, 0) != 0 || lseek(m_fd, 0, SEEK_SET) != 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(m_fd, bytes.data() + done, bytes.size() - done);
        if (written <= 0) return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

bool RunProgram(const std::vector<std::string>& args, const std::string& inputPath, int outputFd,
                std::string& error)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!inputPath.empty()) posix_spawn_file_actions_addopen(&actions, 0, inputPath.c_str(), O_RDONLY, 0);
    if (outputFd >= 0) posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        error = "cannot run " + args[0] + ": " + std::strerror(spawned);
        return false;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = args[0] + " failed";
        return false;
    }
    return true;
}

}  // namespace kelva::knovel
