#include "frame/WriteFileAtomic.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

WriteFileResult Failed(WriteFileResult result, int error, std::string* why)
{
    if (why) {
        *why = std::string(ToString(result)) + ": " + std::strerror(error);
    }
    return result;
}

}  // namespace

WriteFileResult WriteFileAtomic(const std::string& hostPath, const void* data, size_t size, std::string* why)
{
    std::string temp = hostPath + ".tmp" + std::to_string(getpid());
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return Failed(kWriteCannotCreate, errno, why);
    }
    const auto* p = static_cast<const char*>(data);
    size_t left = size;
    bool ok = true;
    int error = 0;
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = false;
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (ok && fsync(fd) != 0) {
        ok = false;
        error = errno;
    }
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        return Failed(kWriteFailed, error, why);
    }
    if (rename(temp.c_str(), hostPath.c_str()) != 0) {
        error = errno;
        unlink(temp.c_str());
        return Failed(kWriteCannotRename, error, why);
    }
    // The rename itself lives in the folder: flush it too, so that after a
    // power loss the name points at the new file (best effort; the data is
    // already safe either way).
    size_t slash = hostPath.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : hostPath.substr(0, slash));
    int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return kWriteOk;
}
