#include "data/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace kelva {

namespace {

FileError SystemError(int code)
{
    return FileError{code, std::strerror(code)};
}

// An open descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0) close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }
    // Closes now, reporting what close says (a delayed write error shows here).
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return close(fd) == 0;
    }

private:
    int m_fd;
};

// Takes the folder's writer lock, waiting a bounded time. A file system without locks
// counts as locked: there is nothing to take turns with.
bool LockFolder(int folder, FileError& error)
{
    constexpr int kPauseMs = 20;
    const timespec pause{0, kPauseMs * 1'000'000L};
    for (int waited = 0; flock(folder, LOCK_EX | LOCK_NB) != 0; waited += kPauseMs) {
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            error = SystemError(errno);
            return false;
        }
        if (waited >= kFolderLockWaitMs) {
            error = FileError{EWOULDBLOCK, "another program is writing in this folder"};
            return false;
        }
        nanosleep(&pause, nullptr);
    }
    return true;
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

FileVersion VersionOfStat(const struct stat& status)
{
    return FileVersion{true, status.st_dev, status.st_ino,
                       int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec,
                       status.st_size};
}

}  // namespace

FileVersion VersionOf(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return {};
    return VersionOfStat(status);
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, FileError& error,
                         FileVersion* version)
{
    std::filesystem::path folderPath = std::filesystem::path(path).parent_path();
    if (folderPath.empty()) folderPath = ".";
    const Descriptor folder(open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() < 0) {
        error = SystemError(errno);
        return false;
    }
    // The lock is released when the folder descriptor closes, after the rename is on disk.
    if (!LockFolder(folder.Get(), error)) return false;
    if (version && VersionOf(path) != *version) {
        error = FileError{ESTALE, "the file was replaced by another program"};
        return false;
    }

    // One fixed short name: only the lock holder writes it, so a writer killed halfway
    // leaves one stale file that the next writer simply overwrites, and a target name of
    // the longest length the file system allows still has a temporary sibling.
    const std::string temporary = (folderPath / ".kelva-writing.tmp").string();
    Descriptor file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (file.Get() < 0) {
        error = SystemError(errno);
        return false;
    }
    struct stat written {};
    bool ok = WriteAll(file.Get(), bytes) && fsync(file.Get()) == 0 && fstat(file.Get(), &written) == 0;
    if (!ok) error = SystemError(errno);
    if (!file.Close() && ok) {
        error = SystemError(errno);
        ok = false;
    }
    if (ok && rename(temporary.c_str(), path.c_str()) != 0) {
        error = SystemError(errno);
        ok = false;
    }
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself lives in the folder; without this a power cut could undo it.
    if (fsync(folder.Get()) != 0 && errno != EINVAL) {
        error = SystemError(errno);
        return false;
    }
    if (version) *version = VersionOfStat(written);
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error)
{
    FileError failure;
    const bool ok = WriteFileAtomically(path, bytes, failure);
    if (!ok) error = failure.Text;
    return ok;
}

}  // namespace kelva
