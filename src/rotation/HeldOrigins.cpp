#include "rotation/HeldOrigins.h"

#include "fs/FileNameCodec.h"
#include "fs/FileSystemObject.h"
#include "fs/StateFolder.h"
#include "rotation/SongOrigins.h"

#include <QDir>

namespace {

QString recordFolder() {
    return userStateFolder() + QStringLiteral("/quavex");
}

QString recordFile() {
    return recordFolder() + QStringLiteral("/held-origins");
}

// The holding folder, percent-encoded, on the first line; then the held files' lines as the
// player's record writes its songs'.
QByteArray holdingLine(const QString& holdingFolder) {
    return encodeFileName(holdingFolder).toPercentEncoding("/") + '\n';
}

} // namespace

QMap<QString, QString> heldOrigins(FileSystemObject& fso, const QString& holdingFolder) {
    const QByteArray bytes = fso.ReadRecord(recordFile()).value_or(QByteArray());
    const QByteArray first = holdingLine(holdingFolder);
    if (!bytes.startsWith(first))
        return {};
    return parseSongOrigins(QByteArrayView(bytes).sliced(first.size()))
        .value_or(SongOrigins{})
        .songs;
}

bool recordHeldOrigins(FileSystemObject& fso, const QString& holdingFolder,
                       const QMap<QString, QString>& origins) {
    return QDir().mkpath(recordFolder()) &&
           fso.WriteRecord(recordFile(),
                           holdingLine(holdingFolder) + formatSongOrigins({origins, {}}));
}

void forgetHeldOrigins(FileSystemObject& fso) {
    fso.RemoveRecord(recordFile());
}
