// Simulated window manager: message boxes, dialogs built from the templates of the module that
// asks for them, their controls and the messages between them. Controls notify their dialog the
// way the real ones do (an edit whose text changes sends EN_CHANGE, focus changes send
// EN_SETFOCUS and EN_KILLFOCUS); programmatic selections and checks notify nobody.
#include "platform/sim/internal.h"
#include "platform/sim/resources.h"
#include "platform/sim/world.h"

#include <algorithm>
#include <cstdio>

namespace sim {

bool Control::is(const char16_t* cls) const {
    return lower(className) == lower(cls);
}
bool Control::isCheckBox() const {
    return is(u"Button") &&
           (buttonKind() == 2 || buttonKind() == 3 || buttonKind() == 5 || buttonKind() == 6);
}
bool Control::isRadio() const {
    return is(u"Button") && (buttonKind() == 4 || buttonKind() == 9);
}
bool Control::isPushButton() const {
    return is(u"Button") && (buttonKind() == 0 || buttonKind() == 1);
}

namespace {

constexpr uint32_t kVisible = 0x10000000;  // WS_VISIBLE
constexpr uint32_t kDisabled = 0x08000000; // WS_DISABLED
constexpr uint32_t kReadOnly = 0x0800;     // ES_READONLY

os::HWND newHandle() {
    return reinterpret_cast<os::HWND>((world().nextWindow++) * 16);
}

void record(const Window& w, const Control& c, os::UINT message, os::WPARAM wParam,
            os::LPARAM lParam) {
    if (world().recording) {
        world().controlMessages.push_back({w.templateId, c.id, message, wParam, lParam});
    }
}

} // namespace

Control* controlByHandle(os::HWND handle, Window** owner) {
    if (!handle) {
        return nullptr;
    }
    for (auto& w : world().windows) {
        if (!w.live) {
            continue;
        }
        for (auto& c : w.controls) {
            if (c.handle == handle) {
                if (owner) {
                    *owner = &w;
                }
                return &c;
            }
        }
    }
    return nullptr;
}

Control* focusedControl(os::HWND dialog) {
    Window* w = findWindow(dialog);
    return w ? controlByHandle(w->focus, nullptr) : nullptr;
}

Window* buildDialog(os::HINSTANCE instance, const char16_t* templateName, os::HWND owner,
                    DialogKind kind) {
    const auto id = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(templateName));
    const Resource* resource = findResource(instance, kResourceDialog, id);
    DialogTemplate dialog;
    if (world().failCreateDialog || !resource ||
        !parseDialogTemplate(resource->data, resource->size, dialog)) {
        return nullptr;
    }
    Window w;
    w.templateId = id;
    w.kind = kind;
    w.style = dialog.style;
    w.x = dialog.x;
    w.y = dialog.y;
    w.cx = dialog.cx;
    w.cy = dialog.cy;
    w.title = dialog.title;
    w.handle = newHandle();
    // The system owns a window by the top-level window of the owner it is given.
    w.owner = owner ? topLevelOf(owner) : nullptr;
    const auto& omitted = world().omittedControls;
    for (const DialogItem& item : dialog.items) {
        if (std::find(omitted.begin(), omitted.end(),
                      std::make_pair(static_cast<int>(id), static_cast<int>(item.id))) !=
            omitted.end()) {
            continue;
        }
        Control c;
        c.id = item.id;
        c.className = item.className;
        c.style = item.style;
        c.x = item.x;
        c.y = item.y;
        c.cx = item.cx;
        c.cy = item.cy;
        c.text = item.text;
        c.visible = (item.style & kVisible) != 0;
        c.enabled = (item.style & kDisabled) == 0;
        c.readOnly = c.is(u"Edit") && (item.style & kReadOnly) != 0;
        c.handle = newHandle();
        w.controls.push_back(std::move(c));
    }
    world().windows.push_back(std::move(w));
    return &world().windows.back();
}

os::INT_PTR dispatch(os::HWND dialog, os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
    Window* w = findWindow(dialog);
    if (!w) {
        return 0;
    }
    if (w->kind == DialogKind::Plain) {
        return w->proc ? w->proc(dialog, message, wParam, lParam) : 0;
    }
    // A common dialog asks its hook first and does its own part when the hook leaves it.
    const os::LPPRINTHOOKPROC hook = w->hook;
    if (hook) {
        const os::UINT_PTR handled = hook(dialog, message, wParam, lParam);
        if (handled) {
            return static_cast<os::INT_PTR>(handled);
        }
    }
    return commonDialogDefault(dialog, message, wParam, lParam);
}

void notify(os::HWND dialog, int id, os::WORD code) {
    Control* c = findControl(dialog, id);
    dispatch(dialog, os::WM_COMMAND, os::MAKEWPARAM(static_cast<os::WORD>(id), code),
             reinterpret_cast<os::LPARAM>(c ? c->handle : nullptr));
}

void moveFocus(Window& w, Control* to) {
    const os::HWND dialog = w.handle;
    const os::HWND from = w.focus;
    if (to && to->handle == from) {
        return;
    }
    w.focus = to ? to->handle : nullptr;
    if (Control* old = controlByHandle(from, nullptr)) {
        if (old->is(u"Edit")) {
            notify(dialog, old->id, os::EN_KILLFOCUS);
        } else if (old->is(u"ComboBox")) {
            notify(dialog, old->id, os::CBN_KILLFOCUS);
        }
    }
    // The focus may have moved again while the old control was told.
    Window* now = findWindow(dialog);
    if (!to || !now || now->focus != to->handle) {
        return;
    }
    if (Control* c = controlByHandle(to->handle, nullptr)) {
        if (world().recording) {
            world().focusEvents.push_back({now->templateId, c->id, heard(c->handle).name});
        }
        if (c->is(u"Edit")) {
            notify(dialog, c->id, os::EN_SETFOCUS);
        } else if (c->is(u"ComboBox")) {
            notify(dialog, c->id, os::CBN_SETFOCUS);
        }
    }
}

void endModal(Window& w, os::INT_PTR result) {
    w.ended = true;
    w.result = result;
    // As Wine does (and says Windows does), the dialog takes the focus itself as it ends, still
    // inside the call that ends it: the control that had it is told at once.
    moveFocus(w, nullptr);
}

void changeEditText(os::HWND dialog, int id, const std::u16string& text) {
    Control* c = findControl(dialog, id);
    if (!c) {
        return;
    }
    c->text = text;
    c->needsPaint = true;
    notify(dialog, id, os::EN_UPDATE);
    notify(dialog, id, os::EN_CHANGE);
}

} // namespace sim

namespace os {

using sim::world;

int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type) {
    sim::systemCall("MessageBoxW");
    const sim::MessageBox box{owner, text ? text : u"", caption ? caption : u"", type};
    world().messageBoxes.push_back(box);
    if (const auto user = world().messageBoxUser) {
        user(box);
    }
    return world().messageBoxAnswer;
}

HWND CreateDialogParamW(HINSTANCE instance, const char16_t* templateName, HWND owner, DLGPROC proc,
                        LPARAM initParam) {
    sim::systemCall("CreateDialogParamW");
    if (!proc) {
        return nullptr;
    }
    sim::Window* w = sim::buildDialog(instance, templateName, owner, sim::DialogKind::Plain);
    if (!w) {
        return nullptr;
    }
    w->proc = proc;
    const HWND handle = w->handle;
    if (proc(handle, WM_INITDIALOG, 0, initParam)) {
        sim::defaultFocus(handle);
    }
    return handle;
}

BOOL DestroyWindow(HWND window) {
    sim::systemCall("DestroyWindow");
    sim::Window* w = sim::findWindow(window);
    if (!w) {
        return FALSE;
    }
    // The system passes the activation of a shown window that goes on to its owner, if the
    // owner may have it; otherwise it leaves the thread.
    if (world().activeWindow == window) {
        world().activeWindow = w->visible && sim::canActivate(w->owner) ? w->owner : nullptr;
    }
    w->visible = false;
    // The window's procedure hears it go, last of all WM_NCDESTROY.
    if (w->kind == sim::DialogKind::Plain && w->proc) {
        const DLGPROC proc = w->proc;
        proc(window, WM_DESTROY, 0, 0);
        proc(window, WM_NCDESTROY, 0, 0);
    }
    if ((w = sim::findWindow(window)) != nullptr) {
        w->live = false;
    }
    sim::forgetWindowMessages(window);
    return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
    sim::systemCall("ShowWindow");
    if (sim::Control* c = sim::controlByHandle(window, nullptr)) {
        const bool was = c->visible;
        c->visible = command != SW_HIDE;
        c->needsPaint = true;
        return was ? TRUE : FALSE;
    }
    sim::Window* w = sim::findWindow(window);
    if (!w) {
        return FALSE;
    }
    const bool was = w->visible;
    w->visible = command != SW_HIDE;
    if (was && !w->visible && world().activeWindow == window) {
        world().activeWindow = sim::canActivate(w->owner) ? w->owner : nullptr;
    }
    if (w->visible && (command == SW_SHOWNORMAL || command == SW_SHOW)) {
        world().activeWindow = window;
    }
    if (w->visible && !was) {
        w->needsPaint = true;
        for (sim::Control& c : w->controls) {
            c.needsPaint = true;
        }
    }
    return was ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    sim::systemCall("EnableWindow");
    sim::Window* owner = nullptr;
    if (sim::Control* c = sim::controlByHandle(window, &owner)) {
        const bool wasDisabled = !c->enabled;
        c->enabled = enable != 0;
        c->needsPaint = true;
        // A control that is switched off loses the focus, as in the real dialog manager.
        if (!c->enabled && owner->focus == c->handle) {
            owner->focus = nullptr;
        }
        return wasDisabled ? TRUE : FALSE;
    }
    if (sim::Window* w = sim::findWindow(window)) {
        const bool wasDisabled = !w->enabled;
        w->enabled = enable != 0;
        return wasDisabled ? TRUE : FALSE;
    }
    bool wasDisabled = false;
    if (sim::enableHostWindow(window, enable != 0, &wasDisabled)) {
        return wasDisabled ? TRUE : FALSE;
    }
    return FALSE;
}

HWND GetAncestor(HWND window, UINT flags) {
    sim::systemCall("GetAncestor");
    return window && flags == GA_ROOT ? sim::topLevelOf(window) : nullptr;
}

HWND GetDlgItem(HWND dialog, int id) {
    sim::systemCall("GetDlgItem");
    sim::Control* c = sim::findControl(dialog, id);
    return c ? c->handle : nullptr;
}

BOOL SetDlgItemTextW(HWND dialog, int id, const char16_t* text) {
    sim::systemCall("SetDlgItemTextW");
    sim::Control* c = sim::findControl(dialog, id);
    if (!c) {
        return FALSE;
    }
    sim::record(*sim::findWindow(dialog), *c, sim::kSetText, 0, 0);
    const std::u16string value = text ? text : u"";
    if (c->is(u"Edit")) {
        sim::changeEditText(dialog, id, value);
    } else {
        c->text = value;
        c->needsPaint = true;
    }
    return TRUE;
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    sim::systemCall("SetDlgItemInt");
    char digits[16];
    if (isSigned) {
        std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
    } else {
        std::snprintf(digits, sizeof digits, "%u", value);
    }
    std::u16string wide;
    for (size_t i = 0; digits[i]; ++i) {
        wide += static_cast<char16_t>(digits[i]);
    }
    return SetDlgItemTextW(dialog, id, wide.c_str());
}

BOOL SetWindowTextW(HWND window, const char16_t* text) {
    sim::systemCall("SetWindowTextW");
    sim::Window* owner = nullptr;
    if (sim::Control* c = sim::controlByHandle(window, &owner)) {
        return SetDlgItemTextW(owner->handle, c->id, text);
    }
    sim::Window* w = sim::findWindow(window);
    if (!w) {
        return FALSE;
    }
    w->title = text ? text : u"";
    return TRUE;
}

UINT GetDlgItemTextW(HWND dialog, int id, char16_t* text, int maxCount) {
    sim::systemCall("GetDlgItemTextW");
    sim::Control* c = sim::findControl(dialog, id);
    if (!text || maxCount <= 0) {
        return 0;
    }
    text[0] = 0;
    if (!c) {
        return 0;
    }
    std::u16string value = c->text;
    if (c->is(u"ComboBox")) {
        value = c->selection >= 0 && c->selection < static_cast<int>(c->items.size())
                    ? c->items[static_cast<size_t>(c->selection)]
                    : u"";
    }
    const size_t n = std::min(value.size(), static_cast<size_t>(maxCount - 1));
    std::copy(value.begin(), value.begin() + static_cast<std::ptrdiff_t>(n), text);
    text[n] = 0;
    return static_cast<UINT>(n);
}

// As the system reads a number: white space before it, an optional sign, decimal digits; what
// follows the digits is ignored. No digits, or a value beyond 32 bits, reads as 0 and fails.
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    sim::systemCall("GetDlgItemInt");
    if (translated) {
        *translated = FALSE;
    }
    sim::Control* c = sim::findControl(dialog, id);
    if (!c) {
        return 0;
    }
    const std::u16string& s = c->text;
    size_t i = 0;
    while (i < s.size() && (s[i] == u' ' || s[i] == u'\t')) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || (isSigned && s[i] == u'-'))) {
        negative = s[i] == u'-';
        ++i;
    }
    const size_t first = i;
    uint64_t value = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
        value = value * 10 + static_cast<uint64_t>(s[i] - u'0');
        if (value > (isSigned ? 0x80000000ull : 0xFFFFFFFFull)) {
            return 0;
        }
    }
    if (i == first || (isSigned && !negative && value > 0x7FFFFFFFull)) {
        return 0;
    }
    if (translated) {
        *translated = TRUE;
    }
    const auto result = static_cast<UINT>(value);
    return negative ? 0u - result : result;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    sim::systemCall("CheckDlgButton");
    sim::Window* w = sim::findWindow(dialog);
    sim::Control* c = sim::findControl(dialog, id);
    if (!c) {
        return FALSE;
    }
    sim::record(*w, *c, BM_SETCHECK, check, 0);
    c->check = check;
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    sim::systemCall("IsDlgButtonChecked");
    sim::Control* c = sim::findControl(dialog, id);
    return c ? c->check : 0;
}

HWND SetFocus(HWND window) {
    sim::systemCall("SetFocus");
    sim::Window* owner = nullptr;
    sim::Control* c = sim::controlByHandle(window, &owner);
    if (!c || !c->enabled || !c->visible) {
        return nullptr;
    }
    const HWND previous = owner->focus;
    sim::moveFocus(*owner, c);
    return previous;
}

HWND GetFocus() {
    sim::systemCall("GetFocus");
    // The thread's active window is the last one opened that is still up and takes input: a
    // modal dialog over its owner.
    for (auto w = world().windows.rbegin(); w != world().windows.rend(); ++w) {
        if (w->live && w->visible && w->enabled) {
            return w->focus;
        }
    }
    return nullptr;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    sim::systemCall("EndDialog");
    sim::Window* w = sim::findWindow(dialog);
    if (!w || !w->modal) {
        return FALSE;
    }
    if (world().refusedEnds > 0) {
        --world().refusedEnds;
        return FALSE;
    }
    sim::endModal(*w, result);
    return TRUE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    sim::systemCall("SendMessageW");
    if (sim::findWindow(window)) {
        return sim::dispatch(window, message, wParam, lParam);
    }
    sim::Window* owner = nullptr;
    sim::Control* c = sim::controlByHandle(window, &owner);
    if (!c) {
        return 0;
    }
    sim::record(*owner, *c, message, wParam, lParam);
    const auto count = static_cast<LRESULT>(c->items.size());
    switch (message) {
    case PBM_SETRANGE: {
        const LRESULT previous =
            MAKELPARAM(static_cast<WORD>(c->rangeLow), static_cast<WORD>(c->rangeHigh));
        c->rangeLow = LOWORD(static_cast<uintptr_t>(lParam));
        c->rangeHigh = HIWORD(static_cast<uintptr_t>(lParam));
        c->needsPaint = true;
        return previous;
    }
    case PBM_SETPOS: {
        const LRESULT previous = c->position;
        // The position as sent: a test sees a value outside the range (Windows would clamp it).
        c->position = static_cast<int>(wParam);
        c->needsPaint = true;
        return previous;
    }
    case BM_GETCHECK:
        return c->check;
    case BM_SETCHECK:
        c->check = static_cast<UINT>(wParam);
        return 0;
    case EM_SETSEL:
        c->selectionStart = static_cast<int>(wParam);
        c->selectionEnd = static_cast<int>(lParam);
        return 0;
    case EM_LIMITTEXT:
        c->textLimit = wParam == 0 ? 0x7FFFFFFE : static_cast<int>(wParam);
        return 0;
    case EM_SETREADONLY:
        c->readOnly = wParam != 0;
        return TRUE;
    case CB_RESETCONTENT:
        c->items.clear();
        c->selection = -1;
        return TRUE;
    case CB_ADDSTRING: {
        const auto* text = reinterpret_cast<const char16_t*>(lParam);
        c->items.push_back(text ? text : u"");
        return count;
    }
    case CB_GETCOUNT:
        return count;
    case CB_GETCURSEL:
        return c->selection;
    case CB_SETCURSEL: {
        const auto index = static_cast<LRESULT>(static_cast<intptr_t>(wParam));
        // The system clears the selection for an index outside the list and answers CB_ERR.
        if (index < 0 || index >= count) {
            c->selection = -1;
            return CB_ERR;
        }
        c->selection = static_cast<int>(index);
        return index;
    }
    default:
        return 0;
    }
}

void InitCommonControls() {
    sim::systemCall("InitCommonControls");
    ++world().initCommonControlsCalls;
}

} // namespace os
