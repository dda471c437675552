#include "app/HoldingFolder.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/SystemFileSystem.h"
#include "rotation/SongOrigins.h"
#include "support/OwnStateFolder.h"
#include "support/RotationWindow.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A run with the holding folder where Windows has it, C:\QUAVEXTemp.
namespace {

QStringList rootOfC() {
    QStringList names =
        QDir(QStringLiteral("C:/"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort(Qt::CaseInsensitive);
    return names;
}

} // namespace

// A standard account may make folders in the root of C: but no files; every account may write
// into a folder made there; and a message writes a path as Windows does.
TEST(WindowsRun, KeepsOnlyTheHoldingFolderInTheRootOfCAndNeverAnotherUsersHeldFiles) {
    RotationWindow w;
    w.shareHoldingFolder(defaultHoldingFolder());
    ASSERT_FALSE(QFileInfo::exists(w.holding())) << "a holding folder is in the way";
    const QStringList before = rootOfC();
    QStringList whileHeld = before;
    whileHeld.append(QStringLiteral("QUAVEXTemp"));
    whileHeld.sort(Qt::CaseInsensitive);
    writeFiles(w.music(), {"a.mp3", "b.mp3"});
    writeFiles(w.player(), {"p.mp3"});
    w.choose(w.music(), w.player(), w.card(), true, true);
    ASSERT_TRUE(QDir(w.card()).removeRecursively());
    w.onYield = [&](int n) {
        if (n == 2) // the first attempt of the fill
            w.form->cmdBreak->click();
    };

    w.pressSelect();

    EXPECT_EQ(rootOfC(), whileHeld);
    const std::vector<MessageRequest>& boxes = w.env.prompter->shown;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains(QDir::toNativeSeparators(w.card())));
    EXPECT_FALSE(boxes[0].text.contains(QLatin1Char('/'))) << boxes[0].text.toStdString();

    // Another account's run leaves this user's held files where they are.
    RotationWindow other;
    other.shareHoldingFolder(w.holding());
    writeFiles(other.music(), {"x.mp3"});
    other.choose(other.music(), other.player(), other.card(), true, false);
    const QTemporaryDir otherState;
    OwnStateFolder::asUserOf(otherState.path(), [&] { other.pressSelect(); });
    ASSERT_EQ(other.env.prompter->shown.size(), 1u);
    EXPECT_TRUE(other.env.prompter->shown[0].text.startsWith(
        QStringLiteral("1 file in the temporary directory C:\\QUAVEXTemp was not held by a run of "
                       "yours")));
    EXPECT_EQ(w.namesIn(w.holding()), QStringList({"p.mp3"}));

    w.onYield = {};
    w.form->chk2->setValue(0);
    w.pressSelect();
    EXPECT_EQ(rootOfC(), before);
    // The player's record, renamed over the one its fill began with, names each song's folder.
    const std::optional<SongOrigins> origins =
        readSongOrigins(*createSystemFileSystem(), w.player());
    ASSERT_TRUE(origins);
    EXPECT_TRUE(origins->fillBegun.isEmpty());
    EXPECT_EQ(origins->songs.size(), 3);
    for (const QString& folder : origins->songs)
        EXPECT_EQ(folder, w.form->Dir1->Path());
}
