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
// would; the source's volume gets the space back. On a FAT or exFAT volume a folder's entries
// take clusters of their own too, and so does each folder made.
//
// What it cannot foresee: the bookkeeping of other file systems, the temporaries a group of
// moves holds at once, and what another program changes meanwhile. The last song of a fill at
// the very end of the player's space may therefore differ from the real run's.
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
    // What the volume of a folder does with the folder's names: whether it ignores letter case,
    // and whether it keeps them in FAT's 32-byte entries, whose clusters the folder takes only
    // while the entries are in use (exFAT frees them again).
    struct NameRules {
        bool folded = false;
        bool entries = false;
    };
    // The names taken in a folder, letter case folded where the volume ignores it, and the bytes
    // of their entries; kept up to date once made, so that a move need not list its folder.
    struct Names {
        NameRules rules;
        QSet<QString> keys;
        std::int64_t entryBytes = 0;
        QString key(const QString& name) const { return rules.folded ? name.toCaseFolded() : name; }
    };
    struct Space {
        std::int64_t unit = 1;
        std::int64_t free = 0; // bytes
        FreeSpace real;
    };

    void moveFile(const QString& source, const QString& destination);
    void makeFolder(const QString& path);
    // The real file whose bytes the path holds now; null when it holds no file.
    QString fileAt(const QString& path);
    NameRules& rulesOf(const QString& folder);
    Names& namesIn(const QString& folder);
    // How many bytes the folder's own clusters grow by (or shrink, negative) when the name comes
    // into it (or leaves it).
    std::int64_t folderGrowth(const QString& folder, const QString& name, bool comes);
    // How many bytes the record at the path takes more (or fewer) with these bytes in it.
    std::int64_t recordGrowth(const QString& path, const QByteArray& after);
    // Says that the path's name is now taken (or free) in its folder.
    void noteName(const QString& path, bool taken);
    Space& spaceOf(const QString& path);
    // The bytes rounded up to whole allocation units of the path's volume.
    std::int64_t unitsOf(const QString& path, std::int64_t bytes);
    // Takes the bytes from the free space of the path's volume (negative: gives them back);
    // false, taking nothing, when they are not free.
    bool take(const QString& path, std::int64_t bytes);

    std::unique_ptr<FileSystemObject> m_real;
    // Paths whose file the rehearsal moved there (the real file holding its bytes) or away (null).
    QHash<QString, QString> m_files;
    // The names of the files moved into each folder, some perhaps moved away again.
    QHash<QString, QStringList> m_added;
    // Folders the rehearsal made (true) or removed (false).
    QHash<QString, bool> m_folders;
    QHash<QString, NameRules> m_rules;
    QHash<QString, Names> m_names;
    // Records the rehearsal wrote, or removed (nothing).
    QHash<QString, std::optional<QByteArray>> m_records;
    // By the device number of the volume.
    std::map<std::uint64_t, Space> m_spaces;
    // The volume of each path asked about, found once: a look at a card goes through its driver.
    QHash<QString, Space*> m_spaceFor;
    std::vector<RehearsedMove> m_moves;
    std::int64_t m_settled = 0;
};
