#include "app/ProductionServices.h"

#include "app/HoldingFolder.h"
#include "app/QSettingsBackend.h"
#include "app/QtPrompter.h"
#include "fs/SystemFileSystem.h"
#include "fs/SystemVolumes.h"
#include "rotation/ClockRandomSource.h"

#include <QCoreApplication>

namespace {

// A yield runs the event loop until it finds nothing more to do, for at most this long: on Windows
// the mouse and key messages handled in one pass reach the window only in the next, so a single
// pass would leave a click on Break unseen at the yield where the run looks for it.
constexpr int YieldMs = 20;

} // namespace

Form1Services productionServices() {
    Form1Services services;
    services.volumes = std::make_shared<SystemVolumeProvider>();
    services.prompter = std::make_shared<QtPrompter>();
    services.random = std::make_shared<ClockRandomSource>();
    services.yieldEvents = [] { QCoreApplication::processEvents(QEventLoop::AllEvents, YieldMs); };
    services.createFileSystem = createSystemFileSystem;
    services.holdingFolder = defaultHoldingFolder();
    services.settings = std::make_shared<QSettingsBackend>();
    services.quit = [] { QCoreApplication::exit(0); };
    return services;
}
