// What the print dialog tells of the paper: the sheets the choice takes, on the line beside the
// buttons, and after a job the user cancelled, the box that sets up the rest of it.
#include "dotpress/core/saturating.h"
#include "dotpress/core/text_format.h"
#include "dotpress/dialogs/print_dialog.h"
#include "dotpress/resources/resource_ids.h"

namespace dotpress {

namespace {

bool sameText(const char16_t* a, const char16_t* b) {
    for (; *a && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

// The page list the parser reads back as these ranges on this printer: a range that runs to the
// last page left open ("5-"), the others as they are, or, when that is too long for the field, as
// short as the user may type them (an even page for its sheet, "4" for 3-4, on a double-sided
// printer).
void writePageList(TextBuilder& list, const Continuation& rest, uint32_t lastPage,
                   bool sheetAsPage) {
    for (int32_t k = 0; k < rest.rangeCount; ++k) {
        const uint32_t first = rest.ranges[k].firstPage;
        const uint32_t last = rest.ranges[k].lastPage;
        if (k > 0) {
            list << u",";
        }
        if (first == last) {
            list << first;
        } else if (sheetAsPage && last == first + 1 && last % 2 == 0) {
            list << last;
        } else if (last == lastPage) {
            list << first << u"-";
        } else {
            list << first << u"-" << last;
        }
    }
}

} // namespace

void PrintDialog::showPaperUse() {
    if (!dialogReady) {
        return;
    }
    quietParse = true;
    const bool chosen = collectOptions();
    quietParse = false;
    char16_t line[64];
    TextBuilder text(line);
    if (chosen) {
        PrintOptions job = options;
        if (job.rangeKind == RANGE_CURRENT_PAGE) {
            // The host's page is not known here: one page a copy, on a sheet of its own on a
            // double-sided printer, as an odd page is printed.
            job.rangeCount = 1;
            job.ranges[0] = {1, 1};
        }
        const uint64_t sheets = paperUse(job, dialogRecord().params.doubleSided != 0).sheets;
        // A screen reader reads "1 hoja" as "uno hoja": one sheet is said in words.
        if (sheets == 1) {
            text << u"Se usará una hoja de papel.";
        } else {
            text << u"Se usarán " << sheets << u" hojas de papel.";
        }
    }
    // Only a change is shown, so that a screen reader does not hear the line again for nothing.
    char16_t shown[64];
    os::GetDlgItemTextW(dialogWindow, IDC_PRINT_SHEETS, shown, 64);
    if (!sameText(shown, line)) {
        os::SetDlgItemTextW(dialogWindow, IDC_PRINT_SHEETS, line);
    }
}

void PrintDialog::offerToGoOn() {
    const os::HWND dialog = dialogWindow;
    TextBuilder list(goOnList);
    offering = continuation(maxPage(), goOn);
    if (offering) {
        writePageList(list, goOn, maxPage(), false);
        if (!list.fits() && dialogRecord().params.doubleSided != 0) {
            TextBuilder shorter(goOnList);
            writePageList(shorter, goOn, maxPage(), true);
            offering = shorter.fits();
        } else {
            // A rest the page list cannot hold is not offered: the user could not hear or mend it.
            offering = list.fits();
        }
    }
    char16_t caption[160];
    TextBuilder text(caption);
    text << u"C&ontinuar el trabajo cancelado desde la página " << goOn.firstPage;
    if (goOn.collate) {
        text << u", con sus " << goOn.copies << u" copias";
        if (goOn.repeated == 1) {
            text << u"; se repite una copia de esa página";
        } else if (goOn.repeated > 1) {
            text << u"; se repiten " << goOn.repeated << u" copias de esa página";
        }
    } else if (goOn.copiesLeft == 1) {
        text << u", queda una copia completa";
    } else if (goOn.copiesLeft > 1) {
        text << u", quedan " << goOn.copiesLeft << u" copias completas";
    }
    const os::HWND box = os::GetDlgItem(dialog, IDC_PRINT_GO_ON);
    os::SetWindowTextW(box, caption);
    os::CheckDlgButton(dialog, IDC_PRINT_GO_ON, os::BST_UNCHECKED);
    // Hidden, and so out of the tab order and of its mnemonic, when there is nothing to offer.
    os::EnableWindow(box, offering ? os::TRUE : os::FALSE);
    os::ShowWindow(box, offering ? os::SW_SHOW : os::SW_HIDE);
}

void PrintDialog::onGoOnBox() {
    const os::HWND dialog = dialogWindow;
    if (!offering) {
        return;
    }
    // A range button is chosen as our handler of its click chooses it; the system dialog has
    // nothing of its own to do for one in our template.
    auto chooseRange = [this, dialog](int32_t kind) {
        const int buttons[] = {IDC_PRINT_ALL, IDC_PRINT_CURRENT_PAGE, IDC_PRINT_PAGES};
        const int32_t chosen = kind >= 0 && kind < 3 ? kind : 0;
        for (int32_t k = 0; k < 3; ++k) {
            os::CheckDlgButton(dialog, buttons[k],
                               k == chosen ? os::BST_CHECKED : os::BST_UNCHECKED);
        }
        onPrintDialogCommand(buttons[chosen], os::BN_CLICKED,
                             os::GetDlgItem(dialog, buttons[chosen]));
    };
    // The collate box as a click leaves it, so that the system dialog shows its picture.
    auto setCollate = [dialog](os::UINT check) {
        os::CheckDlgButton(dialog, IDC_PRINT_COLLATE, check);
        os::SendMessageW(dialog, os::WM_COMMAND, os::MAKEWPARAM(IDC_PRINT_COLLATE, os::BN_CLICKED),
                         reinterpret_cast<os::LPARAM>(os::GetDlgItem(dialog, IDC_PRINT_COLLATE)));
    };
    if (os::IsDlgButtonChecked(dialog, IDC_PRINT_GO_ON) == os::BST_CHECKED) {
        keptRangeKind = options.rangeKind;
        os::GetDlgItemTextW(dialog, IDC_PRINT_PAGE_LIST, keptList, PAGE_LIST_MAX_CHARS + 1);
        os::GetDlgItemTextW(dialog, IDC_PRINT_COPIES, keptCopies, 32);
        keptCollate = os::IsDlgButtonChecked(dialog, IDC_PRINT_COLLATE);
        // What is left of a whole document from its first page is all of it.
        const bool whole = goOn.rangeCount == 1 && goOn.ranges[0].firstPage == 1 &&
                           goOn.ranges[0].lastPage == maxPage();
        chooseRange(whole ? RANGE_ALL : RANGE_PAGES);
        if (!whole) {
            os::SetWindowTextW(pageListEdit, goOnList);
        }
        os::SetDlgItemInt(dialog, IDC_PRINT_COPIES, goOn.copies, os::FALSE);
        if (goOn.collate) {
            setCollate(os::BST_CHECKED);
        }
    } else {
        chooseRange(keptRangeKind);
        if (keptRangeKind == RANGE_PAGES) {
            os::SetWindowTextW(pageListEdit, keptList);
        }
        os::SetDlgItemTextW(dialog, IDC_PRINT_COPIES, keptCopies);
        setCollate(keptCollate);
    }
}

bool PrintDialog::takeContinuation() {
    if (!offering || os::IsDlgButtonChecked(dialogWindow, IDC_PRINT_GO_ON) != os::BST_CHECKED ||
        !sameText(pageListText, goOnList)) {
        return false;
    }
    // Counted as the page list's entries are.
    uint32_t pages = 0;
    options.rangeCount = goOn.rangeCount;
    for (int32_t k = 0; k < goOn.rangeCount; ++k) {
        options.ranges[k] = goOn.ranges[k];
        pages += goOn.ranges[k].lastPage - goOn.ranges[k].firstPage + 1;
    }
    options.totalPages = saturatingProduct(pages, options.copies);
    return true;
}

} // namespace dotpress
