#include "app/ProductionServices.h"

#include "app/HoldingFolder.h"
#include "app/QSettingsBackend.h"
#include "app/QtPrompter.h"
#include "fs/SystemFileSystem.h"
#include "fs/SystemVolumes.h"
#include "rotation/ClockRandomSource.h"

#include <QCoreApplication>

Form1Services productionServices() {
    Form1Services services;
    services.volumes = std::make_shared<SystemVolumeProvider>();
    services.prompter = std::make_shared<QtPrompter>();
    services.random = std::make_shared<ClockRandomSource>();
    services.yieldEvents = [] { QCoreApplication::processEvents(); };
    services.createFileSystem = createSystemFileSystem;
    services.holdingFolder = defaultHoldingFolder();
    services.settings = std::make_shared<QSettingsBackend>();
    services.quit = [] { QCoreApplication::exit(0); };
    return services;
}
