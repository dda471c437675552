#pragma once

#include <QAbstractListModel>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What names are sorted by, compared byte by byte: the name case-folded with accents dropped, so
// letter case and accents play no part ("Ärger" beside "Arger"), and numbers by their value
// ("Track 9" before "Track 10").
std::string sortKey(std::string_view name);

// File names as the folder gives them (UTF-8), sorted by their sort keys, names with the same key
// by their bytes ("Arger" before "arger" before "Ärger"), so the order is total and the same on
// every read. Names and keys are packed into one buffer: 100,000 names cost a few megabytes and
// no allocation each.
class SortedNames {
public:
    void append(std::string_view name);
    void sort();
    qint64 size() const { return qint64(m_refs.size()); }
    std::string_view at(qint64 row) const;
    // The row of the name, or of the place it would go; listed tells which.
    qint64 find(std::string_view name, bool& listed) const;
    void insertAt(qint64 row, std::string_view name);
    void eraseAt(qint64 row);

private:
    struct Ref {
        std::uint32_t offset; // the name, then its key
        std::uint32_t length;
        std::uint32_t keyLength;
    };
    std::string_view view(Ref ref) const { return {m_bytes.data() + ref.offset, ref.length}; }
    std::string_view key(Ref ref) const {
        return {m_bytes.data() + ref.offset + ref.length, ref.keyLength};
    }
    bool before(Ref a, Ref b) const;
    Ref store(std::string_view name);
    void compact();

    std::string m_bytes;
    std::vector<Ref> m_refs;
    size_t m_liveBytes = 0;
};

// The names a file list shows; one row per file, no widget per item.
class FileListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    qint64 count() const { return m_names.size(); }
    // The name as the file system holds it, bytes that are not text kept (FileNameCodec.h).
    QString nameAt(qint64 row) const;

    // Takes a sorted list in one step.
    void replaceAll(SortedNames names);
    // Adds the name when present and not listed, removes it when listed and not present.
    void setPresent(std::string_view name, bool present);

private:
    SortedNames m_names;
};
