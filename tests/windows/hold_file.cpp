// Holds a file open the way a media player playing it does (reading, sharing only reads), says
// "held" on its output once it does, and lets go when its input ends.
#include <cstdio>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2)
        return 2;
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::puts("held");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    CloseHandle(file);
    return 0;
}
