#include "app/FontSubstitutes.h"
#include "app/Form1.h"
#include "app/ProductionServices.h"
#include "app/QtPrompter.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    registerFontSubstitutes();
    Form1Services services = productionServices();
    auto prompter = std::static_pointer_cast<QtPrompter>(services.prompter);
    Form1 window(std::move(services));
    prompter->setParent(&window);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
