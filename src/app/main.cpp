#include "app/MainWindowStart.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const std::unique_ptr<Form1> window = startMainWindow();
    return QApplication::exec();
}
