#pragma once
// CCriticalSection: a re-entrant lock; the thread that holds it may enter it
// again and must leave it as often.
#include <mutex>

class CCriticalSection {
public:
    CCriticalSection() = default;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    // Blocks until the calling thread holds the section.
    void Enter() { mutex_.lock(); }
    // Releases one Enter of the calling thread.
    void Leave() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

// Holds a critical section for a scope.
class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CCriticalSection& section) : section_(section) { section_.Enter(); }
    ~CCriticalSectionLock() { section_.Leave(); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CCriticalSection& section_;
};
