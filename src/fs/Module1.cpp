#include "fs/Module1.h"

#include "fs/AppError.h"
#include "fs/PathText.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

QString pathSource() {
    return QStringLiteral("Path splitting:");
}

QString freeSpaceSource() {
    return QStringLiteral("Free space:");
}

// Positions count from 1, 0 when the text is not there.
qsizetype lastPosition(const QString& text, const QString& what) {
    return text.lastIndexOf(what) + 1;
}

} // namespace

void ParsePath(const QString& path, QString& folder, QString& fileName, QString* extension,
               const QString& separator) {
    if (separator.size() != 1)
        throw AppError(
            ErrorNumber::InvalidArgument, pathSource(),
            QStringLiteral("The separator must be a single character, not \"%1\".").arg(separator));
    QString foundExtension;
    if (extension) {
        const qsizetype dot = lastPosition(path, QStringLiteral("."));
        const qsizetype limit =
            separator == QLatin1String("/") ? lastPosition(path, QStringLiteral("/")) : 0;
        if (dot > 0 && dot > limit)
            foundExtension = path.mid(dot);
        *extension = foundExtension;
    }
    const qsizetype separatorAt = lastPosition(path, separator);
    if (separatorAt == 0)
        return;
    const qsizetype nameLength = path.size() - separatorAt - foundExtension.size();
    // A "." in a folder name and none in the file name makes the extension run across the
    // separator; there is no file name to give then. The same holds for a "." separator.
    if (nameLength < 0 || (nameLength == 0 && !foundExtension.isEmpty()))
        throw AppError(ErrorNumber::InvalidArgument, pathSource(),
                       QStringLiteral("The path \"%1\" cannot be split: its last \".\" stands "
                                      "before its last \"%2\".")
                           .arg(path, separator));
    QString name = path.mid(separatorAt, nameLength);
    if (!foundExtension.isEmpty())
        name.chop(1);
    fileName = name;
    folder = path.left(separatorAt - 1);
}

qint64 DiskFreeKB(const QString& root) {
    return DiskFreeKB(root, systemFreeSpace);
}

qint64 DiskFreeKB(const QString& root, const FreeSpaceQuery& query) {
    const FreeSpace space = query(root);
    std::uint64_t bytesPerCluster = 0;
    if (__builtin_mul_overflow(space.bytesPerSector, space.sectorsPerCluster, &bytesPerCluster) ||
        bytesPerCluster > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
        throw AppError(
            ErrorNumber::Overflow, freeSpaceSource(),
            QStringLiteral("The cluster size of \"%1\" is too large.").arg(shownPath(root)));
    const double kilobytes =
        static_cast<double>(space.freeClusters) / 1024.0 * static_cast<double>(bytesPerCluster);
    const int previousRounding = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(kilobytes);
    std::fesetround(previousRounding);
    // Free space of 2^63 kilobytes is beyond any real volume; the check keeps the cast defined.
    if (!(rounded < 9.2e18))
        throw AppError(
            ErrorNumber::Overflow, freeSpaceSource(),
            QStringLiteral("The free space of \"%1\" is too large.").arg(shownPath(root)));
    return static_cast<qint64>(rounded);
}
