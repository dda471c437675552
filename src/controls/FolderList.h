#pragma once

#include "fs/Volume.h"

#include <QListView>
#include <QStringList>
#include <functional>
#include <memory>

class QStandardItemModel;

// The folder chooser: shows the open folder's ancestors and its subfolders; the user opens a
// folder by double-click or Enter.
class FolderList : public QListView {
public:
    FolderList(std::shared_ptr<VolumeProvider> volumes, QWidget* parent = nullptr);

    // The open folder's full path; only a volume root ends in "/".
    QString Path() const;
    // Opens the folder; a drive text opens that drive's current folder. Throws AppError before
    // changing anything when the folder or its drive cannot be read; runs the change handler,
    // nested, when the open folder changes.
    void setPath(const QString& path);

    void setChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }

    // The full path each row opens, top to bottom: the ancestors (root first), the open folder,
    // then its subfolders.
    QStringList rowPaths() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Opens exactly this folder (no drive resolution); the one way the open folder changes.
    void openFolder(const QString& folder);
    void userOpened(const QModelIndex& index);

    std::shared_ptr<VolumeProvider> m_volumes;
    std::function<void()> m_onChange;
    QStandardItemModel* m_model;
    QString m_path;
};
