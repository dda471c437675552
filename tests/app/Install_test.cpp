#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The build tree this test belongs to: the folder above the tests' own build folder.
QString buildFolder() {
    return QFileInfo(QStringLiteral(QT_TESTCASE_BUILDDIR)).absolutePath();
}

TEST(Install, PutsTheProgramItsManualsTheMenuEntryAndTheIconInPlace) {
    QTemporaryDir prefix;
    QProcess install;
    install.start(QStringLiteral("cmake"), {QStringLiteral("--install"), buildFolder(),
                                            QStringLiteral("--prefix"), prefix.path()});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

    const QDir root(prefix.path());
    EXPECT_TRUE(QFileInfo(root.filePath(QStringLiteral("bin/quavex"))).isExecutable());
    // Where Linux keeps documents once installed; beside the program in the build folder.
    EXPECT_TRUE(QFile::exists(root.filePath(QStringLiteral("share/doc/quavex/QUAVEX.html"))));
    EXPECT_TRUE(QFile::exists(buildFolder() + QStringLiteral("/QUAVEX.html")));
    EXPECT_TRUE(QFile::exists(root.filePath(QStringLiteral("share/man/man1/quavex.1.gz"))));
    EXPECT_TRUE(
        QFile::exists(root.filePath(QStringLiteral("lib/systemd/user/quavex-rotate@.service"))));
    for (const char* size : {"48x48", "256x256"})
        EXPECT_TRUE(QFile::exists(
            root.filePath(QStringLiteral("share/icons/hicolor/%1/apps/quavex.png").arg(size))))
            << size;

    // Software centres find the menu entry through the id their description names.
    const QString appId = QStringLiteral("com.larkspurlanesoftware.quavex");
    QFile metainfo(root.filePath(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(appId)));
    ASSERT_TRUE(metainfo.open(QIODevice::ReadOnly));
    EXPECT_TRUE(metainfo.readAll().contains(
        QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>")
            .arg(appId)
            .toUtf8()));
    const QString entry = root.filePath(QStringLiteral("share/applications/%1.desktop").arg(appId));
    ASSERT_TRUE(QFile::exists(entry));
    QSettings desktop(entry, QSettings::IniFormat);
    desktop.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(desktop.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
    EXPECT_EQ(desktop.value(QStringLiteral("Exec")).toString(), QStringLiteral("quavex"));
    EXPECT_EQ(desktop.value(QStringLiteral("Icon")).toString(), QStringLiteral("quavex"));
}

} // namespace
