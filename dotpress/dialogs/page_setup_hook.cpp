#include "dotpress/dialogs/page_setup_hook.h"

#include "dotpress/core/library_instance.h"
#include "dotpress/core/text_format.h"
#include "dotpress/dialogs/page_fields.h"
#include "dotpress/resources/resource_ids.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

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

// A copy of the record's device mode; null and nothing to free when there is none to trust.
bool makeDevMode(const PrinterRecord& record, os::HGLOBAL& handle) {
    handle = nullptr;
    if (!trustedDevMode(record)) {
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
            // However the focus leaves (Tab, a click elsewhere or on Aceptar, the dialog's end),
            // a field that still shows the driver's number hands it nothing.
            if (takeChangedField(dialog, id)) {
                setPrinterParams(*editedRecord);
                getPrinterParams(*editedRecord);
                refresh(dialog);
            }
        } else if (code == os::EN_SETFOCUS) {
            selectWholeText(dialog, id);
        }
        break;
    case IDC_PAGE_PAPER:
        if (code == os::CBN_SELCHANGE) {
            // Only the paper changed: the fields keep the numbers the driver gave, the length
            // included, rather than what their whole inches would read back as.
            editedRecord->params.paperFormat = static_cast<int16_t>(
                os::SendMessageW(os::GetDlgItem(dialog, IDC_PAGE_PAPER), os::CB_GETCURSEL, 0, 0));
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
        break;
    case os::IDCANCEL:
        // The system takes the focus from a field as it closes the dialog: what the field
        // shows must then be what the working copy holds, so that nothing typed reaches the
        // driver after Cancelar. Should the system keep the dialog open, it shows the copy.
        refresh(dialog);
        break;
    default:
        break;
    }
}

bool PageSetupHook::takeChangedField(os::HWND dialog, int id) {
    PrinterParams& params = editedRecord->params;
    switch (id) {
    case IDC_PAGE_LINES:
    case IDC_PAGE_COLUMNS: {
        int16_t& value = id == IDC_PAGE_LINES ? params.lines : params.columns;
        if (!fieldChanged(dialog, id, fieldNumber(value))) {
            return false;
        }
        value = fieldValue(dialog, id);
        return true;
    }
    case IDC_PAGE_LENGTH:
        // Whole inches: only a number typed is converted, rounded up to whole millimetres.
        if (!fieldChanged(dialog, id, lengthNumber(params.paperLength))) {
            return false;
        }
        params.paperLength = millimetresOf(readField(dialog, id));
        return true;
    default:
        return false;
    }
}

void PageSetupHook::acceptTypedField(os::HWND dialog) {
    // Enter accepts while a field may still have the focus, so leaving it has not handed a
    // number just typed to the driver: that one number goes now. The fields then show what the
    // driver kept, so that the focus leaving them as the system closes the dialog hands over
    // nothing more, and a dialog the system keeps open shows what "Aceptar" took.
    for (int id : {IDC_PAGE_LINES, IDC_PAGE_COLUMNS, IDC_PAGE_LENGTH}) {
        if (hasFocus(dialog, id) && takeChangedField(dialog, id)) {
            setPrinterParams(*editedRecord);
            getPrinterParams(*editedRecord);
            break;
        }
    }
    refresh(dialog);
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
