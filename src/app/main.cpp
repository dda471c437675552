#include "app/MainWindowStart.h"
#include "app/RunningMark.h"
#include "cli/CommandLine.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    markProgramRunning();
    if (wantsCommandLine(argc, argv)) {
        // No window, so no display is needed.
        const QCoreApplication app(argc, argv);
        return runCommandLine(QCoreApplication::arguments());
    }
    QApplication app(argc, argv);
    const std::unique_ptr<Form1> window = startMainWindow();
    return QApplication::exec();
}
