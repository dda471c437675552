#include "fs/AppError.h"
#include "fs/OwnTemporaries.h"
#include "fs/SystemCalls.h"
#include "fs/SystemFileSystem.h"
#include "support/LocalFolderTest.h"
#include "support/RotationWindow.h"
#include "support/ScratchVolume.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <mutex>

// Faults a real volume cannot be made to show on demand, made by the system-call seam: the
// chosen call fails the nth time it is made, and with a device that vanishes, every call after it.
// A move of every file in a folder flushes one file while it copies the next, so the calls come
// from two threads.
namespace {

// Create is an open that creates a file.
enum class Call { Create, Read, Write, Fsync, Syncfs, RenameNoReplace, Link, Unlink };

class FaultyCalls : public SystemCalls {
public:
    void failAt(Call call, int nth, int error) { m_faults[call] = {nth, error}; }
    void vanishAfterFault() { m_vanish = true; }
    // Every such call fails with the error, as where a file system lacks the feature.
    void refuse(Call call, int error) { m_refusals[call] = error; }
    void reportNoRoom() { m_noRoom = true; }
    // Writes at most this many bytes per call, and every third call is interrupted.
    void chopWrites(size_t most) { m_chop = most; }
    int choppedWriteCalls() const { return m_writeCalls; }
    int refusedCalls(Call call) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_refusedCalls[call];
    }

    ssize_t read(int fd, void* buffer, size_t size) override {
        return shouldFail(Call::Read) ? -1 : SystemCalls::read(fd, buffer, size);
    }
    ssize_t write(int fd, const void* buffer, size_t size) override {
        if (shouldFail(Call::Write))
            return -1;
        if (m_chop > 0) {
            if (++m_writeCalls % 3 == 0) {
                errno = EINTR;
                return -1;
            }
            size = std::min(size, m_chop);
        }
        return SystemCalls::write(fd, buffer, size);
    }
    int fsync(int fd) override { return shouldFail(Call::Fsync) ? -1 : SystemCalls::fsync(fd); }
    int syncfs(int fd) override { return shouldFail(Call::Syncfs) ? -1 : SystemCalls::syncfs(fd); }
    int renameNoReplace(const char* from, const char* to) override {
        return shouldFail(Call::RenameNoReplace) ? -1 : SystemCalls::renameNoReplace(from, to);
    }
    int link(const char* from, const char* to) override {
        return shouldFail(Call::Link) ? -1 : SystemCalls::link(from, to);
    }
    int unlink(const char* path) override {
        return shouldFail(Call::Unlink) ? -1 : SystemCalls::unlink(path);
    }
    int open(const char* path, int flags, mode_t mode) override {
        if ((flags & O_CREAT) != 0 && shouldFail(Call::Create))
            return -1;
        return gone() ? -1 : SystemCalls::open(path, flags, mode);
    }
    int close(int fd) override {
        const int result = SystemCalls::close(fd);
        return gone() ? -1 : result;
    }
    int statvfs(const char* path, struct statvfs* status) override {
        if (gone())
            return -1;
        const int result = SystemCalls::statvfs(path, status);
        if (m_noRoom)
            status->f_bavail = 0;
        return result;
    }
    int rename(const char* from, const char* to) override {
        return gone() ? -1 : SystemCalls::rename(from, to);
    }

private:
    bool gone() const {
        if (m_gone)
            errno = m_goneError;
        return m_gone;
    }

    bool shouldFail(Call call) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (gone())
            return true;
        if (const auto refusal = m_refusals.find(call); refusal != m_refusals.end()) {
            ++m_refusedCalls[call];
            errno = refusal->second;
            return true;
        }
        const auto fault = m_faults.find(call);
        if (fault == m_faults.end() || ++m_counts[call] != fault->second.first)
            return false;
        errno = fault->second.second;
        if (m_vanish) {
            m_goneError = errno;
            m_gone = true;
        }
        return true;
    }

    std::mutex m_mutex;
    std::map<Call, std::pair<int, int>> m_faults;
    std::map<Call, int> m_counts;
    std::map<Call, int> m_refusals;
    std::map<Call, int> m_refusedCalls;
    bool m_vanish = false;
    // Read by every call, from either thread.
    std::atomic<bool> m_gone{false};
    std::atomic<int> m_goneError{0};
    bool m_noRoom = false;
    size_t m_chop = 0;
    int m_writeCalls = 0;
};

class InjectedFaults : public LocalFolderTest {
protected:
    void SetUp() override {
        LocalFolderTest::SetUp();
        song = patternBytes(3 * MiB + 5, 7);
        writeTestFile(source(), song);
    }

    QString source() const { return localPath("Song.mp3"); }

    // Moves the song onto the card through the faulty calls; the error number, 0 for success.
    std::int32_t moveOnto(const QString& folder, QString* description = nullptr) {
        SystemFileSystem faulty(calls);
        return fsoErrorOf([&] { faulty.MoveFile(source(), folder + "/Song.mp3"); }, description);
    }

    // Starts over with calls whose nth call of the kind fails with the error.
    void failFreshAt(Call call, int nth, int error) {
        calls = std::make_shared<FaultyCalls>();
        calls->failAt(call, nth, error);
    }

    QByteArray song;
    std::shared_ptr<FaultyCalls> calls = std::make_shared<FaultyCalls>();
};

} // namespace

// Three moves settle as one group: their copies are flushed together (one syncfs on tmpfs, one
// fsync on the exFAT card, whose driver flushes the whole device for it, one fsync each on
// fusefat), then published one by one, their folder flushed once, and only then their sources
// deleted. A group that fails before the deletions is taken back whole; a source that cannot be
// deleted takes its own copy back, and the others are moved.
TEST_F(InjectedFaults, AGroupThatCannotSettleIsTakenBackWholeAndCountsOnlyWhatReachedTheCard) {
    ScratchVolume tmpfs = ScratchVolume::tmpfs(16384);
    ScratchVolume exfat = ScratchVolume::exfat(16);
    ScratchVolume fat = ScratchVolume::fat(16);
    QUAVEX_REQUIRE_MOUNTED(tmpfs);
    QUAVEX_REQUIRE_MOUNTED(exfat);
    QUAVEX_REQUIRE_MOUNTED(fat);
    struct Fault {
        const ScratchVolume& card;
        Call call;
        int nth;
        const char* step;
        // The file the error names: the one that failed, the group's first where all failed.
        const char* named;
        QStringList onCard;
    };
    const Fault faults[] = {
        {tmpfs, Call::Syncfs, 1, "flushing the copies", "Song.mp3", {}},
        {exfat, Call::Fsync, 2, "flushing the folder", "Song.mp3", {}},
        {fat, Call::Fsync, 2, "flushing the second copy", "a.mp3", {}},
        {tmpfs, Call::RenameNoReplace, 2, "publishing the second", "a.mp3", {}},
        {tmpfs, Call::Fsync, 1, "flushing the folder", "Song.mp3", {}},
        {exfat, Call::Unlink, 2, "deleting the second source", "a.mp3", {"Song.mp3", "b.mp3"}}};
    const QStringList names = {"Song.mp3", "a.mp3", "b.mp3"};
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.step);
        for (int i = 0; i < names.size(); ++i)
            writeTestFile(localPath(names[i]), patternBytes(MiB, i));
        failFreshAt(fault.call, fault.nth, EIO);
        SystemFileSystem faulty(calls);
        QString description;

        EXPECT_EQ(fsoErrorOf(
                      [&] {
                          for (const QString& name : names)
                              faulty.MoveInGroup(localPath(name), fault.card.root() + "/" + name);
                          faulty.SettleMoves();
                      },
                      &description),
                  ErrorNumber::DeviceIO);

        EXPECT_EQ(namesInFolder(fault.card.root()), fault.onCard);
        // A published copy counts even where its source could not be deleted.
        EXPECT_EQ(faulty.SettledMoves(), fault.onCard.size());
        EXPECT_TRUE(description.startsWith(QStringLiteral("\"%1\"").arg(fault.named)))
            << description.toStdString();
        for (int i = 0; i < names.size(); ++i) {
            if (fault.onCard.isEmpty() || names[i] == "a.mp3") {
                EXPECT_EQ(readTestFile(localPath(names[i])), patternBytes(MiB, i));
            }
        }
        for (const QString& name : fault.onCard)
            QFile::remove(fault.card.root() + "/" + name);
    }
}

// A fill counts a file once its group has settled: when a later group cannot be flushed, the
// group is taken back, the summary counts the groups before it, and one box says why. A file whose
// name is taken meanwhile, when its copy is published, is left out alone.
TEST_F(InjectedFaults, AFillCountsOnlyTheGroupsThatSettled) {
    struct Fault {
        Call call;
        int nth;
        int error;
    };
    for (const Fault& fault :
         {Fault{Call::Syncfs, 2, EIO}, Fault{Call::RenameNoReplace, 70, EEXIST}}) {
        const bool alone = fault.error == EEXIST;
        SCOPED_TRACE(fault.nth);
        ScratchVolume player = ScratchVolume::tmpfs(16384);
        QUAVEX_REQUIRE_MOUNTED(player);
        RotationWindow w;
        w.addDrive(player.root());
        for (int i = 0; i < 100; ++i)
            writeFile(w.music() + QStringLiteral("/song%1.mp3").arg(i));
        failFreshAt(fault.call, fault.nth, fault.error);
        w.createFileSystem = [this] { return std::make_unique<SystemFileSystem>(calls); };
        w.choose(w.music(), player.root(), w.card(), true, false);

        w.pressSelect();

        const qsizetype moved = w.namesIn(player.root()).size();
        EXPECT_GT(moved, 0);
        EXPECT_EQ(moved < 99, !alone);
        EXPECT_EQ(w.namesIn(w.music()).size(), 100 - moved);
        EXPECT_TRUE(w.statusText().startsWith(
            QStringLiteral(" %1 files were moved to the MP3 player.\r\n").arg(moved)))
            << w.statusText().toStdString();
        EXPECT_EQ(w.env.prompter->shown.size(), alone ? 0u : 1u);
        EXPECT_EQ(w.statusText().contains(QStringLiteral("(its name is taken on the player)")),
                  alone);
        EXPECT_TRUE(w.ownTemporaries().isEmpty());
    }
}

// Music is moved, never copied: the copy goes again, and only where it cannot is the song in both
// places.
TEST_F(InjectedFaults, ASourceThatCannotBeDeletedTakesItsCopyBackAndSaysWhereTheSongIs) {
    ScratchVolume card = ScratchVolume::tmpfs(8192);
    QUAVEX_REQUIRE_MOUNTED(card);
    for (const bool copyStays : {false, true}) {
        SCOPED_TRACE(copyStays);
        writeTestFile(source(), song);
        calls = std::make_shared<FaultyCalls>();
        if (copyStays)
            calls->refuse(Call::Unlink, EACCES);
        else
            calls->failAt(Call::Unlink, 1, EACCES);
        QString description;

        EXPECT_EQ(moveOnto(card.root(), &description), ErrorNumber::PermissionDenied);

        EXPECT_EQ(description,
                  "\"Song.mp3\" could not be moved to \"" + card.root() +
                      "\": it could not be deleted from \"" + local.path() +
                      (copyStays ? "\" because permission was denied, and its copy could not be "
                                   "removed again, so it now exists in both places."
                                 : "\" because permission was denied; its copy was removed "
                                   "again, so it stayed where it was."));
        EXPECT_EQ(readTestFile(source()), song);
        EXPECT_EQ(QFile::exists(card.root() + "/Song.mp3"), copyStays);
        QFile::remove(card.root() + "/Song.mp3");
    }
}

TEST_F(InjectedFaults, DeviceVanishingMidCopyLeavesNothingUnderTheFinalName) {
    ScratchVolume card = ScratchVolume::tmpfs(8192);
    QUAVEX_REQUIRE_MOUNTED(card);
    calls->failAt(Call::Write, 2, ENOTCONN);
    calls->vanishAfterFault();

    EXPECT_EQ(moveOnto(card.root()), ErrorNumber::DeviceUnavailable);

    EXPECT_EQ(readTestFile(source()), song);
    EXPECT_FALSE(QFile::exists(card.root() + "/Song.mp3"));
    // The half-written copy could not be removed; it is ours, hidden from listings, recorded,
    // and goes at the next start once the device answers again.
    const QStringList left = namesInFolder(card.root());
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(isOwnTemporaryName(left[0])) << left[0].toStdString();
    EXPECT_TRUE(SystemFileSystem().GetFolder(card.root()).Files.empty());
    removeRecordedTemporaries();
    EXPECT_TRUE(namesInFolder(card.root()).isEmpty());
}

// A failed step of a copy onto a card leaves the source whole and no trace on the card, and the
// error is named for its cause.
TEST_F(InjectedFaults, AFailedStepOfACopyLeavesTheSourceAndNoTraceAndSaysWhy) {
    ScratchVolume card = ScratchVolume::tmpfs(8192);
    QUAVEX_REQUIRE_MOUNTED(card);
    struct Case {
        const char* step;
        Call call;
        int nth;
        int error;
        bool roomLeft;
        std::int32_t number;
        const char* reason;
    };
    const char* const failing = "could not read or write the data";
    const char* const full = "the disk is full";
    // Across volumes no rename is tried before the copy, so the first one publishes; the first
    // fsync flushes the copy, the second its folder. A refusal while there is room is what it
    // says; the same refusal on a volume with no room left (fusefat's answer when full) is the
    // disk-full error. A file too large for the file system is not a full player, and a create
    // the driver refuses in a folder that exists is no missing file (fusefat says ENOENT).
    const Case cases[] = {
        {"first write", Call::Write, 1, EIO, true, ErrorNumber::DeviceIO, failing},
        {"later write", Call::Write, 3, EIO, true, ErrorNumber::DeviceIO, failing},
        {"flushing the copy", Call::Fsync, 1, EIO, true, ErrorNumber::DeviceIO, failing},
        {"publishing", Call::RenameNoReplace, 1, EIO, true, ErrorNumber::DeviceIO, failing},
        {"flushing the folder", Call::Fsync, 2, EIO, true, ErrorNumber::DeviceIO, failing},
        {"write, no space", Call::Write, 2, ENOSPC, true, ErrorNumber::DiskFull, full},
        {"write, over quota", Call::Write, 2, EDQUOT, true, ErrorNumber::DiskFull,
         "this account may use on the drive is used up"},
        {"write, too large", Call::Write, 2, EFBIG, true, ErrorNumber::FileTooLarge,
         "too large for the drive's"},
        {"flush, no space", Call::Fsync, 1, ENOSPC, true, ErrorNumber::DiskFull, full},
        {"write refused with room left", Call::Write, 2, EPERM, true, ErrorNumber::PermissionDenied,
         "permission was denied"},
        {"write refused on a full volume", Call::Write, 2, EPERM, false, ErrorNumber::DiskFull,
         full},
        {"write, read-only", Call::Write, 2, EROFS, true, ErrorNumber::PermissionDenied,
         "read-only"},
        {"create refused", Call::Create, 1, ENOENT, true, ErrorNumber::PathFileAccess,
         "refused to create it"},
        // An error without words of ours is quoted, never run into the sentence.
        {"write, unforeseen", Call::Write, 2, EINVAL, true, ErrorNumber::PathFileAccess,
         ": the system gave error 22, \"Invalid argument\"."},
        {"publishing, name refused", Call::RenameNoReplace, 1, EILSEQ, true,
         ErrorNumber::BadFileName, "does not accept the name"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        failFreshAt(c.call, c.nth, c.error);
        if (!c.roomLeft)
            calls->reportNoRoom();
        QString description;
        EXPECT_EQ(moveOnto(card.root(), &description), c.number);
        EXPECT_TRUE(description.contains(QLatin1String(c.reason))) << description.toStdString();
        EXPECT_EQ(readTestFile(source()), song);
        EXPECT_TRUE(namesInFolder(card.root()).isEmpty());
    }
}

// A file another program holds, or one kept online only whose download fails, is that file's own
// failure: the next file may well move.
TEST_F(InjectedFaults, AFileInUseOrKeptOnlineIsThatFilesOwnFailure) {
    ScratchVolume card = ScratchVolume::tmpfs(8192);
    QUAVEX_REQUIRE_MOUNTED(card);
    struct Case {
        Call call;
        int error;
        QString folder;
        const char* reason;
    };
    const Case cases[] = {
        {Call::Read, ENOLINK, card.root(), "kept online only and could not be downloaded"},
        {Call::RenameNoReplace, EBUSY, localPath("Moved"), "in use by another program"}};
    QDir().mkpath(localPath("Moved"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        failFreshAt(c.call, 1, c.error);
        SystemFileSystem faulty(calls);
        try {
            faulty.MoveFile(source(), c.folder + "/Song.mp3");
            ADD_FAILURE() << "the move succeeded";
        } catch (const AppError& error) {
            EXPECT_TRUE(error.onlyThisFile());
            EXPECT_TRUE(error.description().contains(QLatin1String(c.reason)))
                << error.description().toStdString();
        }
        EXPECT_EQ(readTestFile(source()), song);
        EXPECT_TRUE(namesInFolder(c.folder).isEmpty());
    }
}

TEST_F(InjectedFaults, ShortAndInterruptedWritesStillCopyEveryByte) {
    ScratchVolume card = ScratchVolume::tmpfs(8192);
    QUAVEX_REQUIRE_MOUNTED(card);
    calls->chopWrites(100000);

    EXPECT_EQ(moveOnto(card.root()), 0);

    // The copy went through the chopped writes: one call per 100,000 bytes at least.
    EXPECT_GT(calls->choppedWriteCalls(), song.size() / 100000);
    EXPECT_EQ(readTestFile(card.root() + "/Song.mp3"), song);
    EXPECT_FALSE(QFile::exists(source()));
}

TEST_F(InjectedFaults, WithoutTheNoReplaceFlagAMoveLinksAndUndoesAFailedUnlink) {
    const QString destination = localPath("Moved.mp3");
    calls->refuse(Call::RenameNoReplace, EINVAL);
    calls->failAt(Call::Unlink, 1, EIO);
    SystemFileSystem faulty(calls);

    EXPECT_THROW(faulty.MoveFile(source(), destination), AppError);
    EXPECT_EQ(readTestFile(source()), song);
    EXPECT_FALSE(QFile::exists(destination));

    faulty.MoveFile(source(), destination);
    EXPECT_EQ(readTestFile(destination), song);
    EXPECT_FALSE(QFile::exists(source()));
}

TEST_F(InjectedFaults, WithoutHardLinksAnExistingNameIsStillNeverReplaced) {
    const QString destination = localPath("Other.mp3");
    writeTestFile(destination, "other");
    calls->refuse(Call::RenameNoReplace, EINVAL);
    calls->refuse(Call::Link, EPERM);
    SystemFileSystem faulty(calls);

    EXPECT_THROW(faulty.MoveFile(source(), destination), AppError);
    EXPECT_EQ(readTestFile(destination), "other");
    EXPECT_EQ(readTestFile(source()), song);

    faulty.MoveFile(source(), localPath("Free.mp3"));
    EXPECT_EQ(readTestFile(localPath("Free.mp3")), song);
    faulty.MoveFile(localPath("Free.mp3"), localPath("Again.mp3"));
    EXPECT_EQ(readTestFile(localPath("Again.mp3")), song);
    // The volume's refusals are asked for once per run, not at every move.
    EXPECT_EQ(calls->refusedCalls(Call::RenameNoReplace), 1);
    EXPECT_EQ(calls->refusedCalls(Call::Link), 1);
}
