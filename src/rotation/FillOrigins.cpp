#include "rotation/FillOrigins.h"

#include "fs/FileSystemObject.h"

#include <QSet>
#include <utility>

FillOrigins::FillOrigins(FileSystemObject& fso, QString playerFolder, QString musicFolder)
    : m_fso(fso), m_playerFolder(std::move(playerFolder)), m_musicFolder(std::move(musicFolder)) {}

void FillOrigins::begin() {
    const std::optional<SongOrigins> read = readSongOrigins(m_fso, m_playerFolder);
    m_recording = read.has_value();
    if (!m_recording)
        return;
    m_record = *read;
    try {
        QSet<QString> present;
        for (const FsFile& file : m_fso.GetFolder(m_playerFolder).Files)
            present.insert(file.Name);
        m_record.keepOnly(present);
    } catch (const AppError&) {
        // The lines stay; the fill's first move meets what keeps the folder from being read.
    }
    m_record.fillBegun = m_musicFolder;
    write();
}

void FillOrigins::arrived(const QString& song) {
    m_record.songs.insert(song, m_musicFolder);
}

void FillOrigins::end() {
    m_record.fillBegun.clear();
    write();
}

// Never into what the path names once the player has gone: a bare mount point is no player.
void FillOrigins::write() {
    if (m_recording && m_fso.FolderInPlace(m_playerFolder))
        writeSongOrigins(m_fso, m_playerFolder, m_record);
}
