#pragma once

#include "app/Form1.h"

#include <memory>

// What the program does at start once its QApplication exists: drive errors kept quiet, the font
// substitutes, the main window with the production services, its settings loaded and the window
// shown. The window owns the message-box prompter, so boxes are centred on it.
std::unique_ptr<Form1> startMainWindow();
