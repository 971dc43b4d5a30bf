// The component behind the system's page-setup dialog for printers whose driver answers the
// parameter escapes: template 1546 with a hook that shows the driver's page parameters of a
// working copy of the record and hands every change to the driver.
#pragma once

#include "dotpress/core/print_session.h"
#include "platform/os.h"

namespace dotpress {

class PageSetupHook : public virtual PrintSession {
public:
    PageSetupHook() { instance = this; }
    ~PageSetupHook() {
        if (instance == this) {
            instance = nullptr;
        }
    }

    // Runs the page-setup dialog on `record` (the selected one), which takes the working copy
    // on "Aceptar". Without the two global blocks the dialog cannot run and is not shown.
    int32_t runPageSetup(os::HWND owner, PrinterRecord& record);

    PrinterRecord* editedRecord = nullptr; // the working copy while the dialog runs
    static PageSetupHook* instance;

private:
    static os::UINT_PTR OS_CALLBACK hookProc(os::HWND dialog, os::UINT message, os::WPARAM wParam,
                                             os::LPARAM lParam);
    void openDialog(os::HWND dialog);
    void command(os::HWND dialog, int id, os::WORD code);
    // Takes the number of field `id` into the working copy when it differs from the one the
    // field was given; false when the user left it as it was.
    bool takeChangedField(os::HWND dialog, int id);
    void acceptTypedField(os::HWND dialog);
    void refresh(os::HWND dialog);
};

// Paper length as the dialog shows it (whole inches, a half counting up) and as it keeps it
// (millimetres, the ceiling of the inches typed).
int32_t inchesOf(int16_t millimetres);
// The number the paper-length field shows for a length.
os::UINT lengthNumber(int16_t millimetres);
int16_t millimetresOf(uint32_t inches);

} // namespace dotpress
