#include "about/frmAbout.h"
#include "app/ApplicationIdentity.h"
#include "app/Form1.h"
#include "app/SettingsStore.h"
#include "rotation/FolderOutcome.h"

#include <QCloseEvent>
#include <QDir>
#include <QStringList>

namespace {

// Ending the program now would strand the player's previous files in the holding folder. Whether
// any wait there is read beside the run, which may be moving files: a listing changes nothing.
MessageRequest runInProgressMessage(const QString& holdingFolder) {
    QString text = QStringLiteral("A run is in progress. Press Break and wait until the run has "
                                  "stopped, then end the program.");
    if (!QDir(holdingFolder).entryList(QDir::Files).isEmpty())
        text += QLatin1Char(' ') + heldFilesWaitLine(holdingFolder);
    return {text, QStringLiteral("Run in progress"), MessageIcon::Warning, MessageButtons::Ok,
            MessageAnswer::Ok};
}

MessageRequest settingsNotSavedMessage(const std::vector<AppError>& failures) {
    QString text = QStringLiteral("Some settings could not be saved, so the next start may not "
                                  "show the drives and folders chosen now.");
    QStringList reasons;
    for (const AppError& failure : failures)
        if (!reasons.contains(failure.description()))
            reasons.append(failure.description());
    text += QLatin1Char('\n') + reasons.join(QLatin1Char('\n'));
    return {text, QStringLiteral("Settings not saved"), MessageIcon::Warning, MessageButtons::Ok,
            MessageAnswer::Ok};
}

} // namespace

void Form1::cmdHelp_Click() {
    m_services.prompter->ask(
        {QStringLiteral("The user manual can be viewed by browsing "
                        "QUAVEX.html, which is included in this distribution."),
         QStringLiteral("Help"), MessageIcon::Information, MessageButtons::Ok, MessageAnswer::Ok});
}

void Form1::cmdExit_Click() {
    if (m_run.RunInProgress) {
        m_services.prompter->ask(runInProgressMessage(m_services.holdingFolder));
        return;
    }
    if (m_services.settings) {
        const std::vector<AppError> failures = SettingsStore(*m_services.settings).saveAll(*this);
        if (!failures.empty())
            m_services.prompter->ask(settingsNotSavedMessage(failures));
    }
    // Every window goes at once, without running a close handler; the holding folder is left
    // as it is.
    delete m_about.data();
    hide();
    if (m_services.quit)
        m_services.quit();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (m_run.RunInProgress) {
        event->ignore();
        m_services.prompter->ask(runInProgressMessage(m_services.holdingFolder));
        return;
    }
    event->accept();
}

void Form1::cmdGo_Click() {
    m_run.Go();
}

void Form1::cmdBreak_Click() {
    m_run.StopRequested = true;
}

void Form1::cmdAbout_Click() {
    if (!m_about) {
        m_about = new frmAbout(ApplicationIdentity::current());
        // The box has no parent window, so that it keeps the program alive on its own; it still
        // goes with the main window.
        frmAbout* about = m_about.data();
        connect(this, &QObject::destroyed, about, [about] { delete about; });
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}
