#include "dotpress/core/library_instance.h"

namespace dotpress {

os::HINSTANCE moduleHandle = nullptr;

void onProcessAttach(os::HINSTANCE module) {
    moduleHandle = module;
    os::InitCommonControls(); // the progress bar's window class
}

} // namespace dotpress
