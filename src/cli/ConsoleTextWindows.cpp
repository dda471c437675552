#include "cli/ConsoleText.h"

#include <io.h>
#include <windows.h>

void writeText(std::FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

void writeLine(std::FILE* stream, const QString& line) {
    writeText(stream, line + QLatin1Char('\n'));
}

bool isTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

void useUtf8Console() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}
