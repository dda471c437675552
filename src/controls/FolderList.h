#pragma once

#include "fs/Volume.h"

#include <QListView>
#include <QStringList>
#include <functional>
#include <memory>

class QStandardItemModel;

// The folder chooser of one drive: shows the drive's root, the folders between it and the open
// folder, and the open folder's subfolders; the user opens a folder by double-click or Enter.
// Nothing above the drive's root, and no other volume mounted below it, is opened from the list.
class FolderList : public QListView {
public:
    FolderList(std::shared_ptr<VolumeProvider> volumes, QWidget* parent = nullptr);

    // The open folder's full path; only a volume root ends in "/".
    QString Path() const;
    // Opens the folder; a drive text opens that drive's current folder and makes it the list's
    // drive. Throws AppError before changing anything when the folder or its drive cannot be read
    // or the folder is not on the list's drive; runs the change handler, nested, when the open
    // folder changes.
    void setPath(const QString& path);
    // Whether the text is a drive text that names a drive other than the list's.
    bool namesOtherDrive(const QString& text) const;

    void setChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }

    // The full path each row opens, top to bottom: the drive's root, the folders down to the open
    // folder, then its subfolders.
    QStringList rowPaths() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The list's drive: the home volume until a drive text is opened.
    QString driveRoot() const;
    // Opens exactly this folder of the drive (no drive resolution); the one way the open folder
    // changes.
    void openFolder(const QString& folder, const QString& drive);
    void userOpened(const QModelIndex& index);

    std::shared_ptr<VolumeProvider> m_volumes;
    std::function<void()> m_onChange;
    QStandardItemModel* m_model;
    QString m_path;
    QString m_drive;
};
