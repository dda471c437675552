#include "fs/VolumeTraits.h"
#include "fs/Win32Files.h"

#include <QDir>
#include <string>
#include <windows.h>

// Every Windows volume ignores letter case and is held to the names a FAT player takes, so that
// what lands on a player from any folder keeps the same rules; only FAT itself limits a file's
// size. A volume that cannot be asked gets FAT's limit too. A group's copies are flushed one by
// one, Windows flushing a whole volume only for an administrator, and again once published.
VolumeTraits volumeTraitsOf(const QString& folder) {
    wchar_t volumePath[MAX_PATH + 1] = {};
    wchar_t fileSystem[MAX_PATH + 1] = {};
    const std::wstring path = extendedLengthPath(folder).toStdWString();
    if (!GetVolumePathNameW(path.c_str(), volumePath, MAX_PATH) ||
        !GetVolumeInformationW(volumePath, nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                               MAX_PATH))
        return {true, true, FatLargestFile, GroupFlush::EachFile, true};
    const QString type = QString::fromWCharArray(fileSystem);
    const bool fat = type.startsWith(QLatin1String("FAT"), Qt::CaseInsensitive);
    return {true, true, fat ? FatLargestFile : 0, GroupFlush::EachFile, true};
}
