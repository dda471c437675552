#include "rotation/HeldLibrary.h"

#include "fs/FileNameCodec.h"

#include <QFile>
#include <QSaveFile>

namespace {

QString recordOf(const QString& holdingFolder) {
    return holdingFolder + QStringLiteral(".library");
}

} // namespace

QString heldFilesLibrary(const QString& holdingFolder) {
    QFile record(recordOf(holdingFolder));
    if (!record.open(QIODevice::ReadOnly))
        return {};
    // The folder's bytes, which need not be text.
    return decodeFileName(record.readAll());
}

void recordHeldFilesLibrary(const QString& holdingFolder, const QString& musicFolder) {
    QSaveFile record(recordOf(holdingFolder));
    if (record.open(QIODevice::WriteOnly)) {
        record.write(encodeFileName(musicFolder));
        record.commit();
    }
}

void forgetHeldFilesLibrary(const QString& holdingFolder) {
    QFile::remove(recordOf(holdingFolder));
}
