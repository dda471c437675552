#pragma once

#include "fs/Volume.h"

#include <QListView>
#include <functional>
#include <memory>

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

private:
    std::shared_ptr<VolumeProvider> m_volumes;
    std::function<void()> m_onChange;
};
