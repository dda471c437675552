#include "app/FileList.h"

#include "fs/OwnTemporaries.h"

#include <QFile>
#include <QKeyEvent>
#include <algorithm>
#include <dirent.h>

namespace {

const QString kSource = QStringLiteral("FileList");

// The entry for a name when it is listed: a regular file (symbolic links are not followed) that
// matches the pattern and is no temporary file of ours.
bool listedEntry(int folderFd, const char* rawName, unsigned char type, const NamePattern& pattern,
                 FileEntry& entry) {
    if (entryKind(folderFd, rawName, type, false) != EntryKind::File)
        return false;
    entry.name = QFile::decodeName(rawName);
    if (isOwnTemporaryName(entry.name))
        return false;
    entry.key = entry.name.toCaseFolded();
    return pattern.matchesFolded(entry.key);
}

} // namespace

FileList::FileList(QWidget* parent) : QListView(parent), m_model(new FileListModel(this)) {
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setModel(m_model);
}

QString FileList::Path() const {
    return m_path;
}

QString FileList::Pattern() const {
    return m_patternText;
}

qint64 FileList::ListCount() const {
    return m_model->count();
}

QString FileList::List(qint64 index) const {
    if (index < 0 || index >= m_model->count())
        throw AppError(ErrorNumber::InvalidArgument, kSource,
                       QStringLiteral("Invalid list index %1: the list holds %2 names.")
                           .arg(index)
                           .arg(m_model->count()));
    return m_model->nameAt(index);
}

FileList::Listing FileList::readListing(const QString& path, const NamePattern& pattern) const {
    Listing listing;
    int error = 0;
    listing.folder = FolderHandle(path, error);
    if (!listing.folder.isOpen())
        throw folderError(error, kSource, path);
    listing.journal.start(path, listing.folder.fd());
    const int fd = listing.folder.fd();
    error = listing.folder.readEntries([&](const char* name, unsigned char type) {
        FileEntry entry;
        if (listedEntry(fd, name, type, pattern, entry))
            listing.entries.push_back(std::move(entry));
    });
    if (error != 0)
        throw folderError(error, kSource, path);
    std::sort(listing.entries.begin(), listing.entries.end(), entryBefore);
    return listing;
}

void FileList::setPath(const QString& path) {
    const QString folder = absoluteFolder(path);
    if (folder == m_path) {
        Refresh();
        return;
    }
    Listing listing = readListing(folder, m_pattern);
    m_path = folder;
    m_folder = std::move(listing.folder);
    m_journal = std::move(listing.journal);
    m_model->replaceAll(std::move(listing.entries));
}

void FileList::setPattern(const QString& pattern) {
    if (pattern == m_patternText)
        return;
    NamePattern compiled(pattern);
    if (!m_path.isEmpty()) {
        Listing listing = readListing(m_path, compiled);
        m_folder = std::move(listing.folder);
        m_journal = std::move(listing.journal);
        m_model->replaceAll(std::move(listing.entries));
    }
    m_patternText = pattern;
    m_pattern = std::move(compiled);
}

void FileList::Refresh() {
    if (m_path.isEmpty())
        return;
    if (const auto changes = m_journal.takeChanges()) {
        applyJournal(*changes);
        return;
    }
    Listing listing = readListing(m_path, m_pattern);
    m_folder = std::move(listing.folder);
    m_journal = std::move(listing.journal);
    m_model->replaceAll(std::move(listing.entries));
}

// Each changed name is looked at again as it is now, whatever the notice said: a name may have
// been removed and made again, or replaced by a folder, since.
void FileList::applyJournal(const std::vector<QByteArray>& names) {
    for (const QByteArray& raw : names) {
        FileEntry entry;
        const bool listed =
            listedEntry(m_folder.fd(), raw.constData(), DT_UNKNOWN, m_pattern, entry);
        if (entry.key.isEmpty()) {
            entry.name = QFile::decodeName(raw);
            entry.key = entry.name.toCaseFolded();
        }
        m_model->setPresent(std::move(entry), listed);
    }
}

void FileList::keyPressEvent(QKeyEvent* event) {
    QListView::keyPressEvent(event);
    // Enter and Esc belong to the list: they never reach a button of the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape)
        event->accept();
}
