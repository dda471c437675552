#include "app/FileListModel.h"

#include <algorithm>
#include <limits>

bool entryBefore(const FileEntry& a, const FileEntry& b) {
    const int byKey = QStringView(a.key).compare(QStringView(b.key));
    return byKey != 0 ? byKey < 0 : a.name < b.name;
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return static_cast<int>(
        std::min<size_t>(m_entries.size(), static_cast<size_t>(std::numeric_limits<int>::max())));
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    return m_entries[static_cast<size_t>(index.row())].name;
}

void FileListModel::replaceAll(std::vector<FileEntry> entries) {
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

void FileListModel::setPresent(FileEntry entry, bool present) {
    const auto at = std::lower_bound(m_entries.begin(), m_entries.end(), entry, entryBefore);
    const bool listed = at != m_entries.end() && at->name == entry.name;
    const int row = static_cast<int>(at - m_entries.begin());
    if (present && !listed) {
        beginInsertRows({}, row, row);
        m_entries.insert(at, std::move(entry));
        endInsertRows();
    } else if (!present && listed) {
        beginRemoveRows({}, row, row);
        m_entries.erase(at);
        endRemoveRows();
    }
}
