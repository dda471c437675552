#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>

// Text for a terminal or a file, in the encoding its reader expects: the locale's on Linux, UTF-8
// on Windows, whose console is switched to it at start.
void writeText(std::FILE* stream, const QString& text);
void writeLine(std::FILE* stream, const QString& line);
bool isTerminal(std::FILE* stream);
// On Windows, makes the console take UTF-8 and the terminal's escape sequences until the program
// ends; nothing elsewhere.
void useUtf8Console();
// The text's bytes for the console (per platform).
QByteArray consoleBytes(const QString& text);
