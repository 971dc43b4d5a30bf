// Simulated window manager: message boxes, modeless dialogs built from the library's templates,
// their controls and the common-controls initialisation.
#include "platform/sim/world.h"

#include <algorithm>
#include <cstdio>

namespace {

using sim::world;

os::HWND newHandle() {
    return reinterpret_cast<os::HWND>((world().nextWindow++) * 16);
}

void setText(sim::Control& c, const char16_t* text) {
    size_t n = 0;
    for (; text && text[n] && n + 1 < c.text.size(); ++n) {
        c.text[n] = text[n];
    }
    c.text[n] = 0;
}

// A control handle belongs to one live dialog.
sim::Control* controlByHandle(os::HWND handle) {
    for (auto& w : world().windows) {
        if (!w.live) {
            continue;
        }
        for (auto& c : w.controls) {
            if (c.handle == handle) {
                return &c;
            }
        }
    }
    return nullptr;
}

} // namespace

namespace os {

int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type) {
    world().messageBoxes.push_back({owner, text ? text : u"", caption ? caption : u"", type});
    return world().messageBoxAnswer;
}

HWND CreateDialogParamW(HINSTANCE, const char16_t* templateName, HWND owner, DLGPROC proc,
                        LPARAM initParam) {
    const auto id = static_cast<int>(reinterpret_cast<uintptr_t>(templateName));
    auto found = world().templates.find(id);
    if (world().failCreateDialog || found == world().templates.end() || !proc) {
        return nullptr;
    }
    sim::Window w;
    w.templateId = id;
    w.handle = newHandle();
    w.owner = owner;
    w.proc = proc;
    for (const auto& tc : found->second) {
        sim::Control c;
        c.id = tc.id;
        c.className = tc.className;
        c.handle = newHandle();
        w.controls.push_back(c);
    }
    world().windows.push_back(std::move(w));
    const HWND handle = world().windows.back().handle;
    proc(handle, WM_INITDIALOG, 0, initParam);
    return handle;
}

BOOL DestroyWindow(HWND window) {
    sim::Window* w = sim::findWindow(window);
    if (!w) {
        return FALSE;
    }
    w->live = false;
    w->visible = false;
    return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
    sim::Window* w = sim::findWindow(window);
    if (!w) {
        return FALSE;
    }
    const bool was = w->visible;
    w->visible = command != 0;
    return was ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    if (sim::Control* c = controlByHandle(window)) {
        const bool wasDisabled = !c->enabled;
        c->enabled = enable != 0;
        return wasDisabled ? TRUE : FALSE;
    }
    if (sim::Window* w = sim::findWindow(window)) {
        const bool wasDisabled = !w->enabled;
        w->enabled = enable != 0;
        return wasDisabled ? TRUE : FALSE;
    }
    return FALSE;
}

HWND GetDlgItem(HWND dialog, int id) {
    sim::Control* c = sim::findControl(dialog, id);
    return c ? c->handle : nullptr;
}

BOOL SetDlgItemTextW(HWND dialog, int id, const char16_t* text) {
    sim::Control* c = sim::findControl(dialog, id);
    if (!c) {
        return FALSE;
    }
    setText(*c, text);
    return TRUE;
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    sim::Control* c = sim::findControl(dialog, id);
    if (!c) {
        return FALSE;
    }
    char digits[16];
    if (isSigned) {
        std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
    } else {
        std::snprintf(digits, sizeof digits, "%u", value);
    }
    char16_t wide[16] = {};
    for (size_t i = 0; digits[i] && i + 1 < 16; ++i) {
        wide[i] = static_cast<char16_t>(digits[i]);
    }
    setText(*c, wide);
    return TRUE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    sim::Control* c = controlByHandle(window);
    if (!c) {
        return 0;
    }
    if (message == PBM_SETRANGE) {
        const LRESULT previous =
            MAKELPARAM(static_cast<WORD>(c->rangeLow), static_cast<WORD>(c->rangeHigh));
        c->rangeLow = LOWORD(static_cast<uintptr_t>(lParam));
        c->rangeHigh = HIWORD(static_cast<uintptr_t>(lParam));
        return previous;
    }
    if (message == PBM_SETPOS) {
        const LRESULT previous = c->position;
        // The position as sent: a test sees a value outside the range (Windows would clamp it).
        c->position = static_cast<int>(wParam);
        return previous;
    }
    return 0;
}

void InitCommonControls() {
    ++world().initCommonControlsCalls;
}

} // namespace os
