#include "dotpress/dialogs/page_setup_hook.h"

#include "dotpress/core/library_instance.h"
#include "dotpress/core/text_format.h"
#include "dotpress/dialogs/page_fields.h"
#include "dotpress/resources/resource_ids.h"

#include <cmath>
#include <cstring>

namespace dotpress {

namespace {

constexpr size_t kTitleUnits = 260;

// A movable global block that the system dialog takes; freed here unless handed over.
class GlobalBlock {
public:
    explicit GlobalBlock(size_t bytes)
        : handle(os::GlobalAlloc(os::GMEM_MOVEABLE | os::GMEM_ZEROINIT, bytes)) {}
    ~GlobalBlock() { os::GlobalFree(handle); }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    // Copies `bytes` into the block; false when it cannot be locked.
    bool fill(const void* bytes, size_t size) {
        void* at = os::GlobalLock(handle);
        if (!at) {
            return false;
        }
        std::memcpy(at, bytes, size);
        os::GlobalUnlock(handle);
        return true;
    }
    os::HGLOBAL release() {
        os::HGLOBAL taken = handle;
        handle = nullptr;
        return taken;
    }
    os::HGLOBAL handle;
};

// The DEVNAMES block of a record: driver, device and port behind the header, each terminated.
os::HGLOBAL makeDevNames(const PrinterRecord& record) {
    const char16_t* names[] = {record.driver, record.name, record.port};
    const size_t lengths[] = {nameLength(record.driver), nameLength(record.name),
                              nameLength(record.port)};
    const size_t units = sizeof(os::DEVNAMES) / 2 + lengths[0] + lengths[1] + lengths[2] + 3;
    GlobalBlock block(units * 2);
    if (!block.handle) {
        return nullptr;
    }
    auto* at = static_cast<uint8_t*>(os::GlobalLock(block.handle));
    if (!at) {
        return nullptr;
    }
    os::DEVNAMES header{};
    auto offset = static_cast<os::WORD>(sizeof header / 2);
    os::WORD* offsets[] = {&header.wDriverOffset, &header.wDeviceOffset, &header.wOutputOffset};
    for (size_t k = 0; k < 3; ++k) {
        *offsets[k] = offset;
        std::memcpy(at + 2 * offset, names[k], 2 * lengths[k]); // the zero fill terminates it
        offset = static_cast<os::WORD>(offset + lengths[k] + 1);
    }
    std::memcpy(at, &header, sizeof header);
    os::GlobalUnlock(block.handle);
    return block.release();
}

// A copy of the record's device mode; null and nothing to free when there is no device mode.
bool makeDevMode(const PrinterRecord& record, os::HGLOBAL& handle) {
    handle = nullptr;
    if (!record.devMode || record.devModeSize == 0) {
        return true;
    }
    GlobalBlock block(record.devModeSize);
    if (!block.handle || !block.fill(record.devMode, record.devModeSize)) {
        return false;
    }
    handle = block.release();
    return true;
}

} // namespace

int32_t inchesOf(int16_t millimetres) {
    return static_cast<int32_t>(millimetres * 0.03937007874015748 + 0.5);
}

os::UINT lengthNumber(int16_t millimetres) {
    // Unsigned like the other fields, so that the field reads back the number it shows.
    return static_cast<os::UINT>(inchesOf(millimetres));
}

int16_t millimetresOf(uint32_t inches) {
    // Any field value fits 64 bits once converted; the record keeps its low 16 bits.
    const auto millimetres = static_cast<int64_t>(std::ceil(inches * 25.4));
    return static_cast<int16_t>(static_cast<uint16_t>(millimetres & 0xFFFF));
}

int32_t PageSetupHook::runPageSetup(os::HWND owner, PrinterRecord& record) {
    editedRecord = copyRecord(record);
    if (!editedRecord) {
        return 0;
    }
    os::PAGESETUPDLGW setup{};
    setup.hDevNames = makeDevNames(*editedRecord);
    // The dialog cannot run without both blocks: then it is not shown and the record stays.
    if (setup.hDevNames && makeDevMode(*editedRecord, setup.hDevMode)) {
        setup.lStructSize = sizeof setup;
        setup.hwndOwner = owner;
        setup.Flags = os::PSD_ENABLEPAGESETUPHOOK | os::PSD_ENABLEPAGESETUPTEMPLATE;
        setup.hInstance = moduleHandle;
        setup.lpPageSetupTemplateName = os::MAKEINTRESOURCEW(IDD_PAGE_CONFIG);
        setup.lpfnPageSetupHook = hookProc;
        if (os::PageSetupDlgW(&setup) == 1) {
            copyRecordInto(*editedRecord, &record);
        }
    }
    freeRecord(editedRecord);
    editedRecord = nullptr;
    // The system may have replaced either block; what the structure holds now is ours to free.
    // The device mode it hands back is not read: every change reached the working copy.
    os::GlobalFree(setup.hDevMode);
    os::GlobalFree(setup.hDevNames);
    return 0;
}

os::UINT_PTR OS_CALLBACK PageSetupHook::hookProc(os::HWND dialog, os::UINT message,
                                                 os::WPARAM wParam, os::LPARAM) {
    PageSetupHook* self = instance;
    if (!self || !self->editedRecord) {
        return os::FALSE;
    }
    if (message == os::WM_INITDIALOG) {
        self->openDialog(dialog);
        return os::TRUE;
    }
    if (message == os::WM_COMMAND) {
        self->command(dialog, os::LOWORD(wParam), os::HIWORD(wParam));
    }
    // FALSE: the system dialog goes on with Aceptar, Cancelar and its paper list.
    return os::FALSE;
}

void PageSetupHook::openDialog(os::HWND dialog) {
    closing = false;
    // The dialog starts from what the driver reads out of the device mode.
    getPrinterParams(*editedRecord);
    refresh(dialog);
    if (printerSelected()) {
        char16_t title[kTitleUnits];
        formatText(title, kTitleUnits, u"Configurar página de %s", selectedRecord().name);
        os::SetWindowTextW(dialog, title);
    }
}

void PageSetupHook::command(os::HWND dialog, int id, os::WORD code) {
    const bool field = id == IDC_PAGE_LINES || id == IDC_PAGE_COLUMNS || id == IDC_PAGE_LENGTH;
    if (closing) {
        // The system closes the dialog after Aceptar or Cancelar, and the focus leaves a field
        // with it: no reason to hand the driver anything. A field that gets the focus again
        // means the dialog stayed open after all.
        if (!(field && code == os::EN_SETFOCUS)) {
            return;
        }
        closing = false;
    }
    switch (id) {
    case IDC_PAGE_PRINTER_SETUP:
        showPrinterProperties(dialog, *editedRecord);
        getPrinterParams(*editedRecord);
        refresh(dialog);
        break;
    case IDC_PAGE_RESTORE:
        readDeviceMode(*editedRecord);
        getPrinterParams(*editedRecord);
        refresh(dialog);
        break;
    case IDC_PAGE_LINES:
    case IDC_PAGE_COLUMNS:
    case IDC_PAGE_LENGTH:
        if (code == os::EN_KILLFOCUS) {
            readControls(dialog);
            setPrinterParams(*editedRecord);
            getPrinterParams(*editedRecord);
            refresh(dialog);
        } else if (code == os::EN_SETFOCUS) {
            selectWholeText(dialog, id);
        }
        break;
    case IDC_PAGE_PAPER:
        if (code == os::CBN_SELCHANGE) {
            readControls(dialog);
            setPrinterParams(*editedRecord);
            refresh(dialog);
        } else if (code == os::CBN_SETFOCUS) {
            // Wine fills the paper list only after this hook's WM_INITDIALOG, and selects its own
            // idea of the paper in it. The list first gets the focus right after that, so the
            // driver's format and the fields' lock are shown again once the list is complete.
            refresh(dialog);
        }
        break;
    case os::IDOK:
        acceptTypedField(dialog);
        closing = true;
        break;
    case os::IDCANCEL:
        closing = true;
        break;
    default:
        break;
    }
}

void PageSetupHook::readControls(os::HWND dialog) {
    PrinterParams& params = editedRecord->params;
    params.paperFormat = static_cast<int16_t>(
        os::SendMessageW(os::GetDlgItem(dialog, IDC_PAGE_PAPER), os::CB_GETCURSEL, 0, 0));
    params.lines = fieldValue(dialog, IDC_PAGE_LINES);
    params.columns = fieldValue(dialog, IDC_PAGE_COLUMNS);
    params.paperLength = millimetresOf(readField(dialog, IDC_PAGE_LENGTH));
}

void PageSetupHook::acceptTypedField(os::HWND dialog) {
    // Enter accepts while a field may still have the focus, so leaving it never handed a number
    // just typed to the driver: that one number goes now. Nothing else is read back: what the
    // fields show is what the driver last gave, and reading it again would round the paper
    // length to whole inches or take a format beyond the system's paper list as none at all.
    PrinterParams& params = editedRecord->params;
    if (typedInFocusedField(dialog, IDC_PAGE_LINES, fieldNumber(params.lines))) {
        params.lines = fieldValue(dialog, IDC_PAGE_LINES);
    } else if (typedInFocusedField(dialog, IDC_PAGE_COLUMNS, fieldNumber(params.columns))) {
        params.columns = fieldValue(dialog, IDC_PAGE_COLUMNS);
    } else if (typedInFocusedField(dialog, IDC_PAGE_LENGTH, lengthNumber(params.paperLength))) {
        params.paperLength = millimetresOf(readField(dialog, IDC_PAGE_LENGTH));
    } else {
        return;
    }
    setPrinterParams(*editedRecord);
    getPrinterParams(*editedRecord);
}

void PageSetupHook::refresh(os::HWND dialog) {
    const PrinterParams& params = editedRecord->params;
    showPage(dialog, params);
    showField(dialog, IDC_PAGE_LENGTH, lengthNumber(params.paperLength));
    // The paper length is the driver's to give for its own formats, like lines and columns.
    const os::LRESULT entries =
        os::SendMessageW(os::GetDlgItem(dialog, IDC_PAGE_PAPER), os::CB_GETCOUNT, 0, 0);
    const bool userDefined = entries > 0 && params.paperFormat == entries - 1;
    os::SendMessageW(os::GetDlgItem(dialog, IDC_PAGE_LENGTH), os::EM_SETREADONLY,
                     userDefined ? os::FALSE : os::TRUE, 0);
}

} // namespace dotpress
