#pragma once

#include "fs/SystemCalls.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>

// Faults a real volume cannot be made to show on demand, made by the system-call seam: the
// chosen call fails the nth time it is made, and with a device that vanishes, every call after it.
// A move flushes one file while it copies the next, so the calls come from two threads.
// Create is an open that creates a file.
enum class Call { Create, Write, Fsync, RenameNoReplace, Link, Unlink };

class FaultyCalls : public SystemCalls {
public:
    void failAt(Call call, int nth, int error) { m_faults[call] = {nth, error}; }
    void vanishAfterFault() { m_vanish = true; }
    // Every such call fails with the error, as where a file system lacks the feature.
    void refuse(Call call, int error) { m_refusals[call] = error; }
    void reportNoRoom() { m_noRoom = true; }
    // Writes at most this many bytes per call, and every third call is interrupted.
    void chopWrites(size_t most) { m_chop = most; }
    int choppedWriteCalls() const { return m_writeCalls; }

    ssize_t write(int fd, const void* buffer, size_t size) override {
        if (shouldFail(Call::Write))
            return -1;
        if (m_chop > 0) {
            if (++m_writeCalls % 3 == 0) {
                errno = EINTR;
                return -1;
            }
            size = std::min(size, m_chop);
        }
        return SystemCalls::write(fd, buffer, size);
    }
    int fsync(int fd) override { return shouldFail(Call::Fsync) ? -1 : SystemCalls::fsync(fd); }
    int renameNoReplace(const char* from, const char* to) override {
        return shouldFail(Call::RenameNoReplace) ? -1 : SystemCalls::renameNoReplace(from, to);
    }
    int link(const char* from, const char* to) override {
        return shouldFail(Call::Link) ? -1 : SystemCalls::link(from, to);
    }
    int unlink(const char* path) override {
        return shouldFail(Call::Unlink) ? -1 : SystemCalls::unlink(path);
    }
    int open(const char* path, int flags, mode_t mode) override {
        if ((flags & O_CREAT) != 0 && shouldFail(Call::Create))
            return -1;
        return gone() ? -1 : SystemCalls::open(path, flags, mode);
    }
    int close(int fd) override {
        const int result = SystemCalls::close(fd);
        return gone() ? -1 : result;
    }
    int statvfs(const char* path, struct statvfs* status) override {
        if (gone())
            return -1;
        const int result = SystemCalls::statvfs(path, status);
        if (m_noRoom)
            status->f_bavail = 0;
        return result;
    }
    int rename(const char* from, const char* to) override {
        return gone() ? -1 : SystemCalls::rename(from, to);
    }

private:
    bool gone() const {
        if (m_gone)
            errno = m_goneError;
        return m_gone;
    }

    bool shouldFail(Call call) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (gone())
            return true;
        if (const auto refusal = m_refusals.find(call); refusal != m_refusals.end()) {
            errno = refusal->second;
            return true;
        }
        const auto fault = m_faults.find(call);
        if (fault == m_faults.end() || ++m_counts[call] != fault->second.first)
            return false;
        errno = fault->second.second;
        if (m_vanish) {
            m_goneError = errno;
            m_gone = true;
        }
        return true;
    }

    std::mutex m_mutex;
    std::map<Call, std::pair<int, int>> m_faults;
    std::map<Call, int> m_counts;
    std::map<Call, int> m_refusals;
    bool m_vanish = false;
    // Read by every call, from either thread.
    std::atomic<bool> m_gone{false};
    std::atomic<int> m_goneError{0};
    bool m_noRoom = false;
    size_t m_chop = 0;
    int m_writeCalls = 0;
};
