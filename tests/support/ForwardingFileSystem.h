#pragma once

#include "fs/FileSystemObject.h"
#include "fs/SystemFileSystem.h"

#include <memory>

// The real file-system object with every call passed through; a test overrides only the calls it
// makes fail, slow or watched.
class ForwardingFileSystem : public FileSystemObject {
public:
    explicit ForwardingFileSystem(std::unique_ptr<FileSystemObject> real = createSystemFileSystem())
        : m_real(std::move(real)) {}

    bool FolderExists(const QString& path) override { return m_real->FolderExists(path); }
    FsFolder GetFolder(const QString& path) override { return m_real->GetFolder(path); }
    void MoveFile(const QString& source, const QString& destination) override {
        m_real->MoveFile(source, destination);
    }
    // Each move of a fill goes on at once through MoveFile, so that a test overriding MoveFile
    // sees every move; the real grouping is tested on the real object.
    void MoveInGroup(const QString& source, const QString& destination) override {
        MoveFile(source, destination);
        ++m_settled;
    }
    void SettleMoves() override {}
    std::int64_t SettledMoves() const override { return m_settled; }
    std::vector<FailedMove> TakeFailedMoves() override { return {}; }
    bool DeleteDuplicate(const QString& duplicate, const QString& original) override {
        return m_real->DeleteDuplicate(duplicate, original);
    }
    void CreateFolder(const QString& path) override { m_real->CreateFolder(path); }
    std::vector<QString> GetSubfolders(const QString& path) override {
        return m_real->GetSubfolders(path);
    }
    void MakeSubfolders(const QString& root, const QString& relative) override {
        m_real->MakeSubfolders(root, relative);
    }
    void DeleteFolder(const QString& path) override { m_real->DeleteFolder(path); }
    void PinFolder(const QString& path) override { m_real->PinFolder(path); }
    bool FolderInPlace(const QString& path) override { return m_real->FolderInPlace(path); }
    std::optional<QByteArray> ReadRecord(const QString& path) override {
        return m_real->ReadRecord(path);
    }
    bool WriteRecord(const QString& path, const QByteArray& bytes) override {
        return m_real->WriteRecord(path, bytes);
    }
    bool RemoveRecord(const QString& path) override { return m_real->RemoveRecord(path); }
    FreeSpace FreeSpaceOf(const QString& root) override { return m_real->FreeSpaceOf(root); }
    void FinishKilledRun() override { m_real->FinishKilledRun(); }

protected:
    FileSystemObject& real() const { return *m_real; }

private:
    std::unique_ptr<FileSystemObject> m_real;
    std::int64_t m_settled = 0;
};
