// The single-instance guard on flock and a Unix socket.
#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace platform {

namespace {

std::mutex gGuardsLock;
std::vector<SingleInstanceGuard*> gGuards;

std::string ProgramPath()
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0) {
        return "lantern";
    }
    return std::string(buffer, static_cast<size_t>(n));
}

// The files are named after a hash of the key: a path can be longer than a
// socket address may be, and it holds characters a file name cannot.
std::string KeyHash(const std::string& key)
{
    uint64_t hash = 14695981039346656037ull;   // FNV-1a, 64 bits
    for (unsigned char c : key) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// A folder only this user can write to, so that nobody else can hold our
// lock or plant a link where our files go: $XDG_RUNTIME_DIR (made so by the
// session), else "lantern-<uid>" in $TMPDIR or /tmp, made 0700 and checked to
// be a real folder of ours. Empty when there is no such folder.
std::string PrivateFolder(const std::string& path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) {
        return {};
    }
    if ((st.st_mode & 077) != 0 && chmod(path.c_str(), 0700) != 0) {
        return {};
    }
    return path;
}

std::string RuntimeDir()
{
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (dir && *dir) {
        return PrivateFolder(dir);
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string own = std::string(tmp && *tmp ? tmp : "/tmp") + "/lantern-" + std::to_string(getuid());
    mkdir(own.c_str(), 0700);  // fails when it exists: checked next either way
    return PrivateFolder(own);
}

bool MakeAddress(const std::string& path, sockaddr_un* address)
{
    std::memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof(address->sun_path)) {
        return false;
    }
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

void Poke(const std::string& socketPath)
{
    sockaddr_un address;
    if (!MakeAddress(socketPath, &address)) {
        return;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return;
    }
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
        // MSG_NOSIGNAL: a first copy that closes the socket at that moment
        // must not kill the second copy with SIGPIPE before it saves its data.
        const char poke = 'r';
        (void)!send(fd, &poke, 1, MSG_NOSIGNAL);
    }
    close(fd);
}

}  // namespace

struct SingleInstanceGuard::Impl {
    std::string lockPath;
    std::string socketPath;
    int lockFd = -1;
    int listenFd = -1;
    bool first = true;
};

SingleInstanceGuard::SingleInstanceGuard(const std::string& key) : impl_(std::make_unique<Impl>())
{
    const std::string folder = RuntimeDir();
    if (folder.empty()) {
        std::fprintf(stderr, "lantern: no private folder for the lock (XDG_RUNTIME_DIR, or /tmp/lantern-%u not ours);"
                             " not guarding against a second copy\n", static_cast<unsigned>(getuid()));
        return;
    }
    const std::string base = folder + "/lantern-" + KeyHash(key.empty() ? ProgramPath() : key);
    impl_->lockPath = base + ".lock";
    impl_->socketPath = base + ".sock";
    impl_->lockFd = open(impl_->lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (impl_->lockFd < 0) {
        std::fprintf(stderr, "lantern: cannot make the lock file %s; not guarding against a second copy\n",
                     impl_->lockPath.c_str());
        return;
    }
    if (flock(impl_->lockFd, LOCK_EX | LOCK_NB) != 0) {
        impl_->first = false;
        close(impl_->lockFd);
        impl_->lockFd = -1;
        Poke(impl_->socketPath);
        return;
    }
    // We hold the lock, so a socket file left there belongs to a copy that died.
    unlink(impl_->socketPath.c_str());
    sockaddr_un address;
    if (MakeAddress(impl_->socketPath, &address)) {
        impl_->listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (impl_->listenFd >= 0 &&
            (bind(impl_->listenFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
             listen(impl_->listenFd, 4) != 0)) {
            close(impl_->listenFd);
            impl_->listenFd = -1;
        }
    }
    std::lock_guard lock(gGuardsLock);
    gGuards.push_back(this);
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    {
        std::lock_guard lock(gGuardsLock);
        std::erase(gGuards, this);
    }
    if (impl_->listenFd >= 0) {
        close(impl_->listenFd);
        unlink(impl_->socketPath.c_str());
    }
    if (impl_->lockFd >= 0) {
        // The lock file stays: removing it would let a third copy lock a new
        // file while a second still holds the old one open.
        close(impl_->lockFd);
    }
}

bool SingleInstanceGuard::IsFirst() const { return impl_->first; }
const std::string& SingleInstanceGuard::LockPath() const { return impl_->lockPath; }

int SingleInstanceGuard::TakePokes()
{
    if (impl_->listenFd < 0) {
        return 0;
    }
    // The pump asks every frame and almost never finds a knock: poll first,
    // since a refused accept still makes and drops a socket in the kernel.
    pollfd knock{impl_->listenFd, POLLIN, 0};
    if (poll(&knock, 1, 0) <= 0 || (knock.revents & POLLIN) == 0) {
        return 0;
    }
    int count = 0;
    for (;;) {
        const int fd = accept4(impl_->listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            break;
        }
        close(fd);
        ++count;
    }
    return count;
}

namespace sdl {

int TakeSingleInstancePokes()
{
    std::lock_guard lock(gGuardsLock);
    int count = 0;
    for (SingleInstanceGuard* guard : gGuards) {
        count += guard->TakePokes();
    }
    return count;
}

}  // namespace sdl

}  // namespace platform
