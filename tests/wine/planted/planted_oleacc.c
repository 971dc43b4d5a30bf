/* Stands for a DLL that someone planted beside a host under the name of a system library that is
 * not one of the system's known DLLs. It does nothing: the test asks which file the process
 * loaded under that name. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
