#include "cli/ConsoleText.h"

#include <unistd.h>

void writeText(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

void writeLine(std::FILE* stream, const QString& line) {
    writeText(stream, line + QLatin1Char('\n'));
}

bool isTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

void useUtf8Console() {}
