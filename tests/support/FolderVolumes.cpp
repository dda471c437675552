#include "support/FolderVolumes.h"

#include <QDir>
#include <algorithm>

void FolderVolumes::add(const QString& root, const QString& label) {
    m_entries.push_back({{root, label}, true, root});
}

void FolderVolumes::remove(const QString& root) {
    std::erase_if(m_entries, [&](const Entry& e) { return e.volume.root == root; });
}

void FolderVolumes::setReadable(const QString& root, bool readable) {
    for (Entry& e : m_entries)
        if (e.volume.root == root)
            e.readable = readable;
}

void FolderVolumes::setCurrentFolder(const QString& root, const QString& folder) {
    for (Entry& e : m_entries)
        if (e.volume.root == root)
            e.currentFolder = folder;
}

std::vector<Volume> FolderVolumes::volumes() const {
    std::vector<Volume> result;
    for (const Entry& e : m_entries)
        result.push_back(e.volume);
    return result;
}

QString FolderVolumes::homeVolumeRoot() const {
    return m_entries.empty() ? QString() : m_entries.front().volume.root;
}

bool FolderVolumes::isReadable(const QString& root) const {
    const Entry* e = find(root);
    return e && e->readable && QDir(root).isReadable();
}

QString FolderVolumes::currentFolder(const QString& root) const {
    const Entry* e = find(root);
    return e ? e->currentFolder : root;
}

const FolderVolumes::Entry* FolderVolumes::find(const QString& root) const {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry& e) { return e.volume.root == root; });
    return it == m_entries.end() ? nullptr : &*it;
}
