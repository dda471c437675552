#pragma once

#include <QString>
#include <functional>

class QWidget;

// Adds a command to the window's system menu, where the platform has one (Windows); elsewhere
// nothing is added.
void addSystemMenuCommand(QWidget& window, const QString& text, std::function<void()> command);
