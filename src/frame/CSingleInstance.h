#pragma once
// CSingleInstance: keeps a second copy of the game from running. The
// first copy holds the guard for its whole run; a later copy finds it taken,
// brings the first copy's window to the front and reports that it is not
// the first.
#include <memory>
#include <string>

namespace platform {
class SingleInstanceGuard;
}

class CSingleInstance {
public:
    // Takes the guard named after `name` (empty: the game folder, the start
    // directory's resolved path).
    explicit CSingleInstance(const std::string& name = {});
    // Releases the guard.
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when this copy took the guard, false when another copy holds it.
    bool IsFirstInstance() const;

private:
    std::unique_ptr<platform::SingleInstanceGuard> guard_;
};
