#include "rotation/HeldOrigins.h"

#include "fs/FileNameCodec.h"
#include "fs/StateFolder.h"
#include "rotation/SongOrigins.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

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

QMap<QString, QString> heldOrigins(const QString& holdingFolder) {
    QFile record(recordFile());
    if (!record.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = record.readAll();
    const QByteArray first = holdingLine(holdingFolder);
    if (!bytes.startsWith(first))
        return {};
    return parseSongOrigins(QByteArrayView(bytes).sliced(first.size()))
        .value_or(SongOrigins{})
        .songs;
}

bool recordHeldOrigins(const QString& holdingFolder, const QMap<QString, QString>& origins) {
    if (!QDir().mkpath(recordFolder()))
        return false;
    QSaveFile record(recordFile());
    return record.open(QIODevice::WriteOnly) &&
           record.write(holdingLine(holdingFolder) + formatSongOrigins({origins, {}})) >= 0 &&
           record.commit();
}

void forgetHeldOrigins() {
    QFile::remove(recordFile());
}
