#include "dotpress/dialogs/print_dialog.h"

#include "dotpress/core/accessible_text.h"
#include "dotpress/core/library_instance.h"
#include "dotpress/core/saturating.h"
#include "dotpress/core/text_format.h"
#include "dotpress/resources/resource_ids.h"
#include "dotpress/settings/registry_settings.h"

#include <cstring>

namespace dotpress {

PrintDialog* PrintDialog::instance = nullptr;

namespace {

constexpr const char16_t* kCaption = u"Atención";
constexpr os::DWORD kPrintFlags =
    os::PD_ENABLEPRINTHOOK | os::PD_ENABLEPRINTTEMPLATE | os::PD_NONETWORKBUTTON;

// A digit run never grows past this: anything above 32 bits is simply out of range.
constexpr uint64_t kNumberCeiling = 0x100000000ull;

os::UINT checkState(bool on) {
    return on ? os::BST_CHECKED : os::BST_UNCHECKED;
}

} // namespace

PrintDialog::PrintDialog() {
    instance = this;
    settings::loadBinding(*this);
}

PrintDialog::~PrintDialog() {
    settings::saveBinding(*this);
    if (instance == this) {
        instance = nullptr;
    }
}

PrinterRecord& PrintDialog::dialogRecord() {
    // dialogPrinter always names a listed printer while the dialog runs; anything else reads the
    // default record rather than past the table.
    return dialogPrinter >= 0 && static_cast<uint32_t>(dialogPrinter) < count
               ? records[dialogPrinter]
               : defaultRecord();
}

int32_t PrintDialog::showPrintDialog(os::HWND owner, PrintOptions* hostOptions,
                                     int32_t documentPages) {
    if (!printerSelected()) {
        os::MessageBoxW(owner, u"Debe seleccionar una impresora.", kCaption,
                        os::MB_OK | os::MB_ICONWARNING);
        return STATUS_NO_PRINTER;
    }
    if (!hostOptions) {
        return STATUS_NULL_OPTIONS;
    }
    std::memset(&printDlg, 0, sizeof printDlg);
    std::memset(hostOptions, 0, sizeof *hostOptions);
    printDlg.lStructSize = sizeof printDlg;
    printDlg.hwndOwner = owner;
    printDlg.hInstance = moduleHandle;
    printDlg.Flags = kPrintFlags;
    printDlg.nMinPage = 1;
    printDlg.nMaxPage = static_cast<os::WORD>(documentPages & 0xFFFF);
    printDlg.lpfnPrintHook = &PrintDialog::hookProc;
    printDlg.lpPrintTemplateName = os::MAKEINTRESOURCEW(IDD_PRINT);

    const os::BOOL accepted = os::PrintDlgW(&printDlg);
    dialogReady = false;
    offering = false;
    // The system hands back a device mode and device names we have no use for; they are ours to
    // free whatever the outcome.
    os::GlobalFree(printDlg.hDevMode);
    os::GlobalFree(printDlg.hDevNames);
    printDlg.hDevMode = nullptr;
    printDlg.hDevNames = nullptr;
    dialogWindow = nullptr;
    bindingBox = nullptr;
    pageListEdit = nullptr;
    if (accepted != 1) {
        return STATUS_NOT_CONFIRMED;
    }
    dialogAccepted(maxPage());
    std::memcpy(hostOptions, &options, sizeof options);
    return 0;
}

os::UINT_PTR OS_CALLBACK PrintDialog::hookProc(os::HWND dialog, os::UINT message, os::WPARAM wParam,
                                               os::LPARAM lParam) {
    PrintDialog* self = instance;
    if (!self) {
        return 0;
    }
    // The system may send commands (the copies field filled in) before WM_INITDIALOG.
    self->dialogWindow = dialog;
    if (message == os::WM_INITDIALOG) {
        return static_cast<os::UINT_PTR>(self->initPrintDialog());
    }
    if (message == os::WM_COMMAND) {
        self->onPrintDialogCommand(os::LOWORD(wParam), os::HIWORD(wParam),
                                   reinterpret_cast<os::HWND>(lParam));
    }
    return 0;
}

os::INT_PTR PrintDialog::initPrintDialog() {
    const os::HWND dialog = dialogWindow;
    // The box of this dialog, before the printer change below switches binding on or off in it.
    bindingBox = os::GetDlgItem(dialog, IDC_PRINT_BINDING);
    pageListEdit = os::GetDlgItem(dialog, IDC_PRINT_PAGE_LIST);
    dialogPrinter = static_cast<int32_t>(selected);

    const os::HWND list = os::GetDlgItem(dialog, IDC_PRINT_PRINTER_LIST);
    os::SendMessageW(list, os::CB_RESETCONTENT, 0, 0);
    fillPrinterList(list);
    os::SendMessageW(list, os::CB_SETCURSEL, static_cast<os::WPARAM>(dialogPrinter), 0);
    os::SendMessageW(dialog, os::WM_COMMAND,
                     os::MAKEWPARAM(IDC_PRINT_PRINTER_LIST, os::CBN_SELCHANGE),
                     reinterpret_cast<os::LPARAM>(list));

    const os::HWND table = os::GetDlgItem(dialog, IDC_PRINT_TABLE_LIST);
    os::SendMessageW(table, os::CB_ADDSTRING, 0, reinterpret_cast<os::LPARAM>(u"ASCII"));
    os::SendMessageW(table, os::CB_ADDSTRING, 0, reinterpret_cast<os::LPARAM>(u"ANSI"));
    os::SendMessageW(table, os::CB_SETCURSEL, static_cast<os::WPARAM>(ansiTable), 0);

    showPrinterFacts(false);

    if (maxPage() > 1) {
        char16_t caption[64];
        formatText(caption, 64, u"&Las %d páginas", maxPage());
        os::SetDlgItemTextW(dialog, IDC_PRINT_ALL, caption);
    }

    os::SendMessageW(pageListEdit, os::EM_LIMITTEXT, PAGE_LIST_MAX_CHARS, 0);
    os::EnableWindow(pageListEdit, os::FALSE);
    // What stands before the page list is the "Páginas" button, which a screen reader does not
    // take for a label: the list is named for it, with the example below it as its description.
    setAccessibleText(pageListEdit, u"Páginas", u"Ejemplo: 2-6,8,10,15-20");
    options.rangeKind = RANGE_ALL;

    showBinding();
    offerToGoOn();
    dialogReady = true;
    showPaperUse();
    return 1;
}

void PrintDialog::fillPrinterList(os::HWND list) {
    for (uint32_t i = 0; i < count; ++i) {
        os::SendMessageW(list, os::CB_ADDSTRING, 0, reinterpret_cast<os::LPARAM>(records[i].name));
    }
}

void PrintDialog::showPrinterFacts(bool withBinding) {
    const os::HWND dialog = dialogWindow;
    const PrinterRecord& p = dialogRecord();
    if (p.params.doubleSided != 0) {
        os::EnableWindow(os::GetDlgItem(dialog, IDC_PRINT_BOTH_SIDES), os::TRUE);
        os::CheckDlgButton(dialog, IDC_PRINT_BOTH_SIDES, checkState(p.adjustBothSides != 0));
    } else {
        os::EnableWindow(os::GetDlgItem(dialog, IDC_PRINT_BOTH_SIDES), os::FALSE);
        os::CheckDlgButton(dialog, IDC_PRINT_BOTH_SIDES, os::BST_UNCHECKED);
    }

    const struct {
        int id;
        int16_t value;
    } sizes[] = {{IDC_PRINT_LINES, p.params.lines}, {IDC_PRINT_COLUMNS, p.params.columns}};
    for (const auto& s : sizes) {
        if (s.value > 0) {
            os::SetDlgItemInt(dialog, s.id, static_cast<os::UINT>(s.value), os::FALSE);
        } else {
            os::SetDlgItemTextW(dialog, s.id, u"");
        }
    }

    if (withBinding) {
        showBinding();
    }
}

void PrintDialog::showBinding() {
    const os::HWND dialog = dialogWindow;
    if (dialogRecord().params.columns - static_cast<int32_t>(areaColumns) >= 2) {
        os::EnableWindow(bindingBox, os::TRUE);
        os::CheckDlgButton(dialog, IDC_PRINT_BINDING, checkState(binding != 0));
    } else {
        // Too narrow for the binding margin: binding stays off until the user ticks it again.
        binding = 0;
        os::EnableWindow(bindingBox, os::FALSE);
        os::CheckDlgButton(dialog, IDC_PRINT_BINDING, os::BST_UNCHECKED);
    }
}

void PrintDialog::onPrintDialogCommand(int id, int code, os::HWND control) {
    const os::HWND dialog = dialogWindow;
    // A change of printer, range, page list, copies, collation, sides or the box to go on
    // changes the paper the job takes.
    const bool choiceChanged =
        (id == IDC_PRINT_PRINTER_LIST && code == os::CBN_SELCHANGE) ||
        ((id == IDC_PRINT_PAGE_LIST || id == IDC_PRINT_COPIES) && code == os::EN_CHANGE) ||
        id == IDC_PRINT_ALL || id == IDC_PRINT_CURRENT_PAGE || id == IDC_PRINT_PAGES ||
        id == IDC_PRINT_COLLATE || id == IDC_PRINT_BOTH_SIDES || id == IDC_PRINT_GO_ON;
    switch (id) {
    case IDC_PRINT_BOTH_SIDES:
        if (dialogPrinter >= 0 && static_cast<uint32_t>(dialogPrinter) < count) {
            records[dialogPrinter].adjustBothSides =
                os::IsDlgButtonChecked(dialog, IDC_PRINT_BOTH_SIDES) == os::BST_CHECKED ? 1 : 0;
        }
        break;
    case IDC_PRINT_PRINT:
        if (!collectOptions()) {
            os::SetFocus(pageListEdit);
        } else if (!fitsPaper()) {
            os::MessageBoxW(dialog,
                            u"Los parámetros de conversión superan el tamaño de papel definido.\n"
                            u"Seleccione otra impresora o cambie el formato del documento.",
                            kCaption, os::MB_OK | os::MB_ICONWARNING);
        } else {
            selected = static_cast<uint32_t>(dialogPrinter);
            os::EndDialog(dialog, PRINT_DIALOG_RESULT);
        }
        break;
    case IDC_PRINT_BINDING:
        binding = os::IsDlgButtonChecked(dialog, IDC_PRINT_BINDING) == os::BST_CHECKED ? 1 : 0;
        break;
    case IDC_PRINT_TABLE_LIST: {
        const os::LRESULT table =
            os::SendMessageW(os::GetDlgItem(dialog, IDC_PRINT_TABLE_LIST), os::CB_GETCURSEL, 0, 0);
        if (table == 0 || table == 1) {
            ansiTable = static_cast<int32_t>(table);
        }
        break;
    }
    case IDC_PRINT_ALL:
    case IDC_PRINT_CURRENT_PAGE:
        options.rangeKind = id == IDC_PRINT_ALL ? RANGE_ALL : RANGE_CURRENT_PAGE;
        os::EnableWindow(pageListEdit, os::FALSE);
        os::SetWindowTextW(pageListEdit, u"");
        break;
    case IDC_PRINT_PAGES:
        options.rangeKind = RANGE_PAGES;
        os::EnableWindow(pageListEdit, os::TRUE);
        break;
    case IDC_PRINT_PRINTER_LIST:
        if (code == os::CBN_SELCHANGE) {
            const os::LRESULT chosen = os::SendMessageW(control, os::CB_GETCURSEL, 0, 0);
            if (chosen >= 0 && static_cast<uint64_t>(chosen) < count) {
                dialogPrinter = static_cast<int32_t>(chosen);
                showPrinterFacts(true);
            }
        }
        break;
    case IDC_PRINT_COPIES: {
        const os::UINT copies = os::GetDlgItemInt(dialog, IDC_PRINT_COPIES, nullptr, os::FALSE);
        os::ShowWindow(os::GetDlgItem(dialog, IDC_PRINT_COLLATE),
                       copies > 1 ? os::SW_SHOW : os::SW_HIDE);
        break;
    }
    case IDC_PRINT_GO_ON:
        onGoOnBox();
        break;
    default:
        break;
    }
    if (choiceChanged) {
        showPaperUse();
    }
}

bool PrintDialog::collectOptions() {
    const os::HWND dialog = dialogWindow;
    options.copies = os::GetDlgItemInt(dialog, IDC_PRINT_COPIES, nullptr, os::FALSE);
    options.printToFile = os::IsDlgButtonChecked(dialog, IDC_PRINT_TO_FILE) == os::BST_CHECKED;
    options.collate = os::IsDlgButtonChecked(dialog, IDC_PRINT_COLLATE) == os::BST_CHECKED;
    options.adjustBothSides = dialogRecord().adjustBothSides != 0 ? 1 : 0;
    if (options.rangeKind == RANGE_PAGES) {
        os::GetDlgItemTextW(dialog, IDC_PRINT_PAGE_LIST, pageListText,
                            static_cast<int>(sizeof pageListText / sizeof pageListText[0]));
        return takeContinuation() || parsePageList();
    }
    options.rangeCount = 1;
    if (options.rangeKind == RANGE_ALL) {
        options.ranges[0] = {1, maxPage()};
        options.totalPages = saturatingProduct(maxPage(), options.copies);
    } else {
        // The host puts its current page into the first range; nothing of an earlier run stays.
        options.ranges[0] = {0, 0};
        options.totalPages = options.copies;
    }
    return true;
}

bool PrintDialog::fitsPaper() {
    const PrinterParams& p = dialogRecord().params;
    if (p.lines == 0 || p.columns == 0) {
        return true; // the driver gave no page size
    }
    return areaLines <= p.lines && areaColumns <= p.columns;
}

PageToken PrintDialog::nextToken(uint64_t* value) {
    while (pageListPos < pageListLength && pageListText[pageListPos] == u' ') {
        ++pageListPos;
    }
    if (pageListPos >= pageListLength) {
        return PageToken::End;
    }
    const char16_t c = pageListText[pageListPos];
    if (c == u'-' || c == u',') {
        ++pageListPos;
        return c == u'-' ? PageToken::Dash : PageToken::Comma;
    }
    if (c < u'0' || c > u'9') {
        return PageToken::Invalid;
    }
    uint64_t v = 0;
    while (pageListPos < pageListLength && pageListText[pageListPos] >= u'0' &&
           pageListText[pageListPos] <= u'9') {
        v = v * 10 + static_cast<uint64_t>(pageListText[pageListPos] - u'0');
        if (v > kNumberCeiling) {
            v = kNumberCeiling;
        }
        ++pageListPos;
    }
    *value = v;
    return PageToken::Number;
}

void PrintDialog::showPageListMessage(const char16_t* text) {
    if (quietParse) {
        return;
    }
    os::MessageBoxW(dialogWindow, text, kCaption, os::MB_OK | os::MB_ICONINFORMATION);
}

bool PrintDialog::parsePageList() {
    constexpr const char16_t* kFormat =
        u"El formato de los números de página a imprimir no es correcto.";
    size_t length = 0;
    while (length + 1 < sizeof pageListText / sizeof pageListText[0] && pageListText[length]) {
        ++length;
    }
    pageListText[length] = 0;
    pageListLength = static_cast<int32_t>(length);
    pageListPos = 0;
    if (pageListLength == 0) {
        showPageListMessage(u"Debe introducir las páginas que desee imprimir.");
        return false;
    }

    const uint64_t last = maxPage();
    const bool bothSides = dialogRecord().params.doubleSided != 0;
    char16_t outOfRange[96];
    formatText(outOfRange, 96, u"El número de página debe estar entre 1 y %d", maxPage());

    enum class State { ExpectFirst, AfterFirst, AfterDash, AfterRange, Done, Failed };
    options.rangeCount = 0;
    uint32_t pages = 0;
    uint32_t typed = 0; // the first number as typed, before the sheet adjustment
    auto fail = [this](const char16_t* text) {
        showPageListMessage(text);
        return State::Failed;
    };
    auto closeEntry = [&pages](PageRange& e, uint32_t lastPage) {
        e.lastPage = lastPage;
        pages += lastPage - e.firstPage + 1;
    };
    // After a complete entry: a comma expects the next one, the end finishes the list.
    auto nextEntry = [this](PageToken token) {
        ++options.rangeCount;
        return token == PageToken::Comma ? State::ExpectFirst : State::Done;
    };

    State state = State::ExpectFirst;
    while (state != State::Done && state != State::Failed) {
        // The 25-character edit yields 13 entries at most; a longer text set by other means
        // must still never write past the ranges.
        if (options.rangeCount >= MAX_PAGE_RANGES) {
            state = fail(kFormat);
            break;
        }
        PageRange& e = options.ranges[options.rangeCount];
        uint64_t v = 0;
        const PageToken token = nextToken(&v);
        const bool separator = token == PageToken::Comma || token == PageToken::End;
        switch (state) {
        case State::ExpectFirst:
            if (token != PageToken::Number) {
                state = fail(kFormat);
            } else if (v == 0 || v > last) {
                state = fail(outOfRange);
            } else {
                typed = static_cast<uint32_t>(v);
                e.firstPage = bothSides && typed % 2 == 0 ? typed - 1 : typed;
                state = State::AfterFirst;
            }
            break;
        case State::AfterFirst:
            if (token == PageToken::Dash) {
                state = State::AfterDash;
            } else if (separator) {
                // A single page. An even one on a printer that prints both sides is the whole
                // sheet it stands on, so the page the user typed is printed.
                closeEntry(e, typed);
                state = nextEntry(token);
            } else {
                state = fail(kFormat);
            }
            break;
        case State::AfterDash:
            if (token == PageToken::Number && v < e.firstPage) {
                state = fail(u"La última página de un intervalo debe ser mayor o igual que la "
                             u"primera.");
            } else if (token == PageToken::Number && v > last) {
                state = fail(outOfRange);
            } else if (token == PageToken::Number) {
                // A closed range ends with its sheet, short of the document's last page.
                const auto end = static_cast<uint32_t>(v);
                closeEntry(e, end < last && end % 2 == 1 ? end + 1 : end);
                state = State::AfterRange;
            } else if (separator) {
                closeEntry(e, static_cast<uint32_t>(last)); // an open range runs to the end
                state = nextEntry(token);
            } else {
                state = fail(kFormat);
            }
            break;
        case State::AfterRange:
            state = separator ? nextEntry(token) : fail(kFormat);
            break;
        case State::Done:
        case State::Failed:
            break;
        }
    }
    // Pages times copies past 32 bits: the most there can be, never the wrapped remainder.
    options.totalPages = saturatingProduct(pages, options.copies);
    return state == State::Done;
}

} // namespace dotpress
