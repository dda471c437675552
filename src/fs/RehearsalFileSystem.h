#pragma once

#include "fs/FileSystemObject.h"

#include <QHash>
#include <QSet>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// A move a rehearsal made: where the file was, where it went (empty for a held copy dropped as
// the duplicate of a file already in the music folder), and its size.
struct RehearsedMove {
    QString source;
    QString destination;
    std::int64_t bytes = 0;
};

// A run's file-system object that changes nothing on disk. It reads the folders, the records and
// the free space through a real object and keeps every move, folder and record the run makes to
// itself, so that the run goes on as over the folders it would have made: the same checks, the
// same draw, the same names. A move to another volume takes the space of its file there in
// whole allocation units and fails with DiskFull when that space is not free, as the real move
// would; the source's volume gets the space back.
//
// What it cannot foresee: the space a volume's file system takes for its folders' entries, and
// what another program changes meanwhile. The last song of a fill near the end of the player's
// space may therefore differ from the real run's.
class RehearsalFileSystem : public FileSystemObject {
public:
    explicit RehearsalFileSystem(std::unique_ptr<FileSystemObject> real);

    bool FolderExists(const QString& path) override;
    FsFolder GetFolder(const QString& path) override;
    void MoveFile(const QString& source, const QString& destination) override;
    void MoveInGroup(const QString& source, const QString& destination) override;
    void SettleMoves() override {}
    std::int64_t SettledMoves() const override { return m_settled; }
    std::vector<FailedMove> TakeFailedMoves() override { return {}; }
    bool DeleteDuplicate(const QString& duplicate, const QString& original) override;
    void CreateFolder(const QString& path) override;
    std::vector<QString> GetSubfolders(const QString& path) override;
    void MakeSubfolders(const QString& root, const QString& relative) override;
    void PinFolder(const QString& path) override;
    bool FolderInPlace(const QString& path) override;
    void DeleteFolder(const QString& path) override;
    std::optional<QByteArray> ReadRecord(const QString& path) override;
    bool WriteRecord(const QString& path, const QByteArray& bytes) override;
    bool RemoveRecord(const QString& path) override;
    FreeSpace FreeSpaceOf(const QString& root) override;
    // A rehearsal completes nothing; the next real run does.
    void FinishKilledRun() override {}

    // Every move made, in the order made.
    const std::vector<RehearsedMove>& moves() const { return m_moves; }

private:
    // The names taken in a folder, letter case folded on a volume that ignores it; kept up to date
    // once made, so that a move need not list its folder.
    struct Names {
        bool folded = false;
        QSet<QString> keys;
        QString key(const QString& name) const { return folded ? name.toCaseFolded() : name; }
    };
    struct Space {
        std::int64_t unit = 1;
        std::int64_t free = 0; // bytes
        FreeSpace real;
    };

    void moveFile(const QString& source, const QString& destination);
    // The real file whose bytes the path holds now; null when it holds no file.
    QString fileAt(const QString& path);
    bool nameTaken(const QString& folder, const QString& name);
    // Says that the name is now taken (or free) in the folder.
    void noteName(const QString& path, bool taken);
    Space& spaceOf(const QString& path);
    // Charges the volume of the path with the bytes added there (negative: freed); false, with
    // nothing charged, when they do not fit.
    bool charge(const QString& path, std::int64_t before, std::int64_t after);

    std::unique_ptr<FileSystemObject> m_real;
    // Paths whose file the rehearsal moved there (the real file holding its bytes) or away (null).
    QHash<QString, QString> m_files;
    // The names of the files moved into each folder, some perhaps moved away again.
    QHash<QString, QStringList> m_added;
    // Folders the rehearsal made (true) or removed (false).
    QHash<QString, bool> m_folders;
    QHash<QString, Names> m_names;
    // Records the rehearsal wrote, or removed (nothing).
    QHash<QString, std::optional<QByteArray>> m_records;
    // By the device number of the volume.
    std::map<std::uint64_t, Space> m_spaces;
    std::vector<RehearsedMove> m_moves;
    std::int64_t m_settled = 0;
};
