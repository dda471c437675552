#include "cli/ConsoleText.h"

void writeText(std::FILE* stream, const QString& text) {
    std::fputs(consoleBytes(text).constData(), stream);
    std::fflush(stream);
}

void writeLine(std::FILE* stream, const QString& line) {
    writeText(stream, line + QLatin1Char('\n'));
}
