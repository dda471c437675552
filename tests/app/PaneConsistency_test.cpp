#include "app/Form1.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/AppError.h"
#include "support/TestFiles.h"
#include "support/WindowTestServices.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A folder that vanishes after its chooser opened it but before its list read it: the chooser
// goes back to what the list shows, and Select follows the list it kept.
TEST(PaneConsistency, AFolderThatCannotBeListedSendsItsChooserBack) {
    QTemporaryDir disk;
    const QString music = disk.path() + QStringLiteral("/Music");
    const QString gone = disk.path() + QStringLiteral("/Gone");
    QDir().mkpath(music);
    QDir().mkpath(gone);
    touch(music + QStringLiteral("/song.mp3"));

    WindowTestServices env;
    env.volumes->add(disk.path());
    Form1 form(env.services());
    form.Dir1->setPath(music);
    form.chk1->setValue(1);
    form.SetGoButton();
    ASSERT_TRUE(form.cmdGo->isEnabled());

    for (auto [dir, files, total] : {std::tuple{form.Dir1, form.flIp, form.txtIpTot},
                                     std::tuple{form.dirOp1, form.flOp1, form.txtOp1Tot}}) {
        dir->setPath(music);
        dir->setChangeHandler([&form, dir = dir, gone] {
            QDir(gone).removeRecursively();
            if (dir == form.Dir1)
                form.Dir1_Change();
            else
                form.dirOp1_Change();
        });
        EXPECT_THROW(dir->setPath(gone), AppError);
        EXPECT_EQ(dir->Path(), music);
        EXPECT_EQ(files->Path(), music);
        EXPECT_EQ(total->text(), QStringLiteral("Total: 1"));
        QDir().mkpath(gone);
    }
    EXPECT_TRUE(form.cmdGo->isEnabled());
}

TEST(PaneConsistency, AClickTakesAGreyedTickBoxToTickedOrUnticked) {
    TickBox box;
    box.setValue(2);
    ASSERT_EQ(box.Value(), 2);
    for (int click = 0; click < 4; ++click) {
        box.click();
        EXPECT_NE(box.Value(), 2);
    }
    box.setValue(0);
    box.click();
    EXPECT_EQ(box.Value(), 1);
    box.click();
    EXPECT_EQ(box.Value(), 0);
}

} // namespace
