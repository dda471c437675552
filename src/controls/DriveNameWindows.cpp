#include "controls/DriveText.h"

#include <QDir>

namespace {

QString rootKey(const QString& path) {
    return withoutTrailingSlash(QDir::fromNativeSeparators(path)).toUpper();
}

std::optional<QString> driveWithRoot(const std::vector<Volume>& drives, const QString& text) {
    for (const Volume& volume : drives) {
        if (rootKey(volume.root) == rootKey(text))
            return volume.root;
    }
    return std::nullopt;
}

std::optional<QString> driveWithLetter(const std::vector<Volume>& drives, const QString& text) {
    if (text.isEmpty() || !text[0].isLetter() || text[0].unicode() > 0x7f)
        return std::nullopt;
    for (const Volume& volume : drives) {
        if (volume.root[0].toUpper() == text[0].toUpper())
            return volume.root;
    }
    return std::nullopt;
}

} // namespace

// The first letter decides, as a drive list's own texts ("e: [PLAYER]") and paths ("E:\Music")
// both begin with it.
std::optional<QString> driveNamedBy(const VolumeProvider& volumes, const QString& text) {
    const std::vector<Volume> drives = volumes.volumes();
    if (std::optional<QString> root = driveWithRoot(drives, text))
        return root;
    return driveWithLetter(drives, text);
}

// "E:\Music" is a folder of drive E, not drive E.
std::optional<QString> driveAloneNamedBy(const VolumeProvider& volumes, const QString& text) {
    const std::vector<Volume> drives = volumes.volumes();
    if (std::optional<QString> root = driveWithRoot(drives, text))
        return root;
    return isDriveLetterText(text) ? driveWithLetter(drives, text) : std::nullopt;
}

QString rootOfAbsentDrive(const VolumeProvider& /*volumes*/, const QString& text) {
    if (text.isEmpty() || !text[0].isLetter() || text[0].unicode() > 0x7f)
        return {};
    return text.left(1).toUpper() + QStringLiteral(":/");
}

QString driveRootText(const QString& root) {
    return root.left(1).toLower() + QDir::toNativeSeparators(root.mid(1));
}

QString withDriveSpelling(const QString& path) {
    if (path.size() < 2 || path[1] != QLatin1Char(':'))
        return path;
    return path.left(1).toUpper() + path.mid(1);
}
