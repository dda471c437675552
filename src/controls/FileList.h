#pragma once

#include "controls/FileListModel.h"
#include "controls/FolderJournal.h"
#include "controls/FolderScan.h"
#include "fs/NamePattern.h"

#include <QListView>

// The file list: the regular files directly in Path whose names match Pattern (";"-separated
// globs, letter case ignored), sorted by name. It shows what the folder held at the last setPath
// or Refresh, never changes between.
class FileList : public QListView {
public:
    explicit FileList(QWidget* parent = nullptr);

    QString Path() const;
    // Lists the folder; throws AppError before changing anything when it cannot be read. The
    // folder already open is refreshed.
    void setPath(const QString& path);
    QString Pattern() const;
    // Lists the open folder again by the new pattern; throws AppError before changing anything
    // when it cannot be read.
    void setPattern(const QString& pattern);
    qint64 ListCount() const;
    // The name at the index, 0 to ListCount() - 1; throws AppError for any other index.
    QString List(qint64 index) const;
    // Reads the folder again: the list becomes what a fresh read gives. Throws AppError, and
    // keeps the list as it was, when the folder can no longer be read.
    void Refresh();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Listing {
        FolderJournal journal;
        SortedNames names;
    };
    Listing readListing(const QString& path, const NamePattern& pattern) const;
    void applyJournal(const FolderHandle& folder, const std::vector<QByteArray>& names);

    FileListModel* m_model;
    QString m_path;
    QString m_patternText = QStringLiteral("*.*");
    NamePattern m_pattern;
    // No folder is kept open between reads: an open folder would keep its volume from being
    // unmounted (the player could not be ejected).
    FolderJournal m_journal;
};
