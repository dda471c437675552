#include "controls/FolderList.h"

#include "controls/DriveText.h"
#include "controls/FolderScan.h"
#include "fs/AppError.h"
#include "fs/FileNameCodec.h"
#include "fs/PathText.h"
#include "fs/VolumeLookup.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

const QString kSource = QStringLiteral("Folder chooser:");
constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 10;

// Indents each row by its depth in the tree, so ancestors read as a path from the root down.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.adjust(index.data(kDepthRole).toInt() * kIndentPixels, 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

bool namesBefore(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

// Listed subfolders: folders and links to folders; names starting with "." are hidden ones.
QStringList readSubfolders(const QString& folder) {
    int error = 0;
    const FolderHandle handle(folder, error);
    if (!handle.isOpen())
        throw folderError(error, kSource, folder);
    QStringList names;
    error = handle.readEntries([&](const char* name, EntryType type) {
        if (name[0] != '.' && handle.kindOf(name, type, true) == EntryKind::Folder)
            names.append(decodeFileName(name));
    });
    if (error != 0)
        throw folderError(error, kSource, folder);
    std::sort(names.begin(), names.end(), namesBefore);
    return names;
}

// The folder and every folder above it up to the drive's root, the root first.
QStringList ancestorsOf(const QString& folder, const QString& driveRoot) {
    QStringList chain{folder};
    for (QString path = folder; path != driveRoot;) {
        QString parent = path.left(std::max<qsizetype>(path.lastIndexOf(QLatin1Char('/')), 0));
        if (parent.isEmpty() || parent.endsWith(QLatin1Char(':')))
            parent += QLatin1Char('/');
        if (parent == path)
            break;
        chain.prepend(parent);
        path = parent;
    }
    return chain;
}

QString childPath(const QString& parent, const QString& name) {
    return parent.endsWith(QLatin1Char('/')) ? parent + name : parent + QLatin1Char('/') + name;
}

} // namespace

FolderList::FolderList(std::shared_ptr<VolumeProvider> volumes, QWidget* parent)
    : QListView(parent), m_volumes(std::move(volumes)), m_model(new QStandardItemModel(this)) {
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new IndentDelegate(this));
    setModel(m_model);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { userOpened(index); });
}

QString FolderList::Path() const {
    return m_path;
}

QStringList FolderList::rowPaths() const {
    QStringList paths;
    for (int row = 0; row < m_model->rowCount(); ++row)
        paths.append(m_model->item(row)->data(kPathRole).toString());
    return paths;
}

QString FolderList::driveRoot() const {
    return m_drive.isEmpty() ? absoluteFolder(m_volumes->homeVolumeRoot()) : m_drive;
}

bool FolderList::namesOtherDrive(const QString& text) const {
    const std::optional<QString> root = driveAloneNamedBy(*m_volumes, text);
    return root && absoluteFolder(*root) != driveRoot();
}

void FolderList::setPath(const QString& path) {
    if (const std::optional<QString> root = driveAloneNamedBy(*m_volumes, path)) {
        if (!m_volumes->isReadable(*root))
            throw AppError(ErrorNumber::DeviceUnavailable, kSource,
                           QStringLiteral("Device unavailable: drive %1 cannot be read.")
                               .arg(shownPath(*root)));
        const QString top = absoluteFolder(*root);
        const QString current = absoluteFolder(m_volumes->currentFolder(*root));
        try {
            openFolder(current, top);
        } catch (const AppError&) {
            // A current folder removed since leaves the drive itself to open.
            if (current == top)
                throw;
            openFolder(top, top);
        }
        return;
    }
    if (path.isEmpty())
        throw AppError(ErrorNumber::PathNotFound, kSource,
                       QStringLiteral("Path not found: no folder was named."));
    openFolder(absoluteFolder(path), driveRoot());
}

void FolderList::openFolder(const QString& folder, const QString& drive) {
    if (folder == m_path && drive == m_drive)
        return;
    const std::vector<Volume> volumes = m_volumes->volumes();
    const QString volume = volumeRootOf(volumes, folder);
    if (!volume.isEmpty() && !m_volumes->isReadable(volume))
        throw AppError(
            ErrorNumber::DeviceUnavailable, kSource,
            QStringLiteral("Device unavailable: drive %1 cannot be read.").arg(shownPath(volume)));
    // Above the drive's root, or inside another volume mounted below it, is another disk: the
    // run would empty a folder there while the drive list still names this one.
    if (volume.isEmpty() || absoluteFolder(volume) != drive)
        throw AppError(ErrorNumber::PathNotFound, kSource,
                       QStringLiteral("Path not found: %1 is not on drive %2.")
                           .arg(shownPath(folder), shownPath(drive)));
    QStringList subfolders = readSubfolders(folder);
    subfolders.removeIf([&](const QString& name) {
        return absoluteFolder(volumeRootOf(volumes, childPath(folder, name))) != drive;
    });

    const QStyle* look = style();
    const QIcon openIcon = look->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = look->standardIcon(QStyle::SP_DirClosedIcon);
    QList<QStandardItem*> items;
    const QStringList chain = ancestorsOf(folder, drive);
    for (qsizetype depth = 0; depth < chain.size(); ++depth) {
        const QString& path = chain[depth];
        auto* item = new QStandardItem(
            openIcon, displayedFileName(depth == 0 ? driveRootText(path) : path.section('/', -1)));
        item->setData(path, kPathRole);
        item->setData(static_cast<int>(depth), kDepthRole);
        items.append(item);
    }
    const int openRow = static_cast<int>(items.size()) - 1;
    for (const QString& name : subfolders) {
        auto* item = new QStandardItem(closedIcon, displayedFileName(name));
        item->setData(childPath(folder, name), kPathRole);
        item->setData(static_cast<int>(chain.size()), kDepthRole);
        items.append(item);
    }

    const bool changed = folder != m_path;
    m_path = folder;
    m_drive = drive;
    m_model->clear();
    m_model->invisibleRootItem()->appendRows(items);
    setCurrentIndex(m_model->index(openRow, 0));
    if (changed && m_onChange)
        m_onChange();
}

// A signal frame must never be crossed by an exception: a folder that cannot be opened leaves
// the list as it was, with a beep; the window's handler reports its own failures.
void FolderList::userOpened(const QModelIndex& index) {
    if (!index.isValid())
        return;
    try {
        openFolder(index.data(kPathRole).toString(), m_drive);
    } catch (...) {
        QApplication::beep();
    }
}

void FolderList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        userOpened(currentIndex());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
    if (event->key() == Qt::Key_Escape)
        event->accept();
}
