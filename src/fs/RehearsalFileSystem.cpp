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

// The bytes of a name's entries in an exFAT folder: one for the file, one for its stream, one for
// each 15 UTF-16 units of its name. FAT's long names take about as many.
std::int64_t fatEntryBytes(const QString& name) {
    return 32 * (2 + (name.size() + 14) / 15);
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

RehearsalFileSystem::NameRules& RehearsalFileSystem::rulesOf(const QString& folder) {
    auto it = m_rules.find(folder);
    if (it == m_rules.end()) {
        const VolumeTraits traits = volumeTraitsOf(existingFolderOf(folder));
        it = m_rules.insert(folder, {traits.caseInsensitive, traits.fatNames});
    }
    return *it;
}

RehearsalFileSystem::Names& RehearsalFileSystem::namesIn(const QString& folder) {
    auto it = m_names.find(folder);
    if (it == m_names.end()) {
        Names names;
        names.rules = rulesOf(folder);
        const FsFolder listed = GetFolder(folder);
        QStringList all(listed.Others.begin(), listed.Others.end());
        for (const FsFile& file : listed.Files)
            all.append(file.Name);
        for (const QString& name : all) {
            names.keys.insert(names.key(name));
            names.entryBytes += fatEntryBytes(name);
        }
        it = m_names.insert(folder, names);
    }
    return *it;
}

std::int64_t RehearsalFileSystem::folderGrowth(const QString& folder, const QString& name,
                                               bool comes) {
    if (!rulesOf(folder).entries)
        return 0;
    const std::int64_t before = namesIn(folder).entryBytes;
    const std::int64_t after = before + (comes ? 1 : -1) * fatEntryBytes(name);
    // A folder keeps one cluster however few its entries.
    return unitsOf(folder, std::max<std::int64_t>(after, 1)) -
           unitsOf(folder, std::max<std::int64_t>(before, 1));
}

void RehearsalFileSystem::noteName(const QString& path, bool taken) {
    const SplitPath split = splitAtLastSlash(path);
    const auto it = m_names.find(split.folder);
    if (it == m_names.end())
        return;
    const QString key = it->key(split.name);
    if (taken == it->keys.contains(key))
        return;
    if (taken)
        it->keys.insert(key);
    else
        it->keys.remove(key);
    it->entryBytes += (taken ? 1 : -1) * fatEntryBytes(split.name);
}

RehearsalFileSystem::Space& RehearsalFileSystem::spaceOf(const QString& path) {
    if (Space* const known = m_spaceFor.value(path))
        return *known;
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
    m_spaceFor.insert(path, &it->second);
    return it->second;
}

std::int64_t RehearsalFileSystem::unitsOf(const QString& path, std::int64_t bytes) {
    return roundedUp(bytes, spaceOf(path).unit);
}

bool RehearsalFileSystem::take(const QString& path, std::int64_t bytes) {
    Space& space = spaceOf(path);
    if (bytes > space.free)
        return false;
    space.free -= bytes;
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
    const Names& into = namesIn(target.folder);
    if (into.keys.contains(into.key(target.name)))
        failMove(ErrorNumber::FileAlreadyExists, source, destination, reasonForErrno(EEXIST),
                 AppError::Reach::OneFile);
    struct stat status {};
    statOf(bytes, status);
    const std::int64_t size = status.st_size;
    const QString sourceFolder = folderOf(source);
    // Between volumes the copy takes its space before the source gives its own back.
    const bool across = &spaceOf(sourceFolder) != &spaceOf(target.folder);
    if (!take(target.folder, (across ? unitsOf(target.folder, size) : 0) +
                                 folderGrowth(target.folder, target.name, true)))
        failMove(ErrorNumber::DiskFull, source, destination, reasonForErrno(ENOSPC),
                 AppError::Reach::Operation);
    take(sourceFolder, (across ? -unitsOf(sourceFolder, size) : 0) +
                           folderGrowth(sourceFolder, splitAtLastSlash(source).name, false));
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
    take(folderOf(duplicate),
         -unitsOf(duplicate, status.st_size) +
             folderGrowth(folderOf(duplicate), splitAtLastSlash(duplicate).name, false));
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
    makeFolder(path);
}

// A folder takes a cluster of its own and an entry in its parent.
void RehearsalFileSystem::makeFolder(const QString& path) {
    if (!take(path,
              unitsOf(path, 1) + folderGrowth(folderOf(path), splitAtLastSlash(path).name, true)))
        throw AppError(ErrorNumber::DiskFull, sourceText(FsTask::MakingFolder),
                       QStringLiteral("The folder \"%1\" could not be made: %2.")
                           .arg(shownPath(path), reasonForErrno(ENOSPC)));
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
        makeFolder(folder);
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
    take(path,
         -unitsOf(path, 1) + folderGrowth(folderOf(path), splitAtLastSlash(path).name, false));
    m_folders.insert(path, false);
    noteName(path, false);
}

std::optional<QByteArray> RehearsalFileSystem::ReadRecord(const QString& path) {
    if (const auto it = m_records.constFind(clean(path)); it != m_records.cend())
        return it->value_or(QByteArray());
    return m_real->ReadRecord(path);
}

std::int64_t RehearsalFileSystem::recordGrowth(const QString& path, const QByteArray& after) {
    const qsizetype before = ReadRecord(path).value_or(QByteArray()).size();
    std::int64_t growth = unitsOf(path, after.size()) - unitsOf(path, before);
    // The program writes no empty record: an empty one is none.
    if ((before == 0) != after.isEmpty())
        growth += folderGrowth(folderOf(path), splitAtLastSlash(path).name, before == 0);
    return growth;
}

bool RehearsalFileSystem::WriteRecord(const QString& givenPath, const QByteArray& bytes) {
    const QString path = clean(givenPath);
    if (!FolderExists(folderOf(path)) || !take(path, recordGrowth(path, bytes)))
        return false;
    m_records.insert(path, bytes);
    noteName(path, true);
    return true;
}

bool RehearsalFileSystem::RemoveRecord(const QString& givenPath) {
    const QString path = clean(givenPath);
    take(path, recordGrowth(path, {}));
    m_records.insert(path, std::nullopt);
    noteName(path, false);
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
