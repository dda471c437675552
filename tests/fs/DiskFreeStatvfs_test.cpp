#include "fs/DriveRoot.h"
#include "fs/Module1.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/statvfs.h>

// The free space of a folder on Linux, where the folder itself is the drive root asked about.
TEST(DiskFreeKB, RealQueryAgreesWithStatvfs) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString root = driveRootOf(folder.path());
    EXPECT_EQ(root, folder.path());
    struct statvfs before {};
    ASSERT_EQ(::statvfs(QFile::encodeName(root).constData(), &before), 0);
    const qint64 free = DiskFreeKB(root);
    struct statvfs after {};
    ASSERT_EQ(::statvfs(QFile::encodeName(root).constData(), &after), 0);
    const auto kib = [](const struct statvfs& s) {
        return qint64(double(s.f_bavail) * double(s.f_frsize) / 1024.0);
    };
    // Other programs write meanwhile; the figure lies between the two readings, give or take one.
    EXPECT_GE(free, std::min(kib(before), kib(after)) - 1);
    EXPECT_LE(free, std::max(kib(before), kib(after)) + 1);
}
