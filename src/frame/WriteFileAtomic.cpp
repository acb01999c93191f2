#include "frame/WriteFileAtomic.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* ToString(WriteFileResult result)
{
    switch (result) {
    case kWriteOk: return "ok";
    case kWriteCannotCreate: return "cannot create the temporary file";
    case kWriteFailed: return "writing failed";
    case kWriteCannotRename: return "cannot rename the temporary file into place";
    }
    return "unknown";
}

namespace {

constexpr char kTempMark[] = ".tmp";

WriteFileResult Failed(WriteFileResult result, int error, std::string* why)
{
    if (why) {
        *why = std::string(ToString(result)) + ": " + std::strerror(error);
    }
    return result;
}

std::string FolderOf(const std::string& hostPath)
{
    size_t slash = hostPath.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : hostPath.substr(0, slash));
}

// The writer's process id when `name` is "<target>.tmp<pid>" (any target
// when `target` is empty), else 0.
pid_t TempOwner(const std::string& name, const std::string& target)
{
    const size_t mark = target.empty() ? name.rfind(kTempMark) : target.size();
    if (mark == std::string::npos || mark == 0 || name.size() <= mark + 4 ||
        name.compare(0, target.size(), target) != 0 || name.compare(mark, 4, kTempMark) != 0) {
        return 0;
    }
    const char* digits = name.c_str() + mark + 4;
    char* end = nullptr;
    const long pid = std::strtol(digits, &end, 10);
    return (*digits >= '0' && *digits <= '9' && *end == '\0' && pid > 0) ? static_cast<pid_t>(pid) : 0;
}

bool IsDeadProcess(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

void RemoveDeadTemporaries(const std::string& folder, const std::string& target)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        return;
    }
    while (dirent* entry = readdir(dir)) {
        const pid_t owner = TempOwner(entry->d_name, target);
        if (owner != 0 && IsDeadProcess(owner)) {
            unlinkat(dirfd(dir), entry->d_name, 0);
        }
    }
    closedir(dir);
}

bool WriteAll(int fd, const void* data, size_t size, int* error)
{
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            *error = n < 0 ? errno : ENOSPC;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    if (fsync(fd) != 0) {
        *error = errno;
        return false;
    }
    return true;
}

// The bytes go into a file without a name, so a writer killed while writing
// leaves nothing behind; only once they are on disk does the file get the
// temporary name, for the moment it takes to rename it over the target.
// Folders whose file system has no unnamed files take a named one instead.
int OpenUnnamed(const std::string& folder)
{
    return open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
}

}  // namespace

void RemoveStaleTemporaries(const std::string& hostPath)
{
    const size_t slash = hostPath.rfind('/');
    RemoveDeadTemporaries(FolderOf(hostPath), slash == std::string::npos ? hostPath : hostPath.substr(slash + 1));
}

void RemoveStaleTemporariesIn(const std::string& folder)
{
    RemoveDeadTemporaries(folder, "");
}

WriteFileResult WriteFileAtomic(const std::string& hostPath, const void* data, size_t size, std::string* why)
{
    const std::string folder = FolderOf(hostPath);
    const std::string temp = hostPath + kTempMark + std::to_string(getpid());
    int error = 0;
    int fd = OpenUnnamed(folder);
    const bool unnamed = fd >= 0;
    if (!unnamed) {
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            return Failed(kWriteCannotCreate, errno, why);
        }
    }
    bool ok = WriteAll(fd, data, size, &error);
    if (ok && unnamed) {
        // linkat through /proc needs no privilege (AT_EMPTY_PATH would).
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        unlink(temp.c_str());  // a leftover of an earlier process with our number
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            ok = false;
            error = errno;
        }
    }
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        if (!unnamed) {
            unlink(temp.c_str());
        }
        return Failed(kWriteFailed, error, why);
    }
    if (rename(temp.c_str(), hostPath.c_str()) != 0) {
        error = errno;
        unlink(temp.c_str());
        return Failed(kWriteCannotRename, error, why);
    }
    // Leftovers of writers that were killed between naming and renaming.
    RemoveStaleTemporaries(hostPath);
    // The rename itself lives in the folder: flush it too, so that after a
    // power loss the name points at the new file (best effort; the data is
    // already safe either way).
    int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return kWriteOk;
}
