#include "fs/AppError.h"
#include "fs/Module1.h"
#include "support/ThrownError.h"

#include <gtest/gtest.h>

namespace {

const QString Untouched = QStringLiteral("(untouched)");

struct Split {
    QString folder = Untouched;
    QString fileName = Untouched;
    QString extension = Untouched;
};

Split parse(const QString& path, const QString& separator = QStringLiteral("\\")) {
    Split split;
    ParsePath(path, split.folder, split.fileName, &split.extension, separator);
    return split;
}

} // namespace

TEST(ParsePath, SplitsTheBackslashTable) {
    struct Row {
        const char* path;
        const char* folder;
        const char* fileName;
        const char* extension;
    };
    const Row rows[] = {
        {"C:\\Music\\Song.mp3", "C:\\Music", "Song", "mp3"},
        {"C:\\Music\\My.Song.mp3", "C:\\Music", "My.Song", "mp3"},
        {"E:\\Song.mp3", "E:", "Song", "mp3"},
        {"C:\\Music\\Readme", "C:\\Music", "Readme", ""},
        {"C:\\Music\\Song.", "C:\\Music", "Song.", ""},
        {"C:\\Music\\", "C:\\Music", "", ""},
    };
    for (const Row& row : rows) {
        const Split split = parse(QString::fromUtf8(row.path));
        EXPECT_EQ(split.folder, QString::fromUtf8(row.folder)) << row.path;
        EXPECT_EQ(split.fileName, QString::fromUtf8(row.fileName)) << row.path;
        EXPECT_EQ(split.extension, QString::fromUtf8(row.extension)) << row.path;
    }
}

TEST(ParsePath, WithoutASeparatorWritesOnlyTheExtension) {
    const Split split = parse(QStringLiteral("Song.mp3"));
    EXPECT_EQ(split.folder, Untouched);
    EXPECT_EQ(split.fileName, Untouched);
    EXPECT_EQ(split.extension, QStringLiteral("mp3"));
}

TEST(ParsePath, LeftOutExtensionKeepsItInTheFileName) {
    QString folder, fileName;
    ParsePath(QStringLiteral("C:\\Music\\Song.mp3"), folder, fileName, nullptr,
              QStringLiteral("\\"));
    EXPECT_EQ(folder, QStringLiteral("C:\\Music"));
    EXPECT_EQ(fileName, QStringLiteral("Song.mp3"));
}

TEST(ParsePath, SlashSeparatorIgnoresADotInAFolderName) {
    const Split split = parse(QStringLiteral("a/b.c/readme"), QStringLiteral("/"));
    EXPECT_EQ(split.folder, QStringLiteral("a/b.c"));
    EXPECT_EQ(split.fileName, QStringLiteral("readme"));
    EXPECT_EQ(split.extension, QString());
}

TEST(ParsePath, DotOnlyInAFolderNameFailsAfterWritingTheExtension) {
    Split split;
    EXPECT_EQ(errorNumberOf([&] {
                  ParsePath(QStringLiteral("C:\\My.Music\\Readme"), split.folder, split.fileName,
                            &split.extension, QStringLiteral("\\"));
              }),
              ErrorNumber::InvalidArgument);
    EXPECT_EQ(split.extension, QStringLiteral("Music\\Readme"));
    EXPECT_EQ(split.folder, Untouched);
    EXPECT_EQ(split.fileName, Untouched);
}

TEST(DiskFreeKB, RoundsHalvesToEven) {
    const auto clusters = [](std::uint64_t free) {
        return [free](const QString&) { return FreeSpace{1, 512, free, 100}; };
    };
    EXPECT_EQ(DiskFreeKB(QStringLiteral("E:"), clusters(3)), 2);
    EXPECT_EQ(DiskFreeKB(QStringLiteral("E:"), clusters(5)), 2);
    EXPECT_EQ(DiskFreeKB(QStringLiteral("E:"), clusters(7)), 4);
}

TEST(DiskFreeKB, PassesTheRootUnchangedAndGivesZeroWhenTheQueryFails) {
    QString asked;
    const qint64 free = DiskFreeKB(QStringLiteral("E:"), [&asked](const QString& root) {
        asked = root;
        return FreeSpace{};
    });
    EXPECT_EQ(asked, QStringLiteral("E:"));
    EXPECT_EQ(free, 0);
    EXPECT_EQ(DiskFreeKB(QStringLiteral("/no/such/volume/anywhere")), 0);
}

TEST(DiskFreeKB, IsNotLimitedToTwoTerabytes) {
    // 2^32 free clusters of 4 KiB are 16 TiB.
    const qint64 free = DiskFreeKB(QStringLiteral("/big"), [](const QString&) {
        return FreeSpace{8, 512, std::uint64_t(1) << 32, std::uint64_t(1) << 33};
    });
    EXPECT_EQ(free, qint64(1) << 34);
}

TEST(DiskFreeKB, ClusterSizeBeyondSigned32BitsIsAnOverflow) {
    EXPECT_EQ(errorNumberOf([] {
                  DiskFreeKB(QStringLiteral("E:"), [](const QString&) {
                      return FreeSpace{65536, 65536, 1, 1};
                  });
              }),
              ErrorNumber::Overflow);
}
