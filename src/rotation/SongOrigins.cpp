#include "rotation/SongOrigins.h"

#include "fs/FileNameCodec.h"
#include "fs/FileSystemObject.h"
#include "fs/PathText.h"
#include "fs/SongOriginsName.h"

#include <QByteArrayList>
#include <iterator>

namespace {

const QByteArray firstLine("QUAVEX song origins 1");

// Readable where it costs nothing: "/" and spaces stay as they are.
QByteArray encoded(const QString& text) {
    return encodeFileName(text).toPercentEncoding("/ ");
}

QString decoded(const QByteArray& field) {
    return decodeFileName(QByteArray::fromPercentEncoding(field));
}

QByteArray line(const QString& song, const QString& musicFolder) {
    return encoded(song) + '\t' + encoded(musicFolder) + '\n';
}

} // namespace

void SongOrigins::keepOnly(const QSet<QString>& present) {
    for (auto it = songs.begin(); it != songs.end();)
        it = present.contains(it.key()) ? std::next(it) : songs.erase(it);
}

QByteArray formatSongOrigins(const SongOrigins& origins) {
    QByteArray bytes = firstLine + '\n';
    if (!origins.fillBegun.isEmpty())
        bytes += line({}, origins.fillBegun);
    for (auto it = origins.songs.cbegin(); it != origins.songs.cend(); ++it)
        bytes += line(it.key(), it.value());
    return bytes;
}

std::optional<SongOrigins> parseSongOrigins(QByteArrayView bytes) {
    QByteArrayList lines = bytes.toByteArray().split('\n');
    // A record edited on Windows may end its lines with "\r"; the fields never hold one.
    for (QByteArray& each : lines)
        if (each.endsWith('\r'))
            each.chop(1);
    if (lines.isEmpty() || lines.takeFirst() != firstLine)
        return std::nullopt;
    SongOrigins origins;
    for (const QByteArray& each : lines) {
        if (each.isEmpty())
            continue;
        const QByteArrayList fields = each.split('\t');
        if (fields.size() != 2 || fields[1].isEmpty())
            return std::nullopt;
        if (fields[0].isEmpty())
            origins.fillBegun = decoded(fields[1]);
        else
            origins.songs.insert(decoded(fields[0]), decoded(fields[1]));
    }
    return origins;
}

std::optional<SongOrigins> readSongOrigins(FileSystemObject& fso, const QString& playerFolder) {
    const std::optional<QByteArray> bytes =
        fso.ReadRecord(joinPath(playerFolder, songOriginsName()));
    if (!bytes)
        return std::nullopt;
    if (bytes->isEmpty())
        return SongOrigins{};
    return parseSongOrigins(*bytes);
}

bool writeSongOrigins(FileSystemObject& fso, const QString& playerFolder,
                      const SongOrigins& origins) {
    const QString path = joinPath(playerFolder, songOriginsName());
    return origins.isEmpty() ? fso.RemoveRecord(path)
                             : fso.WriteRecord(path, formatSongOrigins(origins));
}
