#include "rotation/HeldLibrary.h"

#include "fs/FileNameCodec.h"
#include "fs/StateFolder.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

QString recordFolder() {
    return userStateFolder() + QStringLiteral("/quavex");
}

QString recordFile() {
    return recordFolder() + QStringLiteral("/held");
}

QString earlierVersionsRecord(const QString& holdingFolder) {
    return holdingFolder + QStringLiteral(".library");
}

// The holding folder, a zero byte, the music folder: paths hold no zero byte, and their bytes
// need not be text.
std::optional<QString> ownRecordFor(const QString& holdingFolder) {
    QFile record(recordFile());
    if (!record.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = record.readAll();
    const qsizetype zero = bytes.indexOf('\0');
    if (zero < 0 || bytes.left(zero) != encodeFileName(holdingFolder))
        return std::nullopt;
    return decodeFileName(QByteArrayView(bytes).sliced(zero + 1));
}

} // namespace

std::optional<QString> heldFilesLibrary(const QString& holdingFolder) {
    if (std::optional<QString> own = ownRecordFor(holdingFolder))
        return own;
    QFile earlier(earlierVersionsRecord(holdingFolder));
    if (!earlier.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decodeFileName(earlier.readAll());
}

bool recordHeldFilesLibrary(const QString& holdingFolder, const QString& musicFolder) {
    if (!QDir().mkpath(recordFolder()))
        return false;
    QSaveFile record(recordFile());
    return record.open(QIODevice::WriteOnly) &&
           record.write(encodeFileName(holdingFolder) + '\0' + encodeFileName(musicFolder)) >= 0 &&
           record.commit();
}

void forgetHeldFilesLibrary(const QString& holdingFolder) {
    if (ownRecordFor(holdingFolder))
        QFile::remove(recordFile());
    QFile::remove(earlierVersionsRecord(holdingFolder));
}
