// A host that ends with a job open: it loads the library, opens a job on the stored printer,
// prints a few lines, lets its loop run and returns from main, which ends the process with the
// library still loaded. Run by the lifetime test, which reads what the library stored.
#include "dotpress_dll.h"

#include <windows.h>

int main() {
    HMODULE dll = LoadLibraryW(dotpresstest::dllPath().c_str());
    if (!dll) {
        return 2;
    }
    const dotpresstest::Exports imp(dll);
    imp.area(10, 20);
    if (imp.open("Fin del proceso", dotpresstest::jobOptions(1, {{1, 2}})) != 0) {
        return 3;
    }
    for (int i = 0; i < 5; ++i) {
        imp.line("l\xednea");
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
    return 0;
}
