#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QMap>
#include <QSet>
#include <QString>
#include <optional>

class FileSystemObject;

// Which music folder each song on a player came from, kept on the player itself (in the file
// songOriginsName() of the player folder, fs/SongOriginsName.h), so that the record travels with
// the card: two people who share one card, or one person with two music folders, get their own
// songs back whichever music folder a run fills from.
//
// The file is text. Its first line is "QUAVEX song origins 1"; then one line per song: its path
// relative to the player folder ('/' between folders), a tab, and the music folder it came from,
// each percent-encoded from its bytes (FileNameCodec.h), so any name round-trips and no field
// holds a tab or a line break. A line whose song path is empty names the music folder of a fill
// that had begun when the record was written: a song on the player without a line of its own
// arrived from it before the fill could write its lines (it was killed).
struct SongOrigins {
    // Song path relative to the player folder -> the music folder it came from.
    QMap<QString, QString> songs;
    // The music folder of a fill that has begun and not yet written its lines; empty when none.
    QString fillBegun;

    bool isEmpty() const { return songs.isEmpty() && fillBegun.isEmpty(); }
    // The music folder the song came from; empty when that is not known.
    QString of(const QString& song) const { return songs.value(song, fillBegun); }
    // Only the lines of the songs named; what `fillBegun` says stays.
    void keepOnly(const QSet<QString>& present);

    bool operator==(const SongOrigins&) const = default;
};

QByteArray formatSongOrigins(const SongOrigins& origins);
// Nothing when the bytes are not such a record (another version's, or damaged).
std::optional<SongOrigins> parseSongOrigins(QByteArrayView bytes);

// The player folder's record; an empty one when there is none, nothing when a file of its name is
// there that cannot be read as one (damaged, or none of ours), which no run then replaces.
std::optional<SongOrigins> readSongOrigins(FileSystemObject& fso, const QString& playerFolder);
// Writes the player folder's record anew, atomically, or removes it when the record is empty.
// False when that failed (RecordFile.h); nothing else is changed either way.
bool writeSongOrigins(FileSystemObject& fso, const QString& playerFolder,
                      const SongOrigins& origins);
