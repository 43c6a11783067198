#!/usr/bin/env python3
"""Fails when a Windows program imports a DLL or a function that Windows 7 SP1
(with no update installed) does not have.

    check-imports.py OBJDUMP PROGRAM.exe...

Wine implements functions of newer Windows versions, so a program that runs
under Wine may still not start on Windows 7: only its import table shows it.
A program that imports a missing function is refused by Windows' loader before
it runs ("无法定位程序输入点 ... 于动态链接库 ... 上").
"""
import re
import subprocess
import sys

# The DLLs of a plain Windows 7 SP1 that a Qt program may import.
WINDOWS_7_DLLS = {
    "advapi32.dll", "authz.dll", "bcrypt.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll", "d2d1.dll", "d3d9.dll",
    "d3d11.dll", "dwmapi.dll", "dwrite.dll", "dxgi.dll", "gdi32.dll", "imm32.dll",
    "iphlpapi.dll", "kernel32.dll", "mpr.dll", "msvcrt.dll", "netapi32.dll", "ntdll.dll",
    "ole32.dll", "oleaut32.dll", "opengl32.dll", "rpcrt4.dll", "secur32.dll", "setupapi.dll",
    "shell32.dll", "shlwapi.dll", "user32.dll", "userenv.dll", "usp10.dll", "uxtheme.dll",
    "version.dll", "winmm.dll", "winspool.drv", "ws2_32.dll", "wtsapi32.dll",
}

# Functions of those DLLs that came after Windows 7, with the version that
# brought them. The DLL is not part of the key: MinGW's import libraries move
# functions between DLLs, and a name is enough.
NEWER_FUNCTIONS = {
    # Windows 8
    "GetSystemTimePreciseAsFileTime": "Windows 8",
    "CreateFile2": "Windows 8",
    "CopyFile2": "Windows 8",
    "WaitOnAddress": "Windows 8",
    "WakeByAddressSingle": "Windows 8",
    "WakeByAddressAll": "Windows 8",
    "InitializeSynchronizationBarrier": "Windows 8",
    "EnterSynchronizationBarrier": "Windows 8",
    "GetOverlappedResultEx": "Windows 8",
    "GetCurrentThreadStackLimits": "Windows 8",
    "PrefetchVirtualMemory": "Windows 8",
    "GetProcessMitigationPolicy": "Windows 8",
    "SetProcessMitigationPolicy": "Windows 8",
    "GetCurrentPackageFullName": "Windows 8",
    "GetCurrentPackageId": "Windows 8",
    "GetCurrentPackagePath": "Windows 8",
    "LoadPackagedLibrary": "Windows 8",
    "CreateEventExW_AppContainer": "Windows 8",
    "GetPointerInfo": "Windows 8",
    "GetPointerType": "Windows 8",
    "GetPointerFrameInfo": "Windows 8",
    "GetPointerPenInfo": "Windows 8",
    "GetPointerTouchInfo": "Windows 8",
    "GetPointerDevices": "Windows 8",
    "GetPointerDeviceRects": "Windows 8",
    "EnableMouseInPointer": "Windows 8",
    "IsMouseInPointerEnabled": "Windows 8",
    "RegisterPointerInputTarget": "Windows 8",
    "InjectTouchInput": "Windows 8",
    "SetCoalescableTimer": "Windows 8",
    "GetDisplayAutoRotationPreferences": "Windows 8",
    "SetDisplayAutoRotationPreferences": "Windows 8",
    "RoInitialize": "Windows 8",
    "RoGetActivationFactory": "Windows 8",
    "WindowsCreateString": "Windows 8",
    # Windows 8.1
    "SetProcessDpiAwareness": "Windows 8.1",
    "GetProcessDpiAwareness": "Windows 8.1",
    "GetDpiForMonitor": "Windows 8.1",
    "GetDpiForShellUIComponent": "Windows 8.1",
    "LogicalToPhysicalPointForPerMonitorDPI": "Windows 8.1",
    "PhysicalToLogicalPointForPerMonitorDPI": "Windows 8.1",
    "DiscardVirtualMemory": "Windows 8.1",
    "OfferVirtualMemory": "Windows 8.1",
    "ReclaimVirtualMemory": "Windows 8.1",
    # Windows 10
    "MapViewOfFileFromApp": "Windows 10",
    "VirtualAllocFromApp": "Windows 10",
    "CreateFileMappingFromApp": "Windows 10",
    "QueryUnbiasedInterruptTimePrecise": "Windows 10",
    "GetSystemCpuSetInformation": "Windows 10",
    "GetDpiForWindow": "Windows 10 1607",
    "GetDpiForSystem": "Windows 10 1607",
    "GetSystemMetricsForDpi": "Windows 10 1607",
    "SystemParametersInfoForDpi": "Windows 10 1607",
    "AdjustWindowRectExForDpi": "Windows 10 1607",
    "EnableNonClientDpiScaling": "Windows 10 1607",
    "GetWindowDpiAwarenessContext": "Windows 10 1607",
    "GetThreadDpiAwarenessContext": "Windows 10 1607",
    "SetThreadDpiAwarenessContext": "Windows 10 1607",
    "GetAwarenessFromDpiAwarenessContext": "Windows 10 1607",
    "AreDpiAwarenessContextsEqual": "Windows 10 1607",
    "IsValidDpiAwarenessContext": "Windows 10 1607",
    "SetThreadDescription": "Windows 10 1607",
    "GetThreadDescription": "Windows 10 1607",
    "SetProcessDpiAwarenessContext": "Windows 10 1703",
    "GetDpiFromDpiAwarenessContext": "Windows 10 1803",
    "GetSystemDpiForProcess": "Windows 10 1803",
    # Windows 7 has these only with update KB2533623, which a school PC may lack.
    "SetDefaultDllDirectories": "Windows 8 (Windows 7 with KB2533623)",
    "AddDllDirectory": "Windows 8 (Windows 7 with KB2533623)",
    "RemoveDllDirectory": "Windows 8 (Windows 7 with KB2533623)",
}


def imports(objdump, program):
    """{dll (lower case): [function names]} from objdump's private headers."""
    out = subprocess.run([objdump, "-p", program], check=True, capture_output=True, text=True).stdout
    table, dll = {}, None
    for line in out.splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).lower()
            table.setdefault(dll, [])
            continue
        entry = re.match(r"\s+[0-9a-fA-F]+\s+(?:<none>\s+)?([0-9a-fA-F]+\s+)?([A-Za-z_?@$][\w@?$]*)\s*$", line)
        if dll and entry:
            table[dll].append(entry.group(2))
        elif dll and not line.strip():
            dll = None if table[dll] else dll
    return table


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: check-imports.py OBJDUMP PROGRAM.exe...")
    objdump, faults = sys.argv[1], 0
    for program in sys.argv[2:]:
        table = imports(objdump, program)
        if "kernel32.dll" not in table:
            print(f"{program}: no import table read (objdump {objdump})")
            faults += 1
            continue
        before = faults
        for dll, functions in sorted(table.items()):
            if dll not in WINDOWS_7_DLLS:
                print(f"{program}: imports {dll}, which Windows 7 SP1 does not have")
                faults += 1
            for function in functions:
                if function in NEWER_FUNCTIONS:
                    print(f"{program}: imports {function} from {dll}, new in {NEWER_FUNCTIONS[function]}")
                    faults += 1
        if faults == before:
            count = sum(len(f) for f in table.values())
            print(f"{program}: {len(table)} DLLs, {count} functions, all in Windows 7 SP1")
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
