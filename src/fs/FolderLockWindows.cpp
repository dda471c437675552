#include "fs/FolderLock.h"

#include <QDir>
#include <windows.h>

// Windows locks no folder handle the way flock does, and a folder opened without sharing would
// stop the run's own listing of it. The lock is a named mutex in the machine-wide namespace,
// named for the folder's identity (its volume's serial number and its file index), so every
// spelling of the folder's path, through any drive letter, takes the same lock. The system
// drops it with the last handle, when the process ends however it ends.
struct FolderLock::Hold {
    explicit Hold(HANDLE mutex) : mutex(mutex) {}
    ~Hold() { CloseHandle(mutex); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    const HANDLE mutex;
};

namespace {

// Empty when the folder cannot be opened.
std::wstring lockNameOf(const QString& folder) {
    const HANDLE handle = CreateFileW(QDir::toNativeSeparators(folder).toStdWString().c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known)
        return {};
    return QStringLiteral("Global\\quavex-folder-%1-%2%3")
        .arg(info.dwVolumeSerialNumber, 8, 16, QLatin1Char('0'))
        .arg(info.nFileIndexHigh, 8, 16, QLatin1Char('0'))
        .arg(info.nFileIndexLow, 8, 16, QLatin1Char('0'))
        .toStdWString();
}

} // namespace

FolderLock::FolderLock(const QString& folder) : m_folder(folder) {}

FolderLock::~FolderLock() = default;

bool FolderLock::take() {
    if (m_hold)
        return true;
    const std::wstring name = lockNameOf(m_folder);
    if (name.empty())
        return true;
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    // Another user's mutex is there but not theirs to open: held all the same.
    if (!mutex)
        return GetLastError() != ERROR_ACCESS_DENIED;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_hold = std::make_unique<Hold>(mutex);
    return true;
}
