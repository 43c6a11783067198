// Run under Wine by the harness that drives the real kestrin.exe: waits until a
// top-level window with exactly the given title is shown and active (or, with
// --gone, until none is shown), for at most the given number of seconds.
//   window-probe.exe [--gone] TITLE SECONDS
// Exits 0 when it came to pass, 1 when the time ran out, 2 on wrong arguments.
#include <windows.h>

#include <cwchar>
#include <cwctype>

namespace {

bool shownAndActive(const wchar_t* title)
{
    const HWND window = FindWindowW(nullptr, title);
    return window && IsWindowVisible(window) && GetForegroundWindow() == window;
}

bool shown(const wchar_t* title)
{
    const HWND window = FindWindowW(nullptr, title);
    return window && IsWindowVisible(window);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool gone = argc == 4 && std::wcscmp(argv[1], L"--gone") == 0;
    if (argc != (gone ? 4 : 3))
        return 2;
    const wchar_t* title = argv[gone ? 2 : 1];
    const long seconds = std::wcstol(argv[gone ? 3 : 2], nullptr, 10);
    for (long tenths = 0; tenths <= seconds * 10; ++tenths) {
        if (gone ? !shown(title) : shownAndActive(title))
            return 0;
        Sleep(100);
    }
    return 1;
}
