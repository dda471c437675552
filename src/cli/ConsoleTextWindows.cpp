#include "cli/ConsoleText.h"

#include <cstdlib>
#include <io.h>
#include <windows.h>

namespace {

UINT outputPageBefore = 0;
UINT inputPageBefore = 0;

// The console goes back to the code pages it had, for what the user runs next in it.
void restoreCodePages() {
    SetConsoleOutputCP(outputPageBefore);
    SetConsoleCP(inputPageBefore);
}

} // namespace

QByteArray consoleBytes(const QString& text) {
    return text.toUtf8();
}

bool isTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

void useUtf8Console() {
    outputPageBefore = GetConsoleOutputCP();
    inputPageBefore = GetConsoleCP();
    if (outputPageBefore == 0)
        return;
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
    std::atexit(restoreCodePages);
    // The progress line is drawn over itself with the terminal's escape sequences.
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode))
        SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}
