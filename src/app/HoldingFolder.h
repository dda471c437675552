#pragma once

#include <QString>

// Where a run keeps the player's previous files: "C:\QUAVEXTemp" on Windows, $HOME/QUAVEXTemp
// elsewhere. On the local disk, so it survives a reboot.
QString defaultHoldingFolder();
