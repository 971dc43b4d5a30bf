// The program entry on Windows: no window, no output, exit code 0 whatever happened.
#include "platform/os.h"
#include "portfix/command_line.h"
#include "portfix/repair.h"

extern "C" int OS_CALLBACK WinMain(os::HINSTANCE, os::HINSTANCE, char*, int) {
    // The argument is cut from the process's own command line by argumentOf, whose rule the
    // native tests pin down, rather than taken from however this runtime fills WinMain's.
    portfix::repairAllPrinters(portfix::argumentOf(os::GetCommandLineA()));
    return 0;
}
