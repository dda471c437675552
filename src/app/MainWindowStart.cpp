#include "app/MainWindowStart.h"

#include "app/DriveErrorMode.h"
#include "app/FontSubstitutes.h"
#include "app/ProductionServices.h"
#include "app/QtPrompter.h"

std::unique_ptr<Form1> startMainWindow() {
    quietDriveErrors();
    registerFontSubstitutes();
    Form1Services services = productionServices();
    auto prompter = std::static_pointer_cast<QtPrompter>(services.prompter);
    auto window = std::make_unique<Form1>(std::move(services));
    prompter->setParent(window.get());
    window->Form_Load();
    window->show();
    return window;
}
