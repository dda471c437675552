#pragma once

#include "fs/Volume.h"

#include <QString>
#include <vector>

// Drives for window tests: ordinary folders standing in for mounted volumes. A volume can be
// marked unreadable (a player with no medium) or removed (unplugged) without touching the folder.
class FolderVolumes : public VolumeProvider {
public:
    // The first volume added is the home volume.
    void add(const QString& root, const QString& label = {});
    void remove(const QString& root);
    void setReadable(const QString& root, bool readable);
    void setCurrentFolder(const QString& root, const QString& folder);

    std::vector<Volume> volumes() const override;
    QString homeVolumeRoot() const override;
    bool isReadable(const QString& root) const override;
    QString currentFolder(const QString& root) const override;

private:
    struct Entry {
        Volume volume;
        bool readable = true;
        QString currentFolder;
    };
    std::vector<Entry> m_entries;
    const Entry* find(const QString& root) const;
};
