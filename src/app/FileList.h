#pragma once

#include <QListView>

// The file list: the regular files directly in Path whose names match Pattern (";"-separated
// globs, letter case ignored), sorted by name. It shows what the folder held at the last setPath
// or Refresh, never changes between.
class FileList : public QListView {
public:
    explicit FileList(QWidget* parent = nullptr);

    QString Path() const;
    // Lists the folder; throws AppError before changing anything when it cannot be read.
    void setPath(const QString& path);
    QString Pattern() const;
    void setPattern(const QString& pattern);
    qint64 ListCount() const;
    QString List(qint64 index) const;
    // Reads the folder again.
    void Refresh();
};
