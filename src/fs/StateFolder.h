#pragma once

#include <QString>

// Where the program keeps what it must find again after a crash, for this user and this computer:
// $XDG_STATE_HOME (default ~/.local/state) on POSIX systems, %LOCALAPPDATA% on Windows.
QString userStateFolder();
