#pragma once
// The single-instance guard: an exclusive flock on a lock file in a folder
// only this user can write to ($XDG_RUNTIME_DIR, else "lantern-<uid>" in
// $TMPDIR or /tmp, made 0700 and refused when it is a link or not ours),
// named after a key, by default the program file's path. The first copy also listens on a Unix socket beside the lock;
// a later copy connects to it once ("pokes" it), and the first copy's message
// pump answers a poke by raising its main window.
#include <memory>
#include <string>

namespace platform {

class SingleInstanceGuard {
public:
    // Takes the lock for `key` (empty: the program file's path). A copy that
    // finds the lock taken pokes the holder and reports IsFirst() false.
    explicit SingleInstanceGuard(const std::string& key = {});
    // Releases the lock and removes the socket (first copy only).
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // True when this copy took the lock; also true when no lock file could be
    // made at all (no private folder, or a link where the lock should be) (a guard that cannot work must not keep the game from starting).
    bool IsFirst() const;
    // Accepts waiting pokes without blocking and returns how many came; the
    // message pump calls it and raises the window for each.
    int TakePokes();
    // The lock file's path (for diagnostics and tests).
    const std::string& LockPath() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
