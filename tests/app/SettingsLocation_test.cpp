#include "app/QSettingsBackend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Alone in its program: the settings location is fixed by the first use of the store.
TEST(SettingsLocation, LiveInQuavexConfUnderTheUsersConfigFolder) {
    QTemporaryDir tmp;
    const QString config = tmp.path() + QStringLiteral("/xdg config");
    ASSERT_TRUE(QDir().mkpath(config));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));

    QSettingsBackend store;
    store.write(QStringLiteral("QUAVEX"), QStringLiteral("Settings"), QStringLiteral("drvIp"),
                QStringLiteral("/media/ann/PLAYER"));
    store.write(QStringLiteral("QUAVEX"), QStringLiteral("Settings"), QStringLiteral("MvWarn"),
                QStringLiteral("1"));

    QFile file(config + QStringLiteral("/QUAVEX.conf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Settings]\nMvWarn=1\ndrvIp=/media/ann/PLAYER\n"));
    EXPECT_EQ(QDir(config).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("QUAVEX.conf")});
    EXPECT_EQ(
        store.read(QStringLiteral("QUAVEX"), QStringLiteral("Settings"), QStringLiteral("drvIp")),
        QStringLiteral("/media/ann/PLAYER"));
    EXPECT_EQ(
        store.read(QStringLiteral("QUAVEX"), QStringLiteral("Settings"), QStringLiteral("dirIp")),
        std::nullopt);

    // A large damaged file is written anew, and that is a success.
    file.close();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray damaged(qsizetype{4} * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < damaged.size(); ++i)
        damaged[i] = static_cast<char>((i * 7919) % 251);
    file.write(damaged);
    file.close();
    EXPECT_NO_THROW(store.write(QStringLiteral("QUAVEX"), QStringLiteral("Settings"),
                                QStringLiteral("dirIp"), QStringLiteral("/home/ann/Music")));
    EXPECT_EQ(
        store.read(QStringLiteral("QUAVEX"), QStringLiteral("Settings"), QStringLiteral("dirIp")),
        QStringLiteral("/home/ann/Music"));
    EXPECT_LT(QFileInfo(file).size(), damaged.size());
}
