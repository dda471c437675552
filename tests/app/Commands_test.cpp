#include "about/frmAbout.h"
#include "app/ProductionServices.h"
#include "support/StartupWindow.h"

#include <QApplication>
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

// The real store, with a look at the window at each write.
class WatchingBackend : public SettingsBackend {
public:
    explicit WatchingBackend(std::shared_ptr<SettingsBackend> inner) : m_inner(std::move(inner)) {}
    std::optional<QString> read(const QString& a, const QString& s, const QString& k) override {
        return m_inner->read(a, s, k);
    }
    void write(const QString& a, const QString& s, const QString& k, const QString& v) override {
        ++writes;
        if (onWrite)
            onWrite();
        m_inner->write(a, s, k, v);
    }
    int writes = 0;
    std::function<void()> onWrite;

private:
    std::shared_ptr<SettingsBackend> m_inner;
};

int aboutBoxes() {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        count += dynamic_cast<frmAbout*>(window) != nullptr;
    return count;
}

TEST_F(Commands, HelpShowsTheManualMessageAndDoesNothingElse) {
    auto form = start();
    const QByteArray before = settingsBytes();
    form->cmdHelp->click();

    ASSERT_EQ(env.prompter->shown.size(), 1u);
    const MessageRequest& box = env.prompter->shown.front();
    EXPECT_EQ(box.text, QStringLiteral("The user manual can be viewed by browsing QUAVEX.html, "
                                       "which is included in this distribution."));
    EXPECT_EQ(box.title, QStringLiteral("Help"));
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(quitCalls, 0);
    EXPECT_EQ(settingsBytes(), before);
}

TEST_F(Commands, ExitSavesThenClosesEveryWindowAndLeavesTheHoldingFolderAlone) {
    const QString held = services().holdingFolder + QStringLiteral("/held.mp3");
    QDir().mkpath(services().holdingFolder);
    createFile(held);
    QPointer<frmAbout> about;
    auto watching = std::make_shared<WatchingBackend>(backend);
    backend = watching;
    auto form = start();
    form->cmdAbout->click();
    about = openAbout();
    ASSERT_TRUE(about);
    watching->onWrite = [&] { EXPECT_TRUE(about && form->isVisible()) << "saved after closing"; };

    form->cmdExit->click();

    EXPECT_EQ(watching->writes, 7);
    EXPECT_EQ(quitCalls, 1);
    EXPECT_FALSE(about);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(env.prompter->shown.empty());
    EXPECT_TRUE(QFile::exists(held));
}

TEST_F(Commands, ExitAndTheCloseBoxAreRefusedWhileARunIsInProgress) {
    auto form = start();
    form->RunInProgress = true;

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

    // Once the run is over, both work again.
    form->RunInProgress = false;
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
    // Only stops a broken program that never ends.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(30000);

    EXPECT_EQ(QApplication::exec(), 0);
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

    QTimer::singleShot(0, [&] { form.cmdExit->click(); });
    // Only stops a broken program that never ends.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(30000);

    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(aboutBoxes(), 0);
    EXPECT_TRUE(stored("drvIp").has_value());
}

} // namespace
