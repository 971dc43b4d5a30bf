#include "dotpress/core/progress_window.h"

#include "dotpress/core/accessible_text.h"
#include "dotpress/core/library_instance.h"
#include "dotpress/core/saturating.h"
#include "dotpress/resources/resource_ids.h"

namespace dotpress {

ProgressWindow* ProgressWindow::instance = nullptr;

ProgressWindow::ProgressWindow()
    : lineOnPage(0), copy(0), totalPages(0), pageOrdinal(0), dialog(nullptr), progressBar(nullptr),
      owner(nullptr), cancelRequested(0), notedPage(0), notedCopy(0), notedPosition(0),
      showPending(false), shownPage(0), shownCopy(0), shownPosition(0), shownAt(0),
      disabledOwner(nullptr) {
    instance = this;
}

ProgressWindow::~ProgressWindow() {
    // No window is left to close: the window uses our dialog procedure, so an open job holds a
    // reference on the library, and the loader lock held while the library goes forbids
    // destroying a window anyway.
    if (instance == this) {
        instance = nullptr;
    }
}

void ProgressWindow::resetAccounting() {
    currentPage = rangeAt(options, 0).firstPage;
    copy = 1;
    rangeIndex = 0;
    lineOnPage = 1;
    pageOrdinal = 1;
    dialog = nullptr;
    cancelRequested = 0;
    totalPages = options.totalPages;
    counts.start(selectedRecord().params.doubleSided != 0, currentPage, totalPages, options.copies);
}

void ProgressWindow::openProgressWindow() {
    if (dialog) {
        return;
    }
    // The progress bar's class, registered here rather than when the library is loaded, where
    // the loader lock forbids window calls.
    os::InitCommonControls();
    os::HWND created = os::CreateDialogParamW(moduleHandle, os::MAKEINTRESOURCEW(IDD_PROGRESS),
                                              owner, progressDialogProc, 0);
    if (created) {
        dialog = created;
        os::ShowWindow(dialog, os::SW_SHOWNORMAL);
    }
}

void ProgressWindow::disableOwner(os::HWND window) {
    const os::HWND top = window ? os::GetAncestor(window, os::GA_ROOT) : nullptr;
    if (top && os::EnableWindow(top, os::FALSE) == os::FALSE) {
        disabledOwner = top;
    }
}

void ProgressWindow::enableOwner() {
    if (disabledOwner) {
        const os::HWND window = disabledOwner;
        disabledOwner = nullptr;
        os::EnableWindow(window, os::TRUE);
    }
}

void ProgressWindow::closeProgressWindow() {
    // Activation goes only to an enabled window: the owner first, then the window goes.
    enableOwner();
    if (!dialog) {
        return;
    }
    // The last line's page, copy and bar are painted before the window goes, whether or not the
    // host's loop has run since (which also stops the hold's timer).
    showProgress();
    os::UpdateWindow(dialog);
    // An owned window: when it goes, the system hands the activation back to the host's window
    // if this one had it, and leaves it where the user put it otherwise.
    os::DestroyWindow(dialog);
    dialog = nullptr;
    progressBar = nullptr;
}

os::INT_PTR OS_CALLBACK ProgressWindow::progressDialogProc(os::HWND dialog, os::UINT message,
                                                           os::WPARAM wParam, os::LPARAM lParam) {
    if (!instance) {
        return os::FALSE;
    }
    if (message == os::WM_INITDIALOG) {
        return instance->initProgressDialog(dialog);
    }
    if (message == os::WM_COMMAND) {
        instance->onProgressCommand(os::LOWORD(wParam), os::HIWORD(wParam),
                                    reinterpret_cast<os::HWND>(lParam));
    } else if (message == kShowProgressMessage && dialog == instance->dialog) {
        instance->onProgressNoted();
    } else if (message == os::WM_TIMER && wParam == kShowTimer && dialog == instance->dialog) {
        instance->onProgressTimer();
    } else if (message == os::WM_NCDESTROY && dialog == instance->dialog) {
        // Gone without us: the system destroys an owned window with its owner, when the host
        // destroys its own window with the job still open. The job runs on without a window, and
        // its close touches no handle that may since name another window.
        instance->dialog = nullptr;
        instance->progressBar = nullptr;
        instance->showPending = false;
    } else if (message == os::WM_PAINT && dialog == instance->dialog && instance->showPending) {
        // The window paints before its controls: when it is uncovered, say, while a note waits,
        // the controls paint what the last line left rather than the state the note replaces.
        instance->showProgress();
    }
    return os::FALSE;
}

os::INT_PTR ProgressWindow::initProgressDialog(os::HWND window) {
    progressBar = os::GetDlgItem(window, IDC_PROGRESS_BAR);
    // The job's first page and copy are there before its first line, so that a line never
    // pays for them.
    notedPage = shownPage = currentPage;
    notedCopy = shownCopy = copy;
    notedPosition = shownPosition = 1;
    showPending = false;
    shownAt = os::GetTickCount();
    if (progressBar) {
        os::SendMessageW(progressBar, os::PBM_SETRANGE, 0,
                         os::MAKELPARAM(1, static_cast<os::WORD>(barUpper())));
        os::SendMessageW(progressBar, os::PBM_SETPOS, shownPosition, 0);
    }
    os::SetDlgItemTextW(window, IDC_PROGRESS_PRINTER, selectedRecord().name);
    os::SetDlgItemTextW(window, IDC_PROGRESS_DOCUMENT, documentName);
    os::SetDlgItemInt(window, IDC_PROGRESS_PAGE, shownPage, os::FALSE);
    os::SetDlgItemInt(window, IDC_PROGRESS_COPY, shownCopy, os::FALSE);
    return os::TRUE;
}

void ProgressWindow::onProgressNoted() {
    if (!showPending) {
        return;
    }
    const os::DWORD since = os::GetTickCount() - shownAt;
    // Without a timer (the desktop's quota of them spent) nothing would show the note later:
    // it is shown now, and the window goes on following the job from the next line.
    if (since >= kShowInterval ||
        os::SetTimer(dialog, kShowTimer, kShowInterval - since, nullptr) == 0) {
        showProgress();
    }
}

void ProgressWindow::onProgressTimer() {
    showProgress();
}

void ProgressWindow::onProgressCommand(int id, int, os::HWND) {
    if (id != IDC_PROGRESS_CANCEL) {
        return;
    }
    // From here on nothing more is drawn and the document is dropped when the host closes it.
    cancelRequested = 1;
    if (dialog) {
        // The button goes grey and would take the focus with it, leaving a screen reader
        // nothing to say. The focus goes first to the bar, which from now on is heard as the
        // cancelled job and stays where printing stopped.
        setAccessibleText(progressBar, u"Impresión cancelada");
        os::SetFocus(progressBar);
        os::EnableWindow(os::GetDlgItem(dialog, IDC_PROGRESS_CANCEL), os::FALSE);
    }
}

uint32_t ProgressWindow::barUpper() const {
    return totalPages < kBarSteps ? totalPages : kBarSteps;
}

uint32_t ProgressWindow::barPosition() const {
    const uint32_t upper = barUpper();
    if (upper <= 1 || pageOrdinal <= 1) {
        return 1;
    }
    uint64_t position = pageOrdinal;
    if (totalPages > upper) {
        position = position * upper / totalPages;
    }
    if (position < 1) {
        return 1;
    }
    return position < upper ? static_cast<uint32_t>(position) : upper;
}

void ProgressWindow::noteProgress() {
    notedPage = currentPage;
    notedCopy = copy;
    notedPosition = barPosition();
    if (showPending ||
        (notedPage == shownPage && notedCopy == shownCopy && notedPosition == shownPosition)) {
        return;
    }
    showPending = os::PostMessageW(dialog, kShowProgressMessage, 0, 0) != os::FALSE;
}

void ProgressWindow::showProgress() {
    if (showPending) {
        // Shown now, from the loop's note, a paint or the close: the hold's timer has nothing
        // left to show, and the hold counts from this show.
        os::KillTimer(dialog, kShowTimer);
    }
    showPending = false;
    if (shownPage != notedPage) {
        os::SetDlgItemInt(dialog, IDC_PROGRESS_PAGE, notedPage, os::FALSE);
        shownPage = notedPage;
    }
    if (shownCopy != notedCopy) {
        os::SetDlgItemInt(dialog, IDC_PROGRESS_COPY, notedCopy, os::FALSE);
        shownCopy = notedCopy;
    }
    if (shownPosition != notedPosition) {
        if (progressBar) {
            os::SendMessageW(progressBar, os::PBM_SETPOS, notedPosition, 0);
        }
        shownPosition = notedPosition;
    }
    shownAt = os::GetTickCount();
}

void ProgressWindow::accountLine() {
    if (dialog) {
        noteProgress();
    }
    // The page is as long as the device page the session ends, so that the numbers shown and
    // the empty backs follow the sheets the embosser gets.
    if (!fillsPage(lineOnPage, areaLines)) {
        lineOnPage = static_cast<int16_t>(lineOnPage + 1);
        return;
    }
    lineOnPage = 0;
    // The last page of the last range completes a copy, in either order of the pages; lines
    // sent with no job open count for no job.
    if (pageOrdinal <= totalPages && jobOpen() && endsACopy(options, rangeIndex, currentPage)) {
        counts.copyFinished();
    }
    // The ordinal stops at its limit: a job of 2^32 - 1 pages ends there as any other does.
    const bool wasLast = pageOrdinal >= totalPages;
    pageOrdinal = saturatingAdd(pageOrdinal, 1);
    if (wasLast) {
        return; // every page of the job has been counted
    }
    advancePage();
    lineOnPage = static_cast<int16_t>(lineOnPage + 1);
}

void ProgressWindow::advancePage() {
    const int32_t ranges = usedRangeCount(options);
    auto nextRange = [&] {
        if (++rangeIndex >= ranges) {
            rangeIndex = 0;
            return true;
        }
        return false;
    };
    if (options.collate == 0) {
        ++currentPage;
        if (currentPage <= rangeAt(options, rangeIndex).lastPage) {
            return;
        }
        if (nextRange()) {
            ++copy;
        }
    } else {
        if (++copy <= options.copies) {
            return;
        }
        copy = 1;
        ++currentPage;
        if (currentPage <= rangeAt(options, rangeIndex).lastPage) {
            return;
        }
        nextRange();
    }
    currentPage = rangeAt(options, rangeIndex).firstPage;
}

} // namespace dotpress
