#include "app/Form1.h"
#include "app/OptionsCommand.h"
#include "app/WindowFace.h"
#include "controls/FileList.h"
#include "rotation/RotationMemory.h"
#include "support/RotationWindow.h"
#include "support/ScratchVolume.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>
#include <map>

namespace {

const QString complete = QStringLiteral("Program processing complete");

void putSongs(const QString& folder, int count, qint64 size) {
    for (int i = 0; i < count; ++i)
        writeFile(QStringLiteral("%1/song%2.mp3").arg(folder).arg(i, 2, 10, QLatin1Char('0')),
                  size);
}

void setOptions(Form1& form, bool memory, std::int64_t megabytesFree = 0) {
    Options options = form.run().CurrentOptions;
    options.rotationMemory = memory;
    options.megabytesFree = megabytesFree;
    applyOptions(form, options);
}

// Each run clears the player's three songs back into the library and draws three others; with
// the memory on, ten runs bring each of the thirty songs out exactly once.
TEST(RotationCycle, TenRunsOnAPlayerThatHoldsThreeBringEachOfThirtySongsOutOnce) {
    RotationWindow w;
    ScratchVolume player = ScratchVolume::tmpfs(320);
    QUAVEX_REQUIRE_MOUNTED(player);
    w.addDrive(player.root());
    putSongs(w.music(), 30, 100 * KiB);
    w.choose(w.music(), player.root(), w.card(), true, false);
    std::map<QString, int> timesOut;
    for (int run = 0; run < 10; ++run) {
        w.pressSelect();
        const QStringList onPlayer = w.namesIn(player.root());
        ASSERT_EQ(onPlayer.size(), 3) << w.statusText().toStdString();
        for (const QString& name : onPlayer)
            ++timesOut[name];
    }
    EXPECT_EQ(timesOut.size(), 30u);
    for (const auto& [name, times] : timesOut)
        EXPECT_EQ(times, 1) << name.toStdString();
    EXPECT_TRUE(w.env.prompter->shown.empty());
}

// The songs not yet out go first; when they are all out, the fill goes on with the others.
TEST(RotationCycle, AFillThatEndsTheCycleGoesOnOverTheSongsOutBefore) {
    RotationWindow w;
    putSongs(w.music(), 5, 64);
    RotationMemory earlier(w.music());
    for (const char* name : {"song00.mp3", "song02.mp3", "song04.mp3"})
        earlier.markOut(QLatin1String(name));
    ASSERT_TRUE(earlier.save());
    w.choose(w.music(), w.player(), w.card(), true, false);
    QStringList afterTwo;
    w.onYield = [&](int n) {
        if (n == 3)
            afterTwo = w.namesIn(w.player());
    };

    w.pressSelect();

    EXPECT_EQ(afterTwo, (QStringList{"song01.mp3", "song03.mp3"}));
    EXPECT_EQ(w.namesIn(w.player()).size(), 5);
    EXPECT_EQ(RotationMemory(w.music()).outCount(), 5u);
}

// A record that is missing, damaged or of another version costs nothing: the run draws exactly as
// it does without the memory, and leaves a sound record of what went out.
TEST(RotationCycle, AMissingDamagedOrForeignRecordMeansAPlainDrawAndANewRecord) {
    const std::function<void(const QString&)> spoil[] = {
        [](const QString& record) { QFile::remove(record); },
        [](const QString& record) { writeTestFile(record, "QVXROT01 not a record"); },
        [](const QString& record) {
            QByteArray bytes = readTestFile(record);
            bytes[7] = '2';
            writeTestFile(record, bytes);
        },
    };
    for (const auto& damage : spoil) {
        RotationWindow withMemory, without;
        for (RotationWindow* w : {&withMemory, &without}) {
            putSongs(w->music(), 12, 64);
            w->choose(w->music(), w->player(), w->card(), true, false);
            w->random->fractions = {0.5, 0.1, 0.9, 0.3};
        }
        setOptions(*without.form, false);
        // An earlier run's record of two songs, then spoilt.
        RotationMemory earlier(withMemory.music());
        earlier.markOut(QStringLiteral("song00.mp3"));
        earlier.markOut(QStringLiteral("song01.mp3"));
        ASSERT_TRUE(earlier.save());
        damage(earlier.recordPath());
        // Break at the fifth attempt: the four songs drawn first show the draw.
        for (RotationWindow* w : {&withMemory, &without}) {
            w->onYield = [w](int n) {
                if (n == 5)
                    w->form->cmdBreak->click();
            };
            w->pressSelect();
        }
        EXPECT_EQ(withMemory.namesIn(withMemory.player()), without.namesIn(without.player()));
        EXPECT_EQ(RotationMemory(withMemory.music()).outCount(),
                  std::size_t(withMemory.namesIn(withMemory.player()).size()));
        EXPECT_TRUE(withMemory.env.prompter->shown.empty());
    }
}

TEST(RotationCycle, AReserveEndsTheFillAsAFullPlayerDoes) {
    RotationWindow w;
    // Four megabytes, and a page for the player's record of where its songs came from.
    ScratchVolume player = ScratchVolume::tmpfs(4100);
    QUAVEX_REQUIRE_MOUNTED(player);
    w.addDrive(player.root());
    putSongs(w.music(), 5, MiB);
    w.choose(w.music(), player.root(), w.card(), true, false);
    setOptions(*w.form, true, 1);

    w.pressSelect();

    // Three songs leave exactly the megabyte asked for; a fourth would leave none.
    EXPECT_EQ(w.namesIn(player.root()).size(), 3);
    EXPECT_EQ(w.statusText(),
              QStringLiteral(" 3 files were moved to the MP3 player.\r\n") + complete);
    EXPECT_EQ(w.form->face().statusColour(), QColor(255, 255, 0));
    EXPECT_TRUE(w.env.prompter->shown.empty());
}

// The panes, their totals and the fill take the chosen types, and nothing else.
TEST(RotationCycle, EachMusicTypeIsListedAndFilledWhenChosenAndOnlyThen) {
    RotationWindow w;
    QStringList names = {QStringLiteral("notes.txt")};
    for (const QString& type : allMusicTypes())
        names.append(QStringLiteral("Song.") + type.toUpper());
    writeFiles(w.music(), names);
    w.choose(w.music(), w.player(), w.card(), true, false);
    EXPECT_EQ(w.form->txtIpTot->text(), QStringLiteral("Total: 2"));
    for (const QString& type : allMusicTypes()) {
        Options options;
        options.musicTypes = {type};
        applyOptions(*w.form, options);
        EXPECT_EQ(w.form->txtIpTot->text(), QStringLiteral("Total: 1")) << type.toStdString();
        w.pressSelect();
        EXPECT_EQ(w.namesIn(w.player()), QStringList{QStringLiteral("Song.") + type.toUpper()});
        EXPECT_EQ(w.form->txtOp1Tot->text(), QStringLiteral("Total: 1"));
    }
}

} // namespace
