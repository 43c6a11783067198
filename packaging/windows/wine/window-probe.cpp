// Run under Wine by the harness that drives the real kestrin.exe: waits until a
// top-level window with exactly the given title is shown and active on the
// named desktop (the Wine desktop the program runs in; windows and the active
// one are per desktop), or, with --gone, until none is shown there, for at most
// the given number of seconds.
//   window-probe.exe [--gone] DESKTOP TITLE SECONDS
// Exits 0 when it came to pass, 1 when the time ran out, 2 on wrong arguments
// or a desktop that cannot be entered.
#include <windows.h>

#include <cwchar>

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
    const bool gone = argc == 5 && std::wcscmp(argv[1], L"--gone") == 0;
    if (argc != (gone ? 5 : 4))
        return 2;
    const int first = gone ? 2 : 1;
    const HDESK desktop = OpenDesktopW(argv[first], 0, FALSE, GENERIC_ALL);
    if (!desktop || !SetThreadDesktop(desktop))
        return 2;
    const wchar_t* title = argv[first + 1];
    const long seconds = std::wcstol(argv[first + 2], nullptr, 10);
    for (long tenths = 0; tenths <= seconds * 10; ++tenths) {
        if (gone ? !shown(title) : shownAndActive(title))
            return 0;
        Sleep(100);
    }
    return 1;
}
