#include "app/Form1.h"
#include "app/WindowFace.h"
#include "controls/FolderList.h"
#include "fs/FileNameCodec.h"
#include "fs/Module1.h"
#include "rotation/SignedNumber.h"
#include "support/RotationWindow.h"
#include "support/ScratchVolume.h"
#include "support/TestFiles.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <cmath>
#include <gtest/gtest.h>

namespace {

void putSongs(const QString& folder, int count, qint64 size) {
    for (int i = 0; i < count; ++i)
        writeFile(QStringLiteral("%1/song%2.mp3").arg(folder).arg(i, 2, 10, QLatin1Char('0')),
                  size);
}

QString summary(qsizetype moved) {
    return QStringLiteral(" %1 files were moved to the MP3 player.").arg(moved);
}

// What the status line must show for a player folder at this moment.
QString expectedFigure(const QString& folder) {
    return signedNumber(static_cast<std::int64_t>(std::nearbyint(DiskFreeKB(folder) / 1024.0)));
}

class PlayerFull : public testing::Test {
protected:
    RotationWindow w;
    const std::vector<MessageRequest>& boxes() const { return w.env.prompter->shown; }

    // A run into the volume's root until the player reports that it is full.
    void expectFillUntilFull(ScratchVolume& player, int songs, qint64 songSize) {
        w.addDrive(player.root());
        putSongs(w.music(), songs, songSize);
        writeFile(player.root() + QStringLiteral("/old.mp3"), 10 * KiB);
        w.choose(w.music(), player.root(), w.card(), true, false);
        const FileCensus before = w.census();
        QStringList lines;
        QStringList expectedLines;
        QColor colourAtFirstYield;
        // Every text the status box shows, while this run lasts.
        QStringList shown;
        const QObject watching;
        QObject::connect(w.form->txtStatus, &QPlainTextEdit::textChanged, &watching,
                         [&] { shown.append(w.statusText()); });
        w.onYield = [&](int n) {
            if (n == 1)
                colourAtFirstYield = w.form->face().statusColour();
            if (n < 2)
                return;
            lines.append(w.statusText().section(QStringLiteral("\r\n"), 0, 0));
            expectedLines.append(QStringLiteral("Space remaining: ") +
                                 expectedFigure(player.root()) + QStringLiteral("MB"));
        };

        w.pressSelect();
        w.onYield = nullptr;

        const QStringList onPlayer = w.namesIn(player.root());
        EXPECT_GT(onPlayer.size(), 0);
        EXPECT_LT(onPlayer.size(), songs);
        EXPECT_EQ(w.form->face().statusColour(), QColor(255, 255, 0));
        EXPECT_EQ(colourAtFirstYield, QColor(255, 255, 255));
        EXPECT_EQ(w.statusText(), summary(onPlayer.size()) + "\r\n" +
                                      "Moving original files back to base directory...\r\n" +
                                      "Program processing complete");
        // The fill's last word before its summary.
        EXPECT_TRUE(shown.contains(QStringLiteral("Out of space on the MP3 player")));
        // The free space is asked for at the eye's pace: each attempt shows the figure of that
        // attempt or of an earlier one, the first attempt its own.
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.front(), expectedLines.front());
        for (qsizetype i = 0; i < lines.size(); ++i)
            EXPECT_TRUE(expectedLines.mid(0, i + 1).contains(lines[i])) << lines[i].toStdString();
        EXPECT_TRUE(boxes().empty());
        // Whole files only: the contents are those of the music folder, and nothing half-written.
        EXPECT_EQ(w.census(), before);
        EXPECT_TRUE(w.ownTemporaries().isEmpty());
        EXPECT_EQ(w.form->txtOp1Tot->text(), QStringLiteral("Total: %1").arg(onPlayer.size()));
    }
};

TEST_F(PlayerFull, OnASmallCardTheFillStopsYellowWithTheFilesThatFit) {
    ScratchVolume player = ScratchVolume::exfat(3);
    QUAVEX_REQUIRE_MOUNTED(player);
    // Run twice: the second run starts white again, and it exchanges the player's files.
    expectFillUntilFull(player, 8, 300 * KiB);
    w.env.prompter->shown.clear();
    const FileCensus before = w.census();
    w.pressSelect();
    EXPECT_EQ(w.census(), before);
    EXPECT_EQ(w.form->face().statusColour(), QColor(255, 255, 0)) << w.statusText().toStdString();
}

TEST_F(PlayerFull, OnASmallFatImageTheFillStopsYellowWithTheFilesThatFit) {
    ScratchVolume player = ScratchVolume::fat(4);
    QUAVEX_REQUIRE_MOUNTED(player);
    expectFillUntilFull(player, 8, 700 * KiB);
}

TEST_F(PlayerFull, AFullPlayerAtTheFirstAttemptMovesNothingAndTheCardTakesWhatIsLeft) {
    ScratchVolume internal = ScratchVolume::tmpfs(64);
    ScratchVolume card = ScratchVolume::tmpfs(1024);
    QUAVEX_REQUIRE_MOUNTED(internal);
    QUAVEX_REQUIRE_MOUNTED(card);
    w.addDrive(internal.root());
    w.addDrive(card.root());
    putSongs(w.music(), 3, 200 * KiB);
    w.choose(w.music(), internal.root(), card.root(), true, true);
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_TRUE(w.namesIn(internal.root()).isEmpty());
    EXPECT_EQ(w.namesIn(card.root()).size(), 3);
    EXPECT_EQ(w.yields, 4); // one attempt on the full internal memory, three on the card
    EXPECT_EQ(w.statusText(), summary(3) + "\r\nProgram processing complete");
    // The colour stays until the next run, though the card took everything.
    EXPECT_EQ(w.form->face().statusColour(), QColor(255, 255, 0));
    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.ownTemporaries().isEmpty());
}

TEST_F(PlayerFull, MusicTheCardCannotStoreIsNeverTriedAndIsNamedAfterTheRun) {
    ScratchVolume card = ScratchVolume::exfat(8);
    QUAVEX_REQUIRE_MOUNTED(card);
    w.addDrive(card.root());
    writeFiles(w.music(), {"a:b.mp3", "what?.mp3", "CON.mp3", decodeFileName("b\xe9.mp3"),
                           "Title (Live).mp3", "z.wma"});
    w.choose(w.music(), card.root(), w.card(), true, false);
    const FileCensus before = w.census();

    w.pressSelect();

    EXPECT_EQ(w.namesIn(card.root()), QStringList({"Title (Live).mp3", "z.wma"}));
    EXPECT_EQ(w.yields, 2); // only the two the card can store were drawn
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(w.statusText(),
              summary(2) + "\r\nProgram processing complete\r\n4 music files were left in the Hard "
                           "Drive Music Directory: the player cannot store them (CON.mp3: a "
                           "reserved name; a:b.mp3: contains \":\"; b\uFFFD.mp3: not readable "
                           "text; ...). Rename them to include them.");
    EXPECT_EQ(w.census(), before);
}

} // namespace
