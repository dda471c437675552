#pragma once

#include <QStringList>

class Form1;

// The folders a run works in, as the panes show them now: the music folder, the holding folder
// and the ticked player folders.
QStringList runFolders(Form1& form);
