#include "app/MainWindowStart.h"
#include "app/RunningMark.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    markProgramRunning();
    QApplication app(argc, argv);
    const std::unique_ptr<Form1> window = startMainWindow();
    return QApplication::exec();
}
