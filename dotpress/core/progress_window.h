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
    // Brings the window's page, copy and bar up to the accounting, touching only the controls
    // whose text or position would change: on Windows every update costs a message, a redraw
    // and an accessibility event that a screen reader may announce.
    void showProgress();
    // The bar's position for pageOrdinal: Windows keeps a position inside the bar's range, so
    // the ordinal is held there and the bar is not sent values that would show the same.
    uint32_t barPosition() const;

    // What the window shows; valid from initProgressDialog on.
    bool countersShown;
    uint32_t shownPage;
    uint32_t shownCopy;
    uint32_t shownPosition;
};

} // namespace dotpress
