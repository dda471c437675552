#include "fs/SystemFileSystem.h"

#include "fs/AppError.h"
#include "fs/Duplicates.h"
#include "fs/ErrnoErrors.h"
#include "fs/FileNameCodec.h"
#include "fs/MoveJournal.h"
#include "fs/OwnTemporaries.h"
#include "fs/PathText.h"
#include "fs/RecordFile.h"
#include "fs/SafeMove.h"
#include "fs/SongOriginsName.h"
#include "fs/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <exception>

namespace {

[[noreturn]] void failFolder(int error, const QString& path, FsTask task, const QString& doing) {
    if (error == ENOENT || error == ENOTDIR)
        throw AppError(ErrorNumber::PathNotFound, sourceText(task),
                       QStringLiteral("The folder \"%1\" does not exist.").arg(shownPath(path)));
    throw AppError(errorNumberForErrno(error), sourceText(task),
                   QStringLiteral("The folder \"%1\" could not be %2: %3.")
                       .arg(shownPath(path), doing, reasonForErrno(error)));
}

// The folder part of "folder/*.*" or "folder\*.*"; "/" for "/*.*". Null when the source is not
// such a pattern.
QString wildcardFolder(const QString& source) {
    static const QLatin1String pattern("*.*");
    if (!source.endsWith(pattern) || source.size() <= pattern.size())
        return {};
    const QChar separator = source[source.size() - pattern.size() - 1];
    if (separator != QLatin1Char('/') && separator != QLatin1Char('\\'))
        return {};
    const QString folder = source.left(source.size() - pattern.size() - 1);
    return folder.isEmpty() ? QString(separator) : folder;
}

} // namespace

SystemFileSystem::SystemFileSystem(std::shared_ptr<SystemCalls> calls)
    : m_calls(calls ? std::move(calls) : realSystemCalls()), m_group(*m_calls) {}

// Every call but the moves of a group first settles the moves waiting in it, so that it sees the
// folders as they will stay.
bool SystemFileSystem::FolderExists(const QString& path) {
    m_group.finish();
    struct stat status {};
    return m_calls->stat(encodeFileName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

FsFolder SystemFileSystem::GetFolder(const QString& path) {
    m_group.finish();
    std::vector<FolderEntry> entries;
    if (m_calls->listFolder(encodeFileName(path).constData(), entries) != 0)
        failFolder(errno, path, FsTask::ReadingFolder, QStringLiteral("read"));
    FsFolder folder{path, {}, {}};
    for (const FolderEntry& entry : entries) {
        const QString name = decodeFileName(entry.name);
        if (isOwnTemporaryName(name) || isSongOriginsName(name))
            continue;
        if (entry.regularFile)
            folder.Files.push_back(FsFile{name});
        else
            folder.Others.push_back(name);
    }
    std::sort(folder.Files.begin(), folder.Files.end(),
              [](const FsFile& a, const FsFile& b) { return a.Name < b.Name; });
    return folder;
}

void SystemFileSystem::MoveFile(const QString& source, const QString& destination) {
    m_group.finish();
    const QString folder = wildcardFolder(source);
    if (folder.isNull())
        moveFileSafely(*m_calls, m_volumes, source, destination);
    else
        moveEveryFile(folder, destination);
}

void SystemFileSystem::moveEveryFile(const QString& folder, const QString& destinationFolder) {
    if (!FolderExists(destinationFolder))
        throw AppError(ErrorNumber::PathNotFound, sourceText(FsTask::MovingFile),
                       QStringLiteral("The files of \"%1\" could not be moved to \"%2\": the "
                                      "folder does not exist.")
                           .arg(shownPath(folder), shownPath(destinationFolder)));
    const FsFolder files = GetFolder(folder);
    if (files.Files.empty())
        throw AppError(
            ErrorNumber::FileNotFound, sourceText(FsTask::MovingFile),
            QStringLiteral("There are no files in \"%1\" to move.").arg(shownPath(folder)));
    try {
        for (const FsFile& file : files.Files)
            MoveInGroup(joinPath(folder, file.Name), joinPath(destinationFolder, file.Name));
        m_group.finish();
    } catch (...) {
        // This move's failure is said whole; none of its files is left for a later caller.
        m_group.takeFailures();
        throw;
    }
    // A file whose name was taken when it was published ends the move like any failure of a file.
    if (std::vector<FailedMove> failures = m_group.takeFailures(); !failures.empty())
        throw failures.front().error;
}

void SystemFileSystem::MoveInGroup(const QString& source, const QString& destination) {
    auto move = std::make_unique<StagedMove>(*m_calls, m_volumes, source, destination);
    bool done = false;
    try {
        done = move->start();
    } catch (...) {
        // The moves before this one settle first, and their failure comes first.
        m_group.settle();
        throw;
    }
    if (!done) {
        m_group.add(std::move(move));
        return;
    }
    ++m_movedAtOnce;
    // Moves counted in the order they were begun: a fill's moves all go one way, so a rename at
    // once never follows copies still waiting.
    m_group.settle();
}

void SystemFileSystem::SettleMoves() {
    m_group.finish();
}

std::int64_t SystemFileSystem::SettledMoves() const {
    return m_group.settled() + m_movedAtOnce;
}

std::vector<FailedMove> SystemFileSystem::TakeFailedMoves() {
    return m_group.takeFailures();
}

bool SystemFileSystem::DeleteDuplicate(const QString& duplicate, const QString& original) {
    m_group.finish();
    return removeDuplicate(*m_calls, duplicate, original);
}

void SystemFileSystem::CreateFolder(const QString& givenPath) {
    m_group.finish();
    if (m_calls->mkdir(encodeFileName(givenPath).constData(), 0777) == 0)
        return;
    const int error = errno;
    // Said without the separator a caller may end the path with.
    QString path = givenPath;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (error == EEXIST)
        throw AppError(
            ErrorNumber::FileAlreadyExists, sourceText(FsTask::MakingFolder),
            QStringLiteral("The folder \"%1\" could not be made: %2.")
                .arg(shownPath(path), FolderExists(path)
                                          ? QStringLiteral("it already exists")
                                          : QStringLiteral("a file of that name is in the way")));
    if (error == ENOENT || error == ENOTDIR)
        throw AppError(ErrorNumber::PathNotFound, sourceText(FsTask::MakingFolder),
                       QStringLiteral("The folder \"%1\" could not be made: the folder it belongs "
                                      "in does not exist.")
                           .arg(shownPath(path)));
    failFolder(error, path, FsTask::MakingFolder, QStringLiteral("made"));
}

std::vector<QString> SystemFileSystem::GetSubfolders(const QString& path) {
    m_group.finish();
    const QByteArray encoded = encodeFileName(path);
    struct stat own {};
    std::vector<FolderEntry> entries;
    if (m_calls->stat(encoded.constData(), &own) != 0 ||
        m_calls->listFolder(encoded.constData(), entries) != 0)
        failFolder(errno, path, FsTask::ReadingFolder, QStringLiteral("read"));
    std::vector<QString> folders;
    for (const FolderEntry& entry : entries) {
        if (!entry.folder)
            continue;
        const QString name = decodeFileName(entry.name);
        struct stat status {};
        // A folder that went away since the listing is simply not there.
        if (m_calls->lstat(encodeFileName(joinPath(path, name)).constData(), &status) == 0 &&
            S_ISDIR(status.st_mode) && status.st_dev == own.st_dev)
            folders.push_back(name);
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

void SystemFileSystem::MakeSubfolders(const QString& root, const QString& relative) {
    QString folder = root;
    for (const QString& part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        struct stat status {};
        const int found = m_calls->stat(encodeFileName(root).constData(), &status);
        if (found != 0 || !S_ISDIR(status.st_mode) || !m_volumes.matchesPin(root, status))
            failFolder(found != 0 && errno != ENOENT && errno != ENOTDIR ? errno : ENODEV, root,
                       FsTask::MakingFolder, QStringLiteral("reached"));
        folder = joinPath(folder, part);
        const QByteArray encoded = encodeFileName(folder);
        if (m_calls->mkdir(encoded.constData(), 0777) == 0)
            continue;
        const int error = errno;
        if (error != EEXIST)
            failFolder(error, folder, FsTask::MakingFolder, QStringLiteral("made"));
        if (m_calls->lstat(encoded.constData(), &status) != 0 || !S_ISDIR(status.st_mode))
            throw AppError(ErrorNumber::PathNotFound, sourceText(FsTask::MakingFolder),
                           QStringLiteral("The folder \"%1\" could not be made: something that is "
                                          "not a folder has that name.")
                               .arg(shownPath(folder)),
                           AppError::Reach::OneFile);
    }
}

void SystemFileSystem::DeleteFolder(const QString& path) {
    m_group.finish();
    if (m_calls->rmdir(encodeFileName(path).constData()) == 0)
        return;
    const int error = errno;
    if (error == ENOTEMPTY || error == EEXIST)
        throw AppError(ErrorNumber::PathFileAccess, sourceText(FsTask::RemovingFolder),
                       QStringLiteral("The folder \"%1\" could not be removed: it is not empty.")
                           .arg(shownPath(path)));
    failFolder(error, path, FsTask::RemovingFolder, QStringLiteral("removed"));
}

void SystemFileSystem::PinFolder(const QString& path) {
    m_group.finish();
    struct stat status {};
    if (m_calls->stat(encodeFileName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode))
        m_volumes.pin(path, status);
}

bool SystemFileSystem::FolderInPlace(const QString& path) {
    m_group.finish();
    struct stat status {};
    return m_calls->stat(encodeFileName(path).constData(), &status) == 0 &&
           S_ISDIR(status.st_mode) && m_volumes.matchesPin(path, status);
}

std::unique_ptr<FileSystemObject> createSystemFileSystem() {
    return std::make_unique<SystemFileSystem>();
}

std::optional<QByteArray> SystemFileSystem::ReadRecord(const QString& path) {
    m_group.finish();
    return readRecordFile(path);
}

bool SystemFileSystem::WriteRecord(const QString& path, const QByteArray& bytes) {
    m_group.finish();
    const SplitPath split = splitAtLastSlash(path);
    return replaceRecordFile(split.folder, split.name, bytes);
}

bool SystemFileSystem::RemoveRecord(const QString& path) {
    m_group.finish();
    return removeRecordFile(path);
}

FreeSpace SystemFileSystem::FreeSpaceOf(const QString& root) {
    return systemFreeSpace(root);
}

void SystemFileSystem::FinishKilledRun() {
    m_group.finish();
    // The temporaries go even when the moves cannot be completed now.
    std::exception_ptr failure;
    try {
        completeInterruptedMoves();
    } catch (...) {
        failure = std::current_exception();
    }
    removeRecordedTemporaries();
    if (failure)
        std::rethrow_exception(failure);
}
