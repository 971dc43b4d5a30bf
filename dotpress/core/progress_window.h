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
    // A loop of our own over the job (the test sheet) disables the owner's top-level window, the
    // one Windows owns the progress window by, as a modal dialog does; one the host had disabled
    // itself is left to the host. The window is enabled again before the progress window goes,
    // whatever closes the job, so that the system can give it the activation back.
    void disableOwner(os::HWND window);
    void enableOwner();

    static os::INT_PTR OS_CALLBACK progressDialogProc(os::HWND dialog, os::UINT message,
                                                      os::WPARAM wParam, os::LPARAM lParam);
    os::INT_PTR initProgressDialog(os::HWND dialog);
    void onProgressCommand(int id, int code, os::HWND control);
    // The host's loop delivered the window's note that the job moved on (kShowProgressMessage),
    // or the timer that holds updates apart ran out.
    void onProgressNoted();
    void onProgressTimer();

    // Posted to the window by the first line that changes what it should show; later lines add
    // nothing until the window has shown it. The window shows at most one update every
    // kShowInterval milliseconds: under Wine every change of a static or the bar repaints it at
    // once (a millisecond or more), as much as a dozen lines cost. A paint of the window itself
    // (it was uncovered, say) shows what is pending at once.
    static constexpr os::UINT kShowProgressMessage = os::WM_APP + 1;
    static constexpr os::UINT_PTR kShowTimer = 1;
    static constexpr os::DWORD kShowInterval = 250;

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
    // Notes the page, copy and bar of the line just printed and, when they differ from what the
    // window shows and it has not been told yet, tells it.
    void noteProgress();
    // Brings the window's page, copy and bar up to the noted ones, touching only the controls
    // whose text or position changes: on Windows every update costs a message, a redraw and an
    // accessibility event that a screen reader may announce.
    void showProgress();
    // The bar's range ends at the job's pages, or at the most its 16-bit range holds; a longer
    // job is shown on those steps, each ordinal scaled to them, rather than on the low 16 bits of
    // its count, which would start the bar again after every 65,536 pages.
    static constexpr uint32_t kBarSteps = 0xFFFF;
    uint32_t barUpper() const;
    // The bar's position for pageOrdinal: Windows keeps a position inside the bar's range, so
    // the ordinal is held there and the bar is not sent values that would show the same.
    uint32_t barPosition() const;

    // The page, copy and bar position of the last line printed; valid from initProgressDialog on.
    uint32_t notedPage;
    uint32_t notedCopy;
    uint32_t notedPosition;
    // The window has been told of a change and has not shown it yet.
    bool showPending;
    // What the window shows, and when it last changed.
    uint32_t shownPage;
    uint32_t shownCopy;
    uint32_t shownPosition;
    os::DWORD shownAt;
    // The top-level window disableOwner disabled, until it is enabled again.
    os::HWND disabledOwner;
};

} // namespace dotpress
