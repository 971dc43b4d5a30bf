// Simulated system dialogs: DialogBoxParamW, and the common print, print-setup and page-setup
// dialogs playing the platform's part. The scripted user who works them is in scripted_user.cpp,
// the loop they run in in modal_loop.cpp.
#include "platform/sim/internal.h"
#include "platform/sim/world.h"

#include <algorithm>

namespace sim {

// ---------------------------------------------------------------------------------------------
// The common dialogs' own part.

namespace {

int printerIndexByName(const std::u16string& name) {
    for (size_t i = 0; i < world().printers.size(); ++i) {
        if (world().printers[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// A change of selection in the printer list that reaches the system: it opens the printer the
// entry names and shows its status, type, location and comment. An entry that names no
// installed printer is a fault of the hook: Wine's dialog has by then freed its printer and
// driver blocks, fails to open the name, and frees the blocks again later.
void changePrinter(os::HWND dialog, int listId) {
    char16_t name[260];
    os::GetDlgItemTextW(dialog, listId, name, 260);
    const int index = printerIndexByName(name);
    if (index < 0) {
        ++world().unknownPrinterOpens;
        return;
    }
    const Printer& p = world().printers[static_cast<size_t>(index)];
    os::SetDlgItemTextW(dialog, 1099, u"Listo");
    os::SetDlgItemTextW(dialog, 1098, p.driver.c_str());
    os::SetDlgItemTextW(dialog, 1101, p.port.c_str());
    os::SetDlgItemTextW(dialog, 1100, p.comment.c_str());
}

void fillPrinterList(os::HWND dialog, int listId) {
    const os::HWND list = os::GetDlgItem(dialog, listId);
    if (!list) {
        return;
    }
    for (const Printer& p : world().printers) {
        os::SendMessageW(list, os::CB_ADDSTRING, 0, reinterpret_cast<os::LPARAM>(p.name.c_str()));
    }
    const int def = world().defaultPrinter;
    if (def >= 0 && def < static_cast<int>(world().printers.size())) {
        os::SendMessageW(list, os::CB_SETCURSEL, static_cast<os::WPARAM>(def), 0);
        changePrinter(dialog, listId);
    }
}

void end(os::HWND dialog, os::INT_PTR result) {
    Window* w = findWindow(dialog);
    if (!w) {
        return;
    }
    if (world().refusedEnds > 0) {
        --world().refusedEnds; // the dialog stays open, as after a check of the system's own
        return;
    }
    endModal(*w, result);
}

// A global block holding a copy of bytes.
os::HGLOBAL globalCopy(const std::vector<uint8_t>& bytes) {
    const os::HGLOBAL block = os::GlobalAlloc(os::GMEM_MOVEABLE, bytes.size());
    if (void* p = os::GlobalLock(block)) {
        std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(p));
        os::GlobalUnlock(block);
    }
    return block;
}

std::vector<uint8_t> devNamesFor(const Printer& p) {
    const std::u16string parts[] = {p.driver, p.name, p.port};
    std::vector<uint8_t> block(sizeof(os::DEVNAMES));
    os::WORD offsets[3];
    for (size_t k = 0; k < 3; ++k) {
        offsets[k] = static_cast<os::WORD>(block.size() / 2);
        for (char16_t c : parts[k]) {
            block.push_back(static_cast<uint8_t>(c & 0xFF));
            block.push_back(static_cast<uint8_t>(c >> 8));
        }
        block.push_back(0);
        block.push_back(0);
    }
    for (size_t k = 0; k < 3; ++k) {
        block[2 * k] = static_cast<uint8_t>(offsets[k] & 0xFF);
        block[2 * k + 1] = static_cast<uint8_t>(offsets[k] >> 8);
    }
    return block;
}

// The printer named by a device-names block, or -1.
int printerOfDevNames(os::HGLOBAL devNames) {
    auto found = world().globals.find(reinterpret_cast<uintptr_t>(devNames));
    if (found == world().globals.end() || !found->second.live ||
        found->second.bytes.size() < sizeof(os::DEVNAMES)) {
        return -1;
    }
    const auto& bytes = found->second.bytes;
    size_t at = 2 * static_cast<size_t>(bytes[2] | (bytes[3] << 8));
    std::u16string name;
    for (; at + 1 < bytes.size(); at += 2) {
        const auto c = static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
        if (!c) {
            break;
        }
        name += c;
    }
    return printerIndexByName(name);
}

void fillPaperList(os::HWND dialog, const Printer* p) {
    const os::HWND list = os::GetDlgItem(dialog, 1137);
    if (!list || !p) {
        return;
    }
    for (const auto& paper : p->paperNames) {
        os::SendMessageW(list, os::CB_ADDSTRING, 0, reinterpret_cast<os::LPARAM>(paper.c_str()));
    }
}

} // namespace

os::INT_PTR commonDialogDefault(os::HWND dialog, os::UINT message, os::WPARAM wParam,
                                os::LPARAM lParam) {
    (void)lParam;
    Window* w = findWindow(dialog);
    if (!w || message != os::WM_COMMAND) {
        return 0;
    }
    const int id = os::LOWORD(wParam);
    const os::WORD code = os::HIWORD(wParam);
    if (id == os::IDOK) {
        end(dialog, 1);
        return 1;
    }
    if (id == os::IDCANCEL) {
        end(dialog, 0);
        return 0;
    }
    if (w->kind == DialogKind::Print) {
        if (id == 1139 && code == os::CBN_SELCHANGE) {
            changePrinter(dialog, 1139);
        } else if (id == 1154 && code == os::EN_CHANGE) {
            // The collate box only means something for more than one copy.
            const os::UINT copies = os::GetDlgItemInt(dialog, 1154, nullptr, 0);
            os::EnableWindow(os::GetDlgItem(dialog, 1041), copies > 1 ? 1 : 0);
        }
    } else if (w->kind == DialogKind::PrintSetup) {
        if (id == 1136 && code == os::CBN_SELCHANGE) {
            changePrinter(dialog, 1136);
        }
    }
    return 0;
}

} // namespace sim

namespace os {

using sim::world;

INT_PTR DialogBoxParamW(HINSTANCE instance, const char16_t* templateName, HWND owner, DLGPROC proc,
                        LPARAM initParam) {
    sim::systemCall("DialogBoxParamW");
    sim::Window* w =
        proc ? sim::buildDialog(instance, templateName, owner, sim::DialogKind::Plain) : nullptr;
    if (!w) {
        return -1;
    }
    w->proc = proc;
    w->modal = true;
    w->visible = true;
    const HWND dialog = w->handle;
    sim::initialise(dialog, initParam);
    return sim::runModal(dialog);
}

BOOL PrintDlgW(PRINTDLGW* pd) {
    sim::systemCall("PrintDlgW");
    if (!pd) {
        return FALSE;
    }
    world().printDialogs.push_back(*pd);
    if (pd->lStructSize != sizeof(PRINTDLGW)) {
        return FALSE;
    }
    const bool setup = (pd->Flags & PD_PRINTSETUP) != 0;
    const bool custom = (pd->Flags & (setup ? PD_ENABLESETUPTEMPLATE : PD_ENABLEPRINTTEMPLATE));
    // The simulated machine has no templates of its own: a dialog without the caller's fails.
    sim::Window* w =
        custom ? sim::buildDialog(
                     pd->hInstance, setup ? pd->lpSetupTemplateName : pd->lpPrintTemplateName,
                     pd->hwndOwner, setup ? sim::DialogKind::PrintSetup : sim::DialogKind::Print)
               : nullptr;
    if (!w) {
        return FALSE;
    }
    w->modal = true;
    w->visible = true;
    const bool hooked = (pd->Flags & (setup ? PD_ENABLESETUPHOOK : PD_ENABLEPRINTHOOK)) != 0;
    const HWND dialog = w->handle;

    // The platform's own initialisation comes first; its notifications reach the hook already.
    sim::findWindow(dialog)->hook =
        hooked ? (setup ? pd->lpfnSetupHook : pd->lpfnPrintHook) : nullptr;
    sim::fillPrinterList(dialog, setup ? 1136 : 1139);
    if (!setup) {
        WORD maxPage = pd->nMaxPage < pd->nMinPage ? pd->nMinPage : pd->nMaxPage;
        CheckDlgButton(dialog, 1056, BST_CHECKED);
        CheckDlgButton(dialog, 1057, BST_UNCHECKED);
        CheckDlgButton(dialog, 1058, BST_UNCHECKED);
        if (maxPage == pd->nMinPage) {
            // One page to choose from: no page numbers to type.
            EnableWindow(GetDlgItem(dialog, 1058), FALSE);
        }
        CheckDlgButton(dialog, 1041, BST_UNCHECKED);
        SetDlgItemInt(dialog, 1154, pd->nCopies == 0 ? 1 : pd->nCopies, FALSE);
        CheckDlgButton(dialog, 1040, BST_UNCHECKED);
    }
    sim::initialise(dialog, reinterpret_cast<LPARAM>(pd));
    const INT_PTR result = sim::runModal(dialog);
    if (result <= 0) {
        return FALSE;
    }
    // The chosen printer's device mode and names, which the caller now owns.
    int chosen = -1;
    for (const sim::Window& done : world().windows) {
        for (const sim::Control& c : done.controls) {
            if (done.handle == dialog && (c.id == 1139 || c.id == 1136) && c.selection >= 0 &&
                c.selection < static_cast<int>(c.items.size())) {
                chosen = sim::printerIndexByName(c.items[static_cast<size_t>(c.selection)]);
            }
        }
    }
    if (chosen < 0) {
        chosen = world().defaultPrinter;
    }
    if (chosen >= 0 && chosen < static_cast<int>(world().printers.size())) {
        const sim::Printer& p = world().printers[static_cast<size_t>(chosen)];
        GlobalFree(pd->hDevMode);
        GlobalFree(pd->hDevNames);
        pd->hDevMode = sim::globalCopy(p.devMode);
        pd->hDevNames = sim::globalCopy(sim::devNamesFor(p));
    }
    return TRUE;
}

BOOL PageSetupDlgW(PAGESETUPDLGW* psd) {
    sim::systemCall("PageSetupDlgW");
    if (!psd) {
        return FALSE;
    }
    world().pageSetupDialogs.push_back(*psd);
    if (psd->lStructSize != sizeof(PAGESETUPDLGW) || !(psd->Flags & PSD_ENABLEPAGESETUPTEMPLATE)) {
        return FALSE;
    }
    sim::Window* w = sim::buildDialog(psd->hInstance, psd->lpPageSetupTemplateName, psd->hwndOwner,
                                      sim::DialogKind::PageSetup);
    if (!w) {
        return FALSE;
    }
    w->modal = true;
    w->visible = true;
    w->hook = (psd->Flags & PSD_ENABLEPAGESETUPHOOK) ? psd->lpfnPageSetupHook : nullptr;
    const HWND dialog = w->handle;
    const int index = sim::printerOfDevNames(psd->hDevNames);
    const sim::Printer* printer =
        index >= 0 ? &world().printers[static_cast<size_t>(index)] : nullptr;
    // Windows fills the paper list before the hook's initialisation; Wine right after the hook
    // has answered it, still inside its own WM_INITDIALOG and so before the system sets the focus.
    if (!world().paperListAfterInit) {
        sim::fillPaperList(dialog, printer);
    }
    sim::dispatch(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(psd));
    if (world().paperListAfterInit) {
        sim::fillPaperList(dialog, printer);
    }
    // Wine's page-setup procedure answers TRUE whatever the hook said, so the focus is set.
    sim::defaultFocus(dialog);
    const INT_PTR result = sim::runModal(dialog);
    if (result <= 0) {
        return FALSE;
    }
    // On OK the system hands back a device mode of its own, in a new block.
    auto found = world().globals.find(reinterpret_cast<uintptr_t>(psd->hDevMode));
    if (found != world().globals.end() && found->second.live) {
        const std::vector<uint8_t> bytes = found->second.bytes;
        GlobalFree(psd->hDevMode);
        psd->hDevMode = sim::globalCopy(bytes);
    }
    return TRUE;
}

} // namespace os
