#include "controls/FileList.h"

#include "fs/OwnTemporaries.h"
#include "fs/SongOriginsName.h"

#include <QFile>
#include <QKeyEvent>
#include <cstring>

namespace {

const QString kSource = QStringLiteral("File list:");

// Whether the name is listed: a regular file (symbolic links are not followed) that matches the
// pattern and is no temporary file of ours, nor the player's record of its songs' origins.
bool isListed(const FolderHandle& folder, const char* name, size_t length, EntryType type,
              const NamePattern& pattern) {
    const std::string_view text(name, length);
    if (!pattern.matchesUtf8(text))
        return false;
    if (text.starts_with(".~quavex-") &&
        isOwnTemporaryName(QString::fromUtf8(name, qsizetype(length))))
        return false;
    if (text == songOriginsFileName)
        return false;
    return folder.kindOf(name, type, false) == EntryKind::File;
}

} // namespace

FileList::FileList(QWidget* parent) : QListView(parent), m_model(new FileListModel(this)) {
    setUniformItemSizes(true);
    // Laid out a batch at a time while events run: a change to a list of 100,000 files costs one
    // batch before the next paint, not a pass over every row.
    setLayoutMode(QListView::Batched);
    setBatchSize(1000);
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
    const FolderHandle folder(path, error);
    if (!folder.isOpen())
        throw folderError(error, kSource, path);
    listing.journal.start(path, folder);
    error = folder.readEntries([&](const char* name, EntryType type) {
        const size_t length = std::strlen(name);
        if (isListed(folder, name, length, type, pattern))
            listing.names.append(std::string_view(name, length));
    });
    if (error != 0)
        throw folderError(error, kSource, path);
    listing.names.sort();
    return listing;
}

void FileList::setPath(const QString& path) {
    if (path.isEmpty())
        throw AppError(ErrorNumber::PathNotFound, kSource,
                       QStringLiteral("Path not found: no folder was named."));
    const QString folder = absoluteFolder(path);
    if (folder == m_path) {
        Refresh();
        return;
    }
    Listing listing = readListing(folder, m_pattern);
    m_path = folder;
    m_journal = std::move(listing.journal);
    m_model->replaceAll(std::move(listing.names));
}

void FileList::setPattern(const QString& pattern) {
    if (pattern == m_patternText)
        return;
    NamePattern compiled(pattern);
    if (!m_path.isEmpty()) {
        Listing listing = readListing(m_path, compiled);
        m_journal = std::move(listing.journal);
        m_model->replaceAll(std::move(listing.names));
    }
    m_patternText = pattern;
    m_pattern = std::move(compiled);
}

void FileList::Refresh() {
    if (m_path.isEmpty())
        return;
    if (m_journal.isActive()) {
        int error = 0;
        const FolderHandle folder(m_path, error);
        if (folder.isOpen()) {
            if (const auto changes = m_journal.takeChanges(folder)) {
                applyJournal(folder, *changes);
                return;
            }
        }
    }
    Listing listing = readListing(m_path, m_pattern);
    m_journal = std::move(listing.journal);
    m_model->replaceAll(std::move(listing.names));
}

// Each changed name is looked at again as it is now, whatever the notice said: a name may have
// been removed and made again, or replaced by a folder, since.
void FileList::applyJournal(const FolderHandle& folder, const std::vector<QByteArray>& names) {
    for (const QByteArray& name : names) {
        const size_t length = size_t(name.size());
        m_model->setPresent(
            std::string_view(name.constData(), length),
            isListed(folder, name.constData(), length, EntryType::Unknown, m_pattern));
    }
}

void FileList::keyPressEvent(QKeyEvent* event) {
    QListView::keyPressEvent(event);
    // Enter and Esc belong to the list: they never reach a button of the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape)
        event->accept();
}
