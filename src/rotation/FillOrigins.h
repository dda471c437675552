#pragma once

#include "rotation/SongOrigins.h"

#include <QString>

class FileSystemObject;

// The player's record of its songs' origins (SongOrigins.h) through one fill of a player folder.
// Before the first move the record says that a fill from the music folder has begun, so that
// the songs of a fill that is killed are known too; once the moves have settled it holds a line
// for each song that arrived. A record that cannot be read or written changes nothing else: the
// fill goes on as without one.
class FillOrigins {
public:
    FillOrigins(FileSystemObject& fso, QString playerFolder, QString musicFolder);

    // Drops the lines of songs no longer in the player folder and says the fill has begun.
    void begin();
    // A song that has settled on the player, by its path relative to the player folder.
    void arrived(const QString& song);
    // After the fill's moves have settled, however it ended.
    void end();

private:
    void write();

    FileSystemObject& m_fso;
    QString m_playerFolder;
    QString m_musicFolder;
    SongOrigins m_record;
    // False while a file of the record's name is there that is not a record this fill can read.
    bool m_recording = true;
};
