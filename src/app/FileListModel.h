#pragma once

#include <QAbstractListModel>
#include <QString>
#include <vector>

// One listed file: its name and the case-folded form it is sorted and matched by.
struct FileEntry {
    QString key;
    QString name;
};

// Sorted by name without regard to letter case; names differing only in case by their code units.
bool entryBefore(const FileEntry& a, const FileEntry& b);

// The names a file list shows, kept sorted; one row per file, no widget per item.
class FileListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    qint64 count() const { return static_cast<qint64>(m_entries.size()); }
    const QString& nameAt(qint64 row) const { return m_entries[static_cast<size_t>(row)].name; }
    const std::vector<FileEntry>& entries() const { return m_entries; }

    // Takes a sorted list in one step.
    void replaceAll(std::vector<FileEntry> entries);
    // Adds the entry when present and missing, removes it when listed and not present.
    void setPresent(FileEntry entry, bool present);

private:
    std::vector<FileEntry> m_entries;
};
