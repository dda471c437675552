#pragma once

#include "rotation/Options.h"

class Form1;

// The "Options..." command of the main window: on its context menu (a right-click anywhere on the
// window), under Ctrl+O, and on Windows in the window's system menu. It adds no control.
void installOptionsCommand(Form1& form);

// Opens the Options dialog; OK stores the options and puts them to work.
void openOptions(Form1& form);

// Puts the options to work: the file lists take the music types, their totals and the Select
// rule follow. A list that cannot be read again keeps what it showed.
void applyOptions(Form1& form, const Options& options);
