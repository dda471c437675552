#include "app/OptionsCommand.h"
#include "app/OptionsStore.h"
#include "controls/FileList.h"
#include "support/OptionsByHand.h"
#include "support/StartupWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

class OptionsStored : public testing::Test, public StartupWindow {
protected:
    std::optional<QString> option(const QString& key) {
        return backend->read(QStringLiteral("QUAVEX"), QStringLiteral("Options"), key);
    }
};

void tickOnly(OptionsDialog& dialog, const QStringList& types) {
    for (std::size_t i = 0; i < dialog.musicTypes.size(); ++i)
        dialog.musicTypes[i]->setChecked(types.contains(allMusicTypes()[qsizetype(i)]));
}

TEST_F(OptionsStored, OkStoresThemUnderOptionsAloneAndTheNextStartRestoresThem) {
    for (const char* name : {"a.mp3", "b.wma", "c.flac", "d.txt"})
        touch(music("disk") + QLatin1Char('/') + QLatin1String(name));
    store(QStringLiteral("dirIp"), music("disk"));
    {
        auto form = start();
        ASSERT_EQ(form->actions().size(), 1);
        EXPECT_EQ(form->actions().front()->text(), QStringLiteral("Options..."));
        EXPECT_EQ(form->actions().front()->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        EXPECT_EQ(form->contextMenuPolicy(), Qt::ActionsContextMenu);
        EXPECT_EQ(form->txtIpTot->text(), QStringLiteral("Total: 2"));

        // Cancel keeps everything as it was; no type ticked leaves nothing to press OK for.
        bool okWithoutTypes = true;
        chooseOptions(
            *form,
            [&](OptionsDialog& dialog) {
                EXPECT_TRUE(dialog.rotationMemory->isChecked());
                EXPECT_EQ(dialog.megabytesFree->value(), 0);
                EXPECT_FALSE(dialog.musicInSubfolders->isChecked());
                EXPECT_FALSE(dialog.wholeAlbums->isEnabled());
                tickOnly(dialog, {});
                okWithoutTypes = dialog.buttons->button(QDialogButtonBox::Ok)->isEnabled();
            },
            false);
        EXPECT_FALSE(okWithoutTypes);
        EXPECT_FALSE(option(QStringLiteral("MusicTypes")));

        bool albumsOffered = false;
        chooseOptions(*form, [&](OptionsDialog& dialog) {
            dialog.rotationMemory->setChecked(false);
            dialog.megabytesFree->setValue(500);
            tickOnly(dialog, {QStringLiteral("mp3"), QStringLiteral("flac")});
            dialog.musicInSubfolders->setChecked(true);
            albumsOffered = dialog.wholeAlbums->isEnabled();
            dialog.wholeAlbums->setChecked(true);
        });
        EXPECT_TRUE(albumsOffered);
        EXPECT_EQ(form->txtIpTot->text(), QStringLiteral("Total: 2"));
        EXPECT_EQ(form->flIp->Pattern(), QStringLiteral("*.mp3;*.flac"));
    }
    EXPECT_EQ(option(QStringLiteral("RotationMemory")), QStringLiteral("0"));
    EXPECT_EQ(option(QStringLiteral("MegabytesFree")), QStringLiteral("500"));
    EXPECT_EQ(option(QStringLiteral("MusicTypes")), QStringLiteral("mp3;flac"));
    EXPECT_EQ(option(QStringLiteral("MusicInSubfolders")), QStringLiteral("1"));
    EXPECT_EQ(option(QStringLiteral("WholeAlbums")), QStringLiteral("1"));
    // The seven settings are written by EXIT alone.
    EXPECT_FALSE(stored(QStringLiteral("drvIp")));

    auto again = start();
    EXPECT_FALSE(again->run().CurrentOptions.rotationMemory);
    EXPECT_EQ(again->run().CurrentOptions.megabytesFree, 500);
    EXPECT_EQ(again->run().CurrentOptions.musicTypes, (QStringList{"mp3", "flac"}));
    EXPECT_TRUE(again->run().CurrentOptions.musicInSubfolders);
    EXPECT_TRUE(again->run().CurrentOptions.wholeAlbums);
    EXPECT_EQ(again->flIp->Pattern(), QStringLiteral("*.mp3;*.flac"));
}

// A value edited by hand that cannot be understood reads as its default; above all, no music
// type that the dialog does not offer, and never none, which would name every file.
TEST_F(OptionsStored, ValuesThatCannotBeUnderstoodReadAsTheDefaults) {
    const Options defaults;
    for (const auto& [memory, megabytes, types] :
         {std::tuple{"yes", "-5", "exe;txt"}, std::tuple{"", "lots", ""},
          std::tuple{"2", "1e3", ";;"}, std::tuple{"no", "2147483648", "com"}}) {
        for (const auto& [key, value] :
             {std::pair{"RotationMemory", memory}, std::pair{"MegabytesFree", megabytes},
              std::pair{"MusicTypes", types}})
            backend->write(QStringLiteral("QUAVEX"), QStringLiteral("Options"), QLatin1String(key),
                           QLatin1String(value));
        const Options read = loadOptions(*backend);
        EXPECT_TRUE(read.rotationMemory) << memory;
        EXPECT_EQ(read.megabytesFree, 0) << megabytes;
        EXPECT_EQ(read.musicTypes, defaults.musicTypes) << types;
    }
    backend->write(QStringLiteral("QUAVEX"), QStringLiteral("Options"),
                   QStringLiteral("MusicTypes"), QStringLiteral("OGG;wav;exe"));
    EXPECT_EQ(loadOptions(*backend).musicTypes, (QStringList{"ogg", "wav"}));
}

} // namespace
