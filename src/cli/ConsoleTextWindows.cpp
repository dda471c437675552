#include "cli/ConsoleText.h"

#include <io.h>
#include <windows.h>

QByteArray consoleBytes(const QString& text) {
    return text.toUtf8();
}

bool isTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

void useUtf8Console() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}
