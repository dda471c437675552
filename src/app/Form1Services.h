#pragma once

#include "app/SettingsBackend.h"
#include "fs/FileSystemObject.h"
#include "fs/Volume.h"
#include "rotation/Prompter.h"
#include "rotation/RandomSource.h"

#include <QString>
#include <functional>
#include <memory>

// Everything Form1 reaches outside itself. Production fills it with the real things
// (productionServices()); tests fill it with real things on temporary folders and fakes only
// where the real thing cannot be arranged.
struct Form1Services {
    std::shared_ptr<VolumeProvider> volumes;
    FileSystemFactory createFileSystem;
    std::shared_ptr<Prompter> prompter;
    std::shared_ptr<RandomSource> random;
    // Lets pending window events run once; the run calls it at its yield points only.
    std::function<void()> yieldEvents;
    QString holdingFolder;
    std::shared_ptr<SettingsBackend> settings;
    // Ends the program once EXIT has saved the settings and closed the windows.
    std::function<void()> quit;
};
