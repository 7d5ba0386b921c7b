#pragma once
// A slim reader/writer lock used exclusively. Under Wine a contended std::mutex of this
// toolchain (winpthreads) costs a round trip to the wine server; an SRW lock does not.

#include <windows.h>

#include <utility>

class SlimLock {
public:
    SlimLock() = default;
    SlimLock(const SlimLock&) = delete;
    SlimLock& operator=(const SlimLock&) = delete;

    class Guard {
    public:
        explicit Guard(SlimLock& lock) noexcept : lock_(&lock.lock_) { AcquireSRWLockExclusive(lock_); }
        ~Guard() { Unlock(); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
        void Unlock() noexcept {
            if (lock_) ReleaseSRWLockExclusive(std::exchange(lock_, nullptr));
        }

    private:
        SRWLOCK* lock_;
    };

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};
