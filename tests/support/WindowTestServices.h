#pragma once

#include "app/Form1Services.h"
#include "support/FolderVolumes.h"
#include "support/ScriptedPrompter.h"

#include <memory>

// Services for a window under test: folder volumes and a scripted prompter, kept reachable so a
// test can change drives and read the message boxes shown.
struct WindowTestServices {
    std::shared_ptr<FolderVolumes> volumes = std::make_shared<FolderVolumes>();
    std::shared_ptr<ScriptedPrompter> prompter = std::make_shared<ScriptedPrompter>();

    Form1Services services() const {
        Form1Services s;
        s.volumes = volumes;
        s.prompter = prompter;
        s.yieldEvents = [] {};
        return s;
    }
};
