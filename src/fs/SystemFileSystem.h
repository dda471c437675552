#pragma once

#include "fs/FileSystemObject.h"
#include "fs/MoveGroup.h"
#include "fs/VolumeTraits.h"

#include <memory>

class SystemCalls;

// The file-system service object on the real file system. Paths use "/"; a wildcard source may
// also end in "\*.*". Every failure is an AppError whose source text says what was being done.
class SystemFileSystem : public FileSystemObject {
public:
    // The calls seam defaults to the real system calls; tests hand in one that fails on purpose.
    explicit SystemFileSystem(std::shared_ptr<SystemCalls> calls = {});

    bool FolderExists(const QString& path) override;
    // Regular files, our temporary files and the record of songs' origins left out, sorted by
    // name; the other entries in Others.
    FsFolder GetFolder(const QString& path) override;
    void MoveFile(const QString& source, const QString& destination) override;
    void MoveInGroup(const QString& source, const QString& destination) override;
    void SettleMoves() override;
    std::int64_t SettledMoves() const override;
    std::vector<FailedMove> TakeFailedMoves() override;
    bool DeleteDuplicate(const QString& duplicate, const QString& original) override;
    // Fails with FileAlreadyExists when the folder (or a file of that name) is already there.
    void CreateFolder(const QString& path) override;
    std::vector<QString> GetSubfolders(const QString& path) override;
    void MakeSubfolders(const QString& root, const QString& relative) override;
    // Fails with PathFileAccess while anything is in the folder.
    void DeleteFolder(const QString& path) override;
    void PinFolder(const QString& path) override;
    bool FolderInPlace(const QString& path) override;
    std::optional<QByteArray> ReadRecord(const QString& path) override;
    bool WriteRecord(const QString& path, const QByteArray& bytes) override;
    bool RemoveRecord(const QString& path) override;
    FreeSpace FreeSpaceOf(const QString& root) override;
    void FinishKilledRun() override;

private:
    void moveEveryFile(const QString& folder, const QString& destinationFolder);

    std::shared_ptr<SystemCalls> m_calls;
    // Judged once per volume for the life of the object, which is one run.
    KnownVolumes m_volumes;
    MoveGroup m_group;
    // Moves of MoveInGroup made at once, by a rename on one volume.
    std::int64_t m_movedAtOnce = 0;
};

// The factory production hands to the run.
std::unique_ptr<FileSystemObject> createSystemFileSystem();
