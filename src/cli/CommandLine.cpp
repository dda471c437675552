#include "cli/CommandLine.h"

#include "cli/ConsoleRotation.h"
#include "cli/ConsoleText.h"
#include "cli/RotateArguments.h"

#include <cstring>

bool wantsCommandLine(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--", 2) == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    return false;
}

int runCommandLine(const QStringList& arguments) {
    useUtf8Console();
    const CommandLine line = parseCommandLine(arguments);
    if (const auto* print = std::get_if<PrintAndExit>(&line)) {
        writeText(stdout, print->text);
        return int(ExitStatus::WholeRun);
    }
    if (const auto* bad = std::get_if<BadUsage>(&line)) {
        writeLine(stderr, bad->line);
        return int(ExitStatus::BadUsage);
    }
    return int(rotateFromCommandLine(std::get<RotateRequest>(line)));
}
