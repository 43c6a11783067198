// Holds a file open the way Excel holds a workbook: for reading and writing,
// shared with no one. Prints "holding" once it has the file and lets go when
// its standard input ends or gives a line.
//
//     hold_file_open <file>
//
// Exit status 0 after letting go; 2 when the file could not be opened (the
// system's error code is printed).

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fputs("usage: hold_file_open <file>\n", stderr);
        return 2;
    }
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot open the file: error %lu\n", GetLastError());
        return 2;
    }
    std::puts("holding");
    std::fflush(stdout);
    char line[64];
    std::fgets(line, sizeof line, stdin);
    CloseHandle(file);
    return 0;
}
