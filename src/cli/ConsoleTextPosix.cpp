#include "cli/ConsoleText.h"

#include <unistd.h>

QByteArray consoleBytes(const QString& text) {
    return text.toLocal8Bit();
}

bool isTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

void useUtf8Console() {}
