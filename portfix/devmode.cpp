#include "portfix/devmode.h"

#include <cstring>

namespace portfix {

DevModeA defaultDevMode(const char* printerName) {
    DevModeA dm;
    std::memset(&dm, 0, sizeof dm);
    if (printerName) {
        std::memcpy(dm.dmDeviceName, printerName, strnlen(printerName, sizeof dm.dmDeviceName));
    }
    dm.dmSpecVersion = kDevModeSpecVersion;
    dm.dmDriverVersion = kDevModeDriverVersion;
    dm.dmSize = sizeof(DevModeA);
    dm.dmDriverExtra = 0;
    return dm;
}

} // namespace portfix
