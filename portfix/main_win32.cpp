// The program entry on Windows: no window, no output, exit code 0 whatever happened.
//
// Only these two functions are needed from Windows here, so they are declared by hand rather than
// through <windows.h>, which stays inside platform/win32.
#include "portfix/command_line.h"
#include "portfix/repair.h"

struct HINSTANCE__;

extern "C" __declspec(dllimport) char* __stdcall GetCommandLineA();

extern "C" int __stdcall WinMain(HINSTANCE__*, HINSTANCE__*, char*, int) {
    // The argument is cut from the process's own command line by argumentOf, whose rule the
    // native tests pin down, rather than taken from however this runtime fills WinMain's.
    portfix::repairAllPrinters(portfix::argumentOf(GetCommandLineA()));
    return 0;
}
