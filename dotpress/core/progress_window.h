// The modeless "Imprimiendo" window of a running job, and the page and copy accounting that it
// shows and that the empty-page rule of the session reads.
#pragma once

#include "dotpress/core/print_session.h"
#include "platform/os.h"

#include <cstdint>

namespace dotpress {

class ProgressWindow : public virtual PrintSession {
public:
    ProgressWindow();
    ~ProgressWindow();

    void resetAccounting();
    void openProgressWindow();
    // After every line, whether or not a job is open.
    void accountLine();
    void closeProgressWindow();

    static os::INT_PTR OS_CALLBACK progressDialogProc(os::HWND dialog, os::UINT message,
                                                      os::WPARAM wParam, os::LPARAM lParam);
    os::INT_PTR initProgressDialog(os::HWND dialog);
    void onProgressCommand(int id, int code, os::HWND control);

    int16_t lineOnPage;
    uint32_t copy;
    uint32_t totalPages;
    uint32_t pageOrdinal;
    os::HWND dialog;
    os::HWND progressBar;
    os::HWND owner;
    int32_t cancelRequested;

    static ProgressWindow* instance;

private:
    void advancePage();
};

} // namespace dotpress
