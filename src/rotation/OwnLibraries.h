#pragma once

#include <QMap>
#include <QString>

class FileSystemObject;

// A song whose music folder is recorded (SongOrigins.h, HeldOrigins.h) goes back to that folder
// rather than the run's, whichever library the run fills from.
class HomeFolders {
public:
    HomeFolders(FileSystemObject& fso, QString runFolder);

    // The folder a held file goes back to: the music folder it came from when that is a folder
    // there now (a path of another system never is), otherwise the run's music folder. Each
    // folder is looked at once. A folder there that refuses the file sends it on to the run's
    // folder when it is moved (HeldFiles.h).
    QString of(const QString& origin);

private:
    FileSystemObject& m_fso;
    QString m_runFolder;
    QMap<QString, QString> m_known;
};
