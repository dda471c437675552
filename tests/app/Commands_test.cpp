#include "about/frmAbout.h"
#include "app/ProductionServices.h"
#include "support/MessageBoxes.h"
#include "support/RecordingBackend.h"
#include "support/StartupWindow.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Commands : public testing::Test, public StartupWindow {};

frmAbout* openAbout() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* about = dynamic_cast<frmAbout*>(window); about && about->isVisible())
            return about;
    return nullptr;
}

int aboutBoxes() {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        count += dynamic_cast<frmAbout*>(window) != nullptr;
    return count;
}

// Runs the program's event loop until the program ends; a watchdog ends a program that never
// would with 1.
int runUntilTheProgramEnds() {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(30000);
    return QApplication::exec();
}

TEST_F(Commands, HelpShowsTheManualMessageAndDoesNothingElse) {
    auto form = start();
    const QByteArray before = settingsBytes();
    form->cmdHelp->click();

    const MessageRequest help{.text = QStringLiteral("The user manual can be viewed by browsing "
                                                     "QUAVEX.html, which is included in this "
                                                     "distribution."),
                              .title = QStringLiteral("Help"),
                              .icon = MessageIcon::Information};
    EXPECT_EQ(env.prompter->shown, std::vector<MessageRequest>{help});
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(quitCalls, 0);
    EXPECT_EQ(settingsBytes(), before);
}

TEST_F(Commands, ExitSavesThenClosesEveryWindowAndLeavesTheHoldingFolderAlone) {
    const QString held = services().holdingFolder + QStringLiteral("/held.mp3");
    QDir().mkpath(services().holdingFolder);
    touch(held);
    QPointer<frmAbout> about;
    auto watching = std::make_shared<RecordingBackend>(backend);
    backend = watching;
    auto form = start();
    form->cmdAbout->click();
    about = openAbout();
    ASSERT_TRUE(about);
    watching->onWrite = [&] { EXPECT_TRUE(about && form->isVisible()) << "saved after closing"; };

    form->cmdExit->click();

    // The seven settings, and the two player folders' volumes and ticks.
    EXPECT_EQ(watching->written.size(), 11);
    EXPECT_EQ(quitCalls, 1);
    EXPECT_FALSE(about);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(env.prompter->shown.empty());
    EXPECT_TRUE(QFile::exists(held));
}

TEST_F(Commands, ExitAndTheCloseBoxAreRefusedWhileARunIsInProgress) {
    auto form = start();
    form->run().RunInProgress = true;

    form->cmdExit->click();
    EXPECT_FALSE(form->close());

    ASSERT_EQ(env.prompter->shown.size(), 2u);
    for (const MessageRequest& box : env.prompter->shown) {
        EXPECT_EQ(box.title, QStringLiteral("Run in progress"));
        EXPECT_TRUE(box.text.contains(QStringLiteral("Break"))) << box.text.toStdString();
        EXPECT_EQ(box.icon, MessageIcon::Warning);
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(quitCalls, 0);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(QFile::exists(settingsFile()));

    // Once the player's files are held, the box says where they wait.
    QDir().mkpath(services().holdingFolder);
    touch(services().holdingFolder + QStringLiteral("/old.mp3"));
    form->cmdExit->click();
    EXPECT_EQ(env.prompter->shown.back().text,
              QStringLiteral("A run is in progress. Press Break and wait until the run has "
                             "stopped, then end the program. The player's previous files are "
                             "waiting in %1; the next run moves them into the Hard Drive Music "
                             "Directory.")
                  .arg(QDir::toNativeSeparators(services().holdingFolder)));

    // Once the run is over, both work again.
    form->run().RunInProgress = false;
    EXPECT_TRUE(form->close());
    form->cmdExit->click();
    EXPECT_EQ(quitCalls, 1);
}

TEST_F(Commands, AboutTwiceShowsOneBoxAndReloadsNothing) {
    auto form = start();
    form->cmdAbout->click();
    frmAbout* first = openAbout();
    ASSERT_NE(first, nullptr);
    first->lblCompany->setText(QStringLiteral("changed while open"));

    form->cmdAbout->click();
    EXPECT_EQ(openAbout(), first);
    EXPECT_EQ(aboutBoxes(), 1);
    EXPECT_EQ(first->lblCompany->text(), QStringLiteral("changed while open"));
    // Modeless: the main window still takes clicks.
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    form->cmdHelp->click();
    EXPECT_EQ(env.prompter->shown.size(), 1u);

    // Closed, it is discarded; the next click loads a fresh one.
    first->cmdOK->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(aboutBoxes(), 0);
    form->cmdAbout->click();
    ASSERT_NE(openAbout(), nullptr);
    EXPECT_EQ(openAbout()->lblCompany->text(), QStringLiteral("Larkspur Lane Software"));
    form.reset();
    EXPECT_EQ(aboutBoxes(), 0);
}

TEST_F(Commands, AnOpenAboutBoxKeepsTheProgramAliveAfterTheCloseBox) {
    auto form = start();
    form->cmdAbout->click();
    QPointer<frmAbout> about = openAbout();
    ASSERT_TRUE(about);

    bool aboutOpenWhenTheProgramEnded = true;
    const QObject thisTestOnly;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &thisTestOnly,
                     [&] { aboutOpenWhenTheProgramEnded = about && about->isVisible(); });
    QTimer::singleShot(0, [&] {
        form->close();
        QTimer::singleShot(0, [&] {
            if (about)
                about->cmdOK->click();
        });
    });

    EXPECT_EQ(runUntilTheProgramEnds(), 0);
    EXPECT_FALSE(aboutOpenWhenTheProgramEnded);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Commands, ExitEndsTheRunningProgram) {
    Form1Services real = services();
    real.quit = productionServices().quit;
    Form1 form(real);
    form.Form_Load();
    form.show();
    form.cmdAbout->click();

    // Qt owns and deletes the timer it makes for this.
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
    QTimer::singleShot(0, [&] { form.cmdExit->click(); });

    EXPECT_EQ(runUntilTheProgramEnds(), 0);
    EXPECT_EQ(aboutBoxes(), 0);
    EXPECT_TRUE(stored("drvIp").has_value());
}

} // namespace
