#include "fs/RehearsalFileSystem.h"

#include "fs/DriveRoot.h"
#include "fs/Duplicates.h"
#include "fs/ErrnoErrors.h"
#include "fs/FileNameCodec.h"
#include "fs/PathText.h"
#include "fs/SystemCalls.h"
#include "fs/VolumeTraits.h"

#include <QDir>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace {

// One spelling per path: the run writes "folder/" for a folder it makes.
QString clean(const QString& path) {
    return QDir::cleanPath(path);
}

QString folderOf(const QString& path) {
    return splitAtLastSlash(path).folder;
}

bool statOf(const QString& path, struct stat& status) {
    return realSystemCalls()->stat(encodeFileName(path).constData(), &status) == 0;
}

// The nearest folder of the path, itself included, that is there on disk.
QString existingFolderOf(QString path) {
    struct stat status {};
    while (!(statOf(path, status) && S_ISDIR(status.st_mode))) {
        const QString parent = folderOf(path);
        if (parent == path || parent == QStringLiteral("."))
            break;
        path = parent;
    }
    return path;
}

[[noreturn]] void failMove(std::int32_t number, const QString& source, const QString& destination,
                           const QString& reason, AppError::Reach reach) {
    throw AppError(number, sourceText(FsTask::MovingFile),
                   QStringLiteral("\"%1\" could not be moved to \"%2\": %3.")
                       .arg(shownPath(source), shownPath(folderOf(destination)), reason),
                   reach);
}

[[noreturn]] void noSuchFolder(const QString& path, FsTask task) {
    throw AppError(ErrorNumber::PathNotFound, sourceText(task),
                   QStringLiteral("The folder \"%1\" does not exist.").arg(shownPath(path)));
}

// The folder part of "folder/*.*"; null when the source names one file.
QString wildcardFolder(const QString& source) {
    if (!source.endsWith(QLatin1String("/*.*")) && !source.endsWith(QLatin1String("\\*.*")))
        return {};
    return clean(source.left(source.size() - 4));
}

std::int64_t roundedUp(std::int64_t bytes, std::int64_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

} // namespace

RehearsalFileSystem::RehearsalFileSystem(std::unique_ptr<FileSystemObject> real)
    : m_real(std::move(real)) {}

bool RehearsalFileSystem::FolderExists(const QString& givenPath) {
    const QString path = clean(givenPath);
    if (const auto it = m_folders.constFind(path); it != m_folders.cend())
        return *it;
    return m_real->FolderExists(path);
}

FsFolder RehearsalFileSystem::GetFolder(const QString& givenPath) {
    const QString path = clean(givenPath);
    const auto made = m_folders.constFind(path);
    if (made != m_folders.cend() && !*made)
        noSuchFolder(path, FsTask::ReadingFolder);
    FsFolder folder{givenPath, {}, {}};
    if (made == m_folders.cend()) {
        folder = m_real->GetFolder(path);
        std::erase_if(folder.Files, [&](const FsFile& file) {
            const auto it = m_files.constFind(joinPath(path, file.Name));
            return it != m_files.cend() && it->isNull();
        });
        std::erase_if(folder.Others, [&](const QString& name) {
            return !m_folders.value(joinPath(path, name), true);
        });
    }
    QSet<QString> listed;
    for (const FsFile& file : folder.Files)
        listed.insert(file.Name);
    for (const QString& name : m_added.value(path))
        if (!m_files.value(joinPath(path, name)).isNull() && !listed.contains(name)) {
            listed.insert(name);
            folder.Files.push_back({name});
        }
    for (auto it = m_folders.cbegin(); it != m_folders.cend(); ++it)
        if (*it && folderOf(it.key()) == path)
            folder.Others.push_back(splitAtLastSlash(it.key()).name);
    std::sort(folder.Files.begin(), folder.Files.end(),
              [](const FsFile& a, const FsFile& b) { return a.Name < b.Name; });
    return folder;
}

std::vector<QString> RehearsalFileSystem::GetSubfolders(const QString& givenPath) {
    const QString path = clean(givenPath);
    const auto made = m_folders.constFind(path);
    if (made != m_folders.cend() && !*made)
        noSuchFolder(path, FsTask::ReadingFolder);
    std::vector<QString> folders;
    if (made == m_folders.cend())
        folders = m_real->GetSubfolders(path);
    std::erase_if(
        folders, [&](const QString& name) { return !m_folders.value(joinPath(path, name), true); });
    for (auto it = m_folders.cbegin(); it != m_folders.cend(); ++it) {
        const QString name = splitAtLastSlash(it.key()).name;
        if (*it && folderOf(it.key()) == path &&
            std::find(folders.begin(), folders.end(), name) == folders.end())
            folders.push_back(name);
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

QString RehearsalFileSystem::fileAt(const QString& path) {
    if (const auto it = m_files.constFind(path); it != m_files.cend())
        return *it;
    if (m_folders.contains(folderOf(path)))
        return {};
    struct stat status {};
    return statOf(path, status) && S_ISREG(status.st_mode) ? path : QString();
}

bool RehearsalFileSystem::nameTaken(const QString& folder, const QString& name) {
    auto it = m_names.find(folder);
    if (it == m_names.end()) {
        Names names;
        names.folded = volumeTraitsOf(existingFolderOf(folder)).caseInsensitive;
        const FsFolder listed = GetFolder(folder);
        for (const FsFile& file : listed.Files)
            names.keys.insert(names.key(file.Name));
        for (const QString& other : listed.Others)
            names.keys.insert(names.key(other));
        it = m_names.insert(folder, names);
    }
    return it->keys.contains(it->key(name));
}

void RehearsalFileSystem::noteName(const QString& path, bool taken) {
    const SplitPath split = splitAtLastSlash(path);
    const auto it = m_names.find(split.folder);
    if (it == m_names.end())
        return;
    if (taken)
        it->keys.insert(it->key(split.name));
    else
        it->keys.remove(it->key(split.name));
}

RehearsalFileSystem::Space& RehearsalFileSystem::spaceOf(const QString& path) {
    const QString folder = existingFolderOf(path);
    struct stat status {};
    statOf(folder, status);
    const auto [it, added] = m_spaces.try_emplace(std::uint64_t(status.st_dev));
    if (added) {
        Space& space = it->second;
        space.real = m_real->FreeSpaceOf(driveRootOf(folder));
        space.unit = std::max<std::int64_t>(
            1, std::int64_t(space.real.sectorsPerCluster * space.real.bytesPerSector));
        space.free = std::int64_t(space.real.freeClusters) * space.unit;
    }
    return it->second;
}

bool RehearsalFileSystem::charge(const QString& path, std::int64_t before, std::int64_t after) {
    Space& space = spaceOf(path);
    const std::int64_t added = roundedUp(after, space.unit) - roundedUp(before, space.unit);
    if (added > space.free)
        return false;
    space.free -= added;
    return true;
}

void RehearsalFileSystem::moveFile(const QString& givenSource, const QString& givenDestination) {
    const QString source = clean(givenSource);
    const QString destination = clean(givenDestination);
    const QString bytes = fileAt(source);
    if (bytes.isNull())
        failMove(ErrorNumber::FileNotFound, source, destination, reasonForErrno(ENOENT),
                 AppError::Reach::OneFile);
    const SplitPath target = splitAtLastSlash(destination);
    if (!FolderExists(target.folder))
        failMove(ErrorNumber::PathNotFound, source, destination, reasonForErrno(ENOENT),
                 AppError::Reach::Operation);
    if (nameTaken(target.folder, target.name))
        failMove(ErrorNumber::FileAlreadyExists, source, destination, reasonForErrno(EEXIST),
                 AppError::Reach::OneFile);
    struct stat status {};
    statOf(bytes, status);
    const std::int64_t size = status.st_size;
    struct stat from {};
    struct stat to {};
    statOf(existingFolderOf(folderOf(source)), from);
    statOf(existingFolderOf(target.folder), to);
    // Between volumes the copy takes its space before the source gives its own back.
    if (from.st_dev != to.st_dev) {
        if (!charge(target.folder, 0, size))
            failMove(ErrorNumber::DiskFull, source, destination, reasonForErrno(ENOSPC),
                     AppError::Reach::Operation);
        charge(folderOf(source), size, 0);
    }
    m_files.insert(source, QString());
    noteName(source, false);
    m_files.insert(destination, bytes);
    m_added[target.folder].append(target.name);
    noteName(destination, true);
    m_moves.push_back({source, destination, size});
}

void RehearsalFileSystem::MoveFile(const QString& source, const QString& destination) {
    const QString folder = wildcardFolder(source);
    if (folder.isNull())
        return moveFile(source, destination);
    if (!FolderExists(destination))
        noSuchFolder(destination, FsTask::MovingFile);
    const FsFolder files = GetFolder(folder);
    if (files.Files.empty())
        throw AppError(
            ErrorNumber::FileNotFound, sourceText(FsTask::MovingFile),
            QStringLiteral("There are no files in \"%1\" to move.").arg(shownPath(folder)));
    for (const FsFile& file : files.Files)
        moveFile(joinPath(folder, file.Name), joinPath(destination, file.Name));
}

void RehearsalFileSystem::MoveInGroup(const QString& source, const QString& destination) {
    moveFile(source, destination);
    ++m_settled;
}

bool RehearsalFileSystem::DeleteDuplicate(const QString& givenDuplicate,
                                          const QString& givenOriginal) {
    const QString duplicate = clean(givenDuplicate);
    const QString copy = fileAt(duplicate);
    const QString kept = fileAt(clean(givenOriginal));
    if (copy.isNull() || kept.isNull() || !isDuplicate(*realSystemCalls(), copy, kept))
        return false;
    struct stat status {};
    statOf(copy, status);
    charge(folderOf(duplicate), status.st_size, 0);
    m_files.insert(duplicate, QString());
    noteName(duplicate, false);
    m_moves.push_back({duplicate, QString(), std::int64_t(status.st_size)});
    return true;
}

void RehearsalFileSystem::CreateFolder(const QString& givenPath) {
    const QString path = clean(givenPath);
    if (FolderExists(path) || !fileAt(path).isNull())
        throw AppError(ErrorNumber::FileAlreadyExists, sourceText(FsTask::MakingFolder),
                       QStringLiteral("The folder \"%1\" could not be made: it already exists.")
                           .arg(shownPath(path)));
    if (!FolderExists(folderOf(path)))
        noSuchFolder(folderOf(path), FsTask::MakingFolder);
    m_folders.insert(path, true);
    noteName(path, true);
}

void RehearsalFileSystem::MakeSubfolders(const QString& root, const QString& relative) {
    QString folder = clean(root);
    if (!FolderInPlace(folder))
        noSuchFolder(folder, FsTask::MakingFolder);
    for (const QString& part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        folder = joinPath(folder, part);
        if (FolderExists(folder))
            continue;
        if (!fileAt(folder).isNull())
            throw AppError(ErrorNumber::PathNotFound, sourceText(FsTask::MakingFolder),
                           QStringLiteral("The folder \"%1\" could not be made: something that is "
                                          "not a folder has that name.")
                               .arg(shownPath(folder)),
                           AppError::Reach::OneFile);
        m_folders.insert(folder, true);
        noteName(folder, true);
    }
}

void RehearsalFileSystem::PinFolder(const QString& path) {
    if (!m_folders.contains(clean(path)))
        m_real->PinFolder(path);
}

bool RehearsalFileSystem::FolderInPlace(const QString& givenPath) {
    const QString path = clean(givenPath);
    if (const auto it = m_folders.constFind(path); it != m_folders.cend())
        return *it;
    return m_real->FolderInPlace(path);
}

void RehearsalFileSystem::DeleteFolder(const QString& givenPath) {
    const QString path = clean(givenPath);
    const FsFolder folder = GetFolder(path);
    if (!folder.Files.empty() || !folder.Others.empty())
        throw AppError(ErrorNumber::PathFileAccess, sourceText(FsTask::RemovingFolder),
                       QStringLiteral("The folder \"%1\" could not be removed: it is not empty.")
                           .arg(shownPath(path)));
    m_folders.insert(path, false);
    noteName(path, false);
}

std::optional<QByteArray> RehearsalFileSystem::ReadRecord(const QString& path) {
    if (const auto it = m_records.constFind(clean(path)); it != m_records.cend())
        return it->value_or(QByteArray());
    return m_real->ReadRecord(path);
}

bool RehearsalFileSystem::WriteRecord(const QString& givenPath, const QByteArray& bytes) {
    const QString path = clean(givenPath);
    if (!FolderExists(folderOf(path)) ||
        !charge(path, ReadRecord(path).value_or(QByteArray()).size(), bytes.size()))
        return false;
    m_records.insert(path, bytes);
    return true;
}

bool RehearsalFileSystem::RemoveRecord(const QString& givenPath) {
    const QString path = clean(givenPath);
    charge(path, ReadRecord(path).value_or(QByteArray()).size(), 0);
    m_records.insert(path, std::nullopt);
    return true;
}

FreeSpace RehearsalFileSystem::FreeSpaceOf(const QString& root) {
    const Space& space = spaceOf(root);
    FreeSpace now = space.real;
    now.sectorsPerCluster = 1;
    now.bytesPerSector = std::uint64_t(space.unit);
    now.freeClusters = std::uint64_t(space.free / space.unit);
    return now;
}
