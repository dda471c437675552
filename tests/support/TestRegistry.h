#pragma once

#include <QString>

// On Windows every test program keeps the user's registry branch (HKEY_CURRENT_USER) in a key of
// its own for as long as it runs, so that no test reads or writes the user's settings and two
// test programs never share them. The key as another program (reg.exe) names it.
QString testUserKey();
