// Simulated modal dialogs: DialogBoxParamW, the common print, print-setup and page-setup dialogs
// playing the platform's part, and the scripted user who works them by keyboard and mouse.
#include "platform/sim/internal.h"
#include "platform/sim/world.h"

#include <algorithm>

namespace sim {

namespace user {

namespace {
UserStep step(UserStep::Kind kind, int id = 0, int index = 0, std::u16string text = {}) {
    UserStep s;
    s.kind = kind;
    s.id = id;
    s.index = index;
    s.text = std::move(text);
    return s;
}
} // namespace

UserStep choose(int id, int index) {
    return step(UserStep::Kind::Choose, id, index);
}
UserStep type(int id, const std::u16string& text) {
    return step(UserStep::Kind::Type, id, 0, text);
}
UserStep tick(int id) {
    return step(UserStep::Kind::Tick, id);
}
UserStep press(int id) {
    return step(UserStep::Kind::Press, id);
}
UserStep focus(int id) {
    return step(UserStep::Kind::Focus, id);
}
UserStep tab(int direction) {
    return step(UserStep::Kind::Tab, 0, direction);
}
UserStep arrow(int direction) {
    return step(UserStep::Kind::Arrow, 0, direction);
}
UserStep space() {
    return step(UserStep::Kind::Space);
}
UserStep mnemonic(char16_t letter) {
    return step(UserStep::Kind::Mnemonic, 0, 0, std::u16string(1, letter));
}
UserStep keys(const std::u16string& text) {
    return step(UserStep::Kind::Keys, 0, 0, text);
}
UserStep enter() {
    return step(UserStep::Kind::Enter);
}
UserStep escape() {
    return step(UserStep::Kind::Escape);
}
UserStep closeBox() {
    return step(UserStep::Kind::CloseBox);
}
UserStep inspect(std::function<void(os::HWND dialog)> look) {
    UserStep s = step(UserStep::Kind::Inspect);
    s.inspect = std::move(look);
    return s;
}

} // namespace user

namespace {

constexpr uint32_t kNoPrefix = 0x80; // SS_NOPREFIX

bool usable(const Control* c) {
    return c && c->enabled && c->visible;
}

void refuse() {
    ++world().refusedSteps;
}

char16_t fold(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - u'a' + u'A');
    }
    // The accented capitals and small letters of Latin-1 differ by 0x20 as well.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return static_cast<char16_t>(c - 0x20);
    }
    return c;
}

// The letter after a single '&' in a control's text, or 0.
char16_t mnemonicOf(const Control& c) {
    if (c.is(u"Static") && (c.style & kNoPrefix)) {
        return 0;
    }
    for (size_t i = 0; i + 1 < c.text.size(); ++i) {
        if (c.text[i] == u'&') {
            if (c.text[i + 1] == u'&') {
                ++i;
                continue;
            }
            return fold(c.text[i + 1]);
        }
    }
    return 0;
}

bool isLabel(const Control& c) {
    return c.is(u"Static") || (c.is(u"Button") && c.buttonKind() == 7);
}

// The radio buttons of the group that `index` belongs to: from the control that starts the group
// to the one before the next start.
std::vector<size_t> radioGroup(const Window& w, size_t index) {
    size_t first = index;
    while (first > 0 && !w.controls[first].groupStart()) {
        --first;
    }
    std::vector<size_t> group;
    for (size_t i = first; i < w.controls.size(); ++i) {
        if (i > first && w.controls[i].groupStart()) {
            break;
        }
        if (w.controls[i].isRadio()) {
            group.push_back(i);
        }
    }
    return group;
}

// Tab stops in template order; of a group of radio buttons only the checked one (or the first
// usable one when none is checked) is a stop, as the dialog manager moves in such a group.
std::vector<size_t> tabStops(const Window& w) {
    std::vector<size_t> stops;
    for (size_t i = 0; i < w.controls.size(); ++i) {
        const Control& c = w.controls[i];
        if (!usable(&c)) {
            continue;
        }
        if (c.isRadio()) {
            const auto group = radioGroup(w, i);
            size_t stop = group.size();
            for (size_t k = 0; k < group.size(); ++k) {
                if (w.controls[group[k]].check && usable(&w.controls[group[k]])) {
                    stop = k;
                    break;
                }
            }
            if (stop == group.size()) {
                for (size_t k = 0; k < group.size() && stop == group.size(); ++k) {
                    if (usable(&w.controls[group[k]])) {
                        stop = k;
                    }
                }
            }
            if (stop < group.size() && group[stop] == i) {
                stops.push_back(i);
            }
            continue;
        }
        if (c.tabStop()) {
            stops.push_back(i);
        }
    }
    return stops;
}

size_t indexOf(const Window& w, os::HWND handle) {
    for (size_t i = 0; i < w.controls.size(); ++i) {
        if (w.controls[i].handle == handle) {
            return i;
        }
    }
    return w.controls.size();
}

// The focus goes to a control as the keyboard puts it there: an edit gets its whole text selected.
void focusByKeyboard(os::HWND dialog, Control& c) {
    Window* w = findWindow(dialog);
    const os::HWND handle = c.handle;
    moveFocus(*w, &c);
    if (Control* now = controlByHandle(handle, nullptr); now && now->is(u"Edit")) {
        now->selectionStart = 0;
        now->selectionEnd = static_cast<int>(now->text.size());
    }
}

void click(os::HWND dialog, Control& c) {
    Window* w = findWindow(dialog);
    const int id = c.id;
    if (c.buttonKind() == 3) { // BS_AUTOCHECKBOX
        c.check = c.check ? 0 : 1;
    } else if (c.buttonKind() == 6) { // BS_AUTO3STATE
        c.check = (c.check + 1) % 3;
    } else if (c.buttonKind() == 9) { // BS_AUTORADIOBUTTON
        for (size_t i : radioGroup(*w, indexOf(*w, c.handle))) {
            w->controls[i].check = 0;
        }
        c.check = 1;
    }
    notify(dialog, id, os::BN_CLICKED);
}

void command(os::HWND dialog, int id) {
    Control* c = findControl(dialog, id);
    dispatch(dialog, os::WM_COMMAND, os::MAKEWPARAM(static_cast<os::WORD>(id), os::BN_CLICKED),
             reinterpret_cast<os::LPARAM>(c ? c->handle : nullptr));
}

// Keys typed into an edit: each one that the edit takes changes the text and notifies.
void typeInto(os::HWND dialog, int id, const std::u16string& text, bool replaceAll) {
    Control* c = findControl(dialog, id);
    if (!c || !c->is(u"Edit")) {
        refuse();
        return;
    }
    if (c->readOnly) {
        refuse();
        return;
    }
    std::u16string value = replaceAll ? std::u16string() : c->text;
    if (replaceAll && !c->text.empty()) {
        changeEditText(dialog, id, value); // the selection goes with the first key or Delete
    }
    for (char16_t ch : text) {
        c = findControl(dialog, id);
        if (!c || (c->digitsOnly() && (ch < u'0' || ch > u'9')) ||
            static_cast<int>(value.size()) >= c->textLimit) {
            continue; // the edit beeps and keeps its text
        }
        value += ch;
        changeEditText(dialog, id, value);
    }
    if ((c = findControl(dialog, id))) {
        c->selectionStart = c->selectionEnd = static_cast<int>(c->text.size()); // the caret
    }
}

void perform(os::HWND dialog, const UserStep& s) {
    Window* w = findWindow(dialog);
    Control* target = s.id ? findControl(dialog, s.id) : nullptr;
    Control* focused = controlByHandle(w->focus, nullptr);
    using K = UserStep::Kind;
    switch (s.kind) {
    case K::Choose:
        if (!usable(target) || !target->is(u"ComboBox") || s.index < 0 ||
            s.index >= static_cast<int>(target->items.size())) {
            refuse();
            return;
        }
        focusByKeyboard(dialog, *target);
        if ((target = findControl(dialog, s.id))) {
            target->selection = s.index;
            notify(dialog, s.id, os::CBN_SELCHANGE);
        }
        return;
    case K::Type:
        if (!usable(target)) {
            refuse();
            return;
        }
        focusByKeyboard(dialog, *target);
        typeInto(dialog, s.id, s.text, true);
        return;
    case K::Keys:
        if (!focused || !focused->is(u"Edit")) {
            refuse();
            return;
        }
        typeInto(dialog, focused->id, s.text,
                 focused->selectionStart == 0 &&
                     (focused->selectionEnd < 0 || // EM_SETSEL to -1: up to the end
                      focused->selectionEnd >= static_cast<int>(focused->text.size())) &&
                     !focused->text.empty());
        return;
    case K::Tick:
        if (!usable(target) || !(target->isCheckBox() || target->isRadio())) {
            refuse();
            return;
        }
        moveFocus(*w, target);
        if ((target = findControl(dialog, s.id))) {
            click(dialog, *target);
        }
        return;
    case K::Press:
        if (!usable(target) || !target->isPushButton()) {
            refuse();
            return;
        }
        moveFocus(*w, target);
        command(dialog, s.id);
        return;
    case K::Focus:
        if (!usable(target)) {
            refuse();
            return;
        }
        // Unlike the dialog manager's moves, SetFocus leaves an edit's selection alone: the
        // caret stays where it was, at the end of the text unless the dialog selects it.
        target->selectionStart = target->selectionEnd = static_cast<int>(target->text.size());
        moveFocus(*w, target);
        return;
    case K::Tab: {
        const auto stops = tabStops(*w);
        if (stops.empty()) {
            refuse();
            return;
        }
        const size_t at = indexOf(*w, w->focus);
        auto pos = std::find(stops.begin(), stops.end(), at);
        size_t next = 0;
        if (pos == stops.end()) {
            next = s.index < 0 ? stops.size() - 1 : 0;
        } else {
            const auto k = static_cast<size_t>(pos - stops.begin());
            next = s.index < 0 ? (k + stops.size() - 1) % stops.size() : (k + 1) % stops.size();
        }
        focusByKeyboard(dialog, w->controls[stops[next]]);
        return;
    }
    case K::Arrow: {
        if (!focused) {
            refuse();
            return;
        }
        if (focused->isRadio()) {
            const auto group = radioGroup(*w, indexOf(*w, focused->handle));
            auto pos = std::find(group.begin(), group.end(), indexOf(*w, focused->handle));
            size_t k = static_cast<size_t>(pos - group.begin());
            for (size_t tries = 0; tries < group.size(); ++tries) {
                k = s.index < 0 ? (k + group.size() - 1) % group.size() : (k + 1) % group.size();
                if (usable(&w->controls[group[k]])) {
                    break;
                }
            }
            Control& next = w->controls[group[k]];
            moveFocus(*w, &next);
            if (Control* again = controlByHandle(next.handle, nullptr)) {
                click(dialog, *again);
            }
        } else if (focused->is(u"ComboBox")) {
            const int count = static_cast<int>(focused->items.size());
            const int next = std::clamp(focused->selection + (s.index < 0 ? -1 : 1), 0, count - 1);
            if (count > 0 && next != focused->selection) {
                focused->selection = next;
                notify(dialog, focused->id, os::CBN_SELCHANGE);
            }
        }
        return;
    }
    case K::Space:
        if (!focused || !focused->is(u"Button")) {
            refuse();
            return;
        }
        if (focused->isPushButton()) {
            command(dialog, focused->id);
        } else {
            click(dialog, *focused);
        }
        return;
    case K::Mnemonic: {
        const char16_t letter = s.text.empty() ? 0 : fold(s.text[0]);
        for (size_t i = 0; i < w->controls.size(); ++i) {
            Control& c = w->controls[i];
            if (!c.visible || mnemonicOf(c) != letter) {
                continue;
            }
            if (isLabel(c)) {
                // A label hands the focus to the next control that takes it.
                for (size_t k = i + 1; k < w->controls.size(); ++k) {
                    Control& next = w->controls[k];
                    if (usable(&next) && !isLabel(next)) {
                        focusByKeyboard(dialog, next);
                        return;
                    }
                }
                refuse();
                return;
            }
            if (!c.enabled) {
                continue;
            }
            if (c.isPushButton()) {
                command(dialog, c.id);
            } else {
                moveFocus(*w, &c);
                if (Control* again = findControl(dialog, s.id ? s.id : c.id)) {
                    click(dialog, *again);
                }
            }
            return;
        }
        refuse();
        return;
    }
    case K::Enter: {
        int id = os::IDOK;
        if (focused && focused->isPushButton()) {
            id = focused->id;
        } else {
            for (const Control& c : w->controls) {
                if (c.is(u"Button") && c.buttonKind() == 1 && usable(&c)) {
                    id = c.id;
                    break;
                }
            }
        }
        command(dialog, id);
        return;
    }
    case K::Escape:
        command(dialog, os::IDCANCEL);
        return;
    case K::CloseBox:
        if (!dispatch(dialog, os::WM_CLOSE, 0, 0) && findWindow(dialog)) {
            command(dialog, os::IDCANCEL);
        }
        return;
    case K::Inspect:
        if (s.inspect) {
            s.inspect(dialog);
        }
        return;
    }
}

} // namespace

void defaultFocus(os::HWND dialog) {
    Window* w = findWindow(dialog);
    if (!w || w->focus) {
        return;
    }
    const auto stops = tabStops(*w);
    if (!stops.empty()) {
        focusByKeyboard(dialog, w->controls[stops.front()]);
    }
}

void act(os::HWND dialog, const UserStep& step) {
    Window* w = findWindow(dialog);
    if (!w || !w->live) {
        ++world().refusedSteps;
        return;
    }
    perform(dialog, step);
}

namespace {

os::INT_PTR initialise(os::HWND dialog, os::LPARAM initParam) {
    const os::INT_PTR focus = dispatch(dialog, os::WM_INITDIALOG, 0, initParam);
    if (focus) {
        defaultFocus(dialog);
    }
    return focus;
}

} // namespace

os::INT_PTR runModal(os::HWND dialog) {
    for (;;) {
        Window* w = findWindow(dialog);
        if (!w || w->ended) {
            break;
        }
        if (world().script.empty()) {
            ++world().scriptRanOut;
            perform(dialog, user::escape());
            w = findWindow(dialog);
            if (w && !w->ended) {
                ++world().stuckDialogs;
                w->ended = true;
                w->result = 0;
            }
            break;
        }
        const UserStep s = world().script.front();
        world().script.pop_front();
        perform(dialog, s);
    }
    // As the dialog closes the focus leaves it: the control that had it is told, as Wine tells
    // an edit that still had the focus when Enter or Esc ended the dialog.
    if (Window* closing = findWindow(dialog)) {
        moveFocus(*closing, nullptr);
    }
    Window* w = findWindow(dialog);
    if (!w) {
        return 0;
    }
    const os::INT_PTR result = w->result;
    w->live = false;
    w->visible = false;
    return result;
}

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
    if (Window* w = findWindow(dialog)) {
        w->ended = true;
        w->result = result;
    }
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
