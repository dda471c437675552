#include "rotation/HeldLibrary.h"

#include "fs/FileNameCodec.h"
#include "fs/FileSystemObject.h"
#include "fs/StateFolder.h"

#include <QDir>

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
std::optional<QString> ownRecordFor(FileSystemObject& fso, const QString& holdingFolder) {
    const QByteArray bytes = fso.ReadRecord(recordFile()).value_or(QByteArray());
    const qsizetype zero = bytes.indexOf('\0');
    if (zero < 0 || bytes.left(zero) != encodeFileName(holdingFolder))
        return std::nullopt;
    return decodeFileName(QByteArrayView(bytes).sliced(zero + 1));
}

} // namespace

std::optional<QString> heldFilesLibrary(FileSystemObject& fso, const QString& holdingFolder) {
    if (std::optional<QString> own = ownRecordFor(fso, holdingFolder))
        return own;
    const std::optional<QByteArray> earlier = fso.ReadRecord(earlierVersionsRecord(holdingFolder));
    if (!earlier || earlier->isEmpty())
        return std::nullopt;
    return decodeFileName(*earlier);
}

bool recordHeldFilesLibrary(FileSystemObject& fso, const QString& holdingFolder,
                            const QString& musicFolder) {
    return QDir().mkpath(recordFolder()) &&
           fso.WriteRecord(recordFile(),
                           encodeFileName(holdingFolder) + '\0' + encodeFileName(musicFolder));
}

void forgetHeldFilesLibrary(FileSystemObject& fso, const QString& holdingFolder) {
    if (ownRecordFor(fso, holdingFolder))
        fso.RemoveRecord(recordFile());
    fso.RemoveRecord(earlierVersionsRecord(holdingFolder));
}
