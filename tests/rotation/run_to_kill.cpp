// The run the kill test starts and kills: one press of Select on a window whose music folder,
// player folder and holding folder are the arguments, with the real file-system object, so that
// the player folder is cleared into the holding folder, filled from the music folder and the held
// files go back. The disk and the card are the other two arguments, each a drive of the window.
// A sixth argument, "subfolders", turns music in subfolders on.
#include "app/Form1.h"
#include "app/OptionsCommand.h"
#include "support/RotationWindow.h"

#include <QApplication>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc != 6 && argc != 7)
        return 2;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const QStringList folders = QCoreApplication::arguments().mid(1);
    RotationWindow window;
    window.addDrive(folders[0]);
    window.addDrive(folders[1]);
    window.shareHoldingFolder(folders[4]);
    window.choose(folders[2], folders[3], window.card(), true, false);
    if (folders.size() == 6) {
        Options options = window.form->run().CurrentOptions;
        options.musicInSubfolders = true;
        applyOptions(*window.form, options);
    }
    window.pressSelect();
    return window.env.prompter->shown.empty() ? 0 : 1;
}
