#include "fs/SystemVolumes.h"

#include <QDir>
#include <array>
#include <windows.h>

// Drives are drive letters; a drive's root is "C:/" in Qt's form, which Win32 takes as well.
namespace {

QString rootOfLetter(QChar letter) {
    return QString(letter.toUpper()) + QStringLiteral(":/");
}

std::wstring nativeRoot(const QString& root) {
    return QDir::toNativeSeparators(root.left(2) + QLatin1Char('/')).toStdWString();
}

// A network drive whose server is away can keep a question about its volume waiting for half a
// minute, and the drive lists ask on the window's thread: it is listed by its letter alone.
QString labelOf(const QString& root) {
    std::array<wchar_t, MAX_PATH + 1> label{};
    if (GetDriveTypeW(nativeRoot(root).c_str()) == DRIVE_REMOTE ||
        !GetVolumeInformationW(nativeRoot(root).c_str(), label.data(), MAX_PATH, nullptr, nullptr,
                               nullptr, nullptr, 0))
        return {};
    return QString::fromWCharArray(label.data());
}

bool sameDrive(const QString& path, const QString& root) {
    return path.size() >= 2 && path[1] == QLatin1Char(':') &&
           path[0].toUpper() == root[0].toUpper();
}

} // namespace

std::vector<Volume> SystemVolumeProvider::volumes() const {
    std::vector<Volume> result;
    const DWORD letters = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (letters & (1U << i)) {
            const QString root = rootOfLetter(QChar(u'A' + i));
            result.push_back({root, labelOf(root)});
        }
    }
    return result;
}

QString SystemVolumeProvider::homeVolumeRoot() const {
    return rootOfLetter(QDir::homePath()[0]);
}

// A drive without its medium (an empty card reader) answers no volume information.
bool SystemVolumeProvider::isReadable(const QString& root) const {
    return GetVolumeInformationW(nativeRoot(root).c_str(), nullptr, 0, nullptr, nullptr, nullptr,
                                 nullptr, 0) &&
           QDir(root).isReadable();
}

// Windows keeps a current folder per drive; "C:" alone names it.
QString SystemVolumeProvider::currentFolder(const QString& root) const {
    std::array<wchar_t, 32768> full{};
    const std::wstring drive = root.left(2).toStdWString();
    const DWORD length = GetFullPathNameW(drive.c_str(), full.size(), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return root;
    const QString current = QDir::cleanPath(QDir::fromNativeSeparators(
        QString::fromWCharArray(full.data(), static_cast<qsizetype>(length))));
    return sameDrive(current, root) && QDir(current).exists() ? current : root;
}

// A card reader keeps its letter when its card is taken out: without its medium the drive is
// not there.
FolderPlace SystemVolumeProvider::placeOf(const QString& folder, const QString& root) const {
    if (root.isEmpty() || !(GetLogicalDrives() & (1U << (root[0].toUpper().unicode() - u'A'))) ||
        !isReadable(root))
        return FolderPlace::NotMounted;
    return sameDrive(folder, root) ? FolderPlace::OnVolume : FolderPlace::OtherVolume;
}

// Written as Windows writes it ("1A2B-3C4D"), as a FAT or exFAT card's UUID reads on Linux.
QString SystemVolumeProvider::identityOf(const QString& root) const {
    DWORD serial = 0;
    // As for labels: a network drive whose server is away would keep the window waiting.
    if (root.isEmpty() || GetDriveTypeW(nativeRoot(root).c_str()) == DRIVE_REMOTE ||
        !GetVolumeInformationW(nativeRoot(root).c_str(), nullptr, 0, &serial, nullptr, nullptr,
                               nullptr, 0))
        return {};
    return QStringLiteral("%1-%2")
        .arg(serial >> 16, 4, 16, QLatin1Char('0'))
        .arg(serial & 0xffff, 4, 16, QLatin1Char('0'))
        .toUpper();
}
