// The host's thread on the simulated machine: the message queue that PostMessageW and the keyboard
// fill, WM_QUIT, timers, the clock they run on, and painting, as PeekMessageW hands them to a
// loop and DispatchMessageW to their windows. As on Windows, a posted message comes before any
// paint and a timer's WM_TIMER after them, so a window that brings itself up to date on a posted
// message never paints an older state.
#include "platform/sim/internal.h"
#include "platform/sim/world.h"

#include <algorithm>
#include <cstddef>

namespace sim {

namespace {

// Windows never lets a timer run faster than this (USER_TIMER_MINIMUM).
constexpr os::UINT kMinimumElapse = 10;

bool isDue(const Timer& t, os::DWORD now) {
    return static_cast<int32_t>(t.due - now) <= 0;
}

void paintControl(const Window& w, Control& c) {
    c.needsPaint = false;
    c.painted = true;
    c.paintedText = c.text;
    c.paintedPosition = c.position;
    if (world().recording) {
        world().paints.push_back({w.templateId, c.id, c.text, c.position});
    }
}

void paint(Window& window) {
    if (!window.live || !window.visible) {
        return;
    }
    Window* w = &window;
    // As the system does, a window is painted before its controls. Its procedure may change
    // what they show first, or destroy it.
    if (w->needsPaint) {
        w->needsPaint = false;
        const os::HWND handle = w->handle;
        dispatch(handle, os::WM_PAINT, 0, 0);
        w = findWindow(handle);
        if (!w || !w->visible) {
            return;
        }
    }
    for (Control& c : w->controls) {
        if (c.needsPaint && c.visible) {
            paintControl(*w, c);
        }
    }
}

bool wantsPaint(const Window& w) {
    if (!w.live || !w.visible) {
        return false;
    }
    return w.needsPaint || std::any_of(w.controls.begin(), w.controls.end(),
                                       [](const Control& c) { return c.needsPaint && c.visible; });
}

// The window that a message for `handle` belongs to: the window itself, or a control's dialog.
Window* rootWindow(os::HWND handle) {
    if (Window* w = findWindow(handle)) {
        return w;
    }
    Window* owner = nullptr;
    return controlByHandle(handle, &owner) ? owner : nullptr;
}

bool matches(const os::MSG& m, os::HWND window, os::UINT first, os::UINT last) {
    if (window && m.hwnd != window && rootWindow(m.hwnd) != findWindow(window)) {
        return false;
    }
    return (first == 0 && last == 0) || (m.message >= first && m.message <= last);
}

os::MSG message(os::HWND window, os::UINT id, os::WPARAM wParam, os::LPARAM lParam) {
    os::MSG m{};
    m.hwnd = window;
    m.message = id;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = world().tickCount;
    return m;
}

// Called once per look at the queue; a user who looks at the queue again (through the host's
// loop, say) is not called again inside.
void letTheUserAct() {
    static bool acting = false;
    if (!world().userAtKeyboard || acting) {
        return;
    }
    acting = true;
    const auto user = world().userAtKeyboard; // it may replace itself
    user();
    acting = false;
}

} // namespace

void pumpMessages() {
    os::MSG m;
    while (os::PeekMessageW(&m, nullptr, 0, 0, os::PM_REMOVE)) {
        if (m.message == os::WM_QUIT) {
            os::PostQuitMessage(static_cast<int>(m.wParam));
            return;
        }
        if (Window* root = rootWindow(m.hwnd); root && os::IsDialogMessageW(root->handle, &m)) {
            continue;
        }
        os::TranslateMessage(&m);
        os::DispatchMessageW(&m);
    }
}

void advanceTime(os::DWORD milliseconds) {
    World& m = world();
    const os::DWORD end = m.tickCount + milliseconds;
    pumpMessages();
    // A host's loop that met WM_QUIT has ended: nothing runs any more on this thread.
    while (!m.quitPending) {
        const Timer* next = nullptr;
        for (const Timer& t : m.timers) {
            if (static_cast<int32_t>(t.due - end) <= 0 &&
                (!next || static_cast<int32_t>(t.due - next->due) < 0)) {
                next = &t;
            }
        }
        if (!next) {
            break;
        }
        m.tickCount = next->due;
        pumpMessages();
    }
    m.tickCount = end;
    if (!m.quitPending) {
        pumpMessages();
    }
}

void uncover(os::HWND window) {
    if (Window* w = findWindow(window)) {
        w->needsPaint = true;
        for (Control& c : w->controls) {
            c.needsPaint = true;
        }
    }
}

std::u16string paintedText(os::HWND dialog, int id) {
    const Control* c = findControl(dialog, id);
    if (!c) {
        return u"<missing>";
    }
    return c->painted ? c->paintedText : u"<unpainted>";
}

int paintedPosition(os::HWND dialog, int id) {
    const Control* c = findControl(dialog, id);
    return c && c->painted ? c->paintedPosition : -1;
}

void forgetWindowMessages(os::HWND window) {
    const Window* w = findWindow(window);
    auto ours = [&](os::HWND handle) {
        return handle == window ||
               (w && std::any_of(w->controls.begin(), w->controls.end(),
                                 [&](const Control& c) { return c.handle == handle; }));
    };
    auto& posted = world().posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(),
                                [&](const PostedMessage& m) { return ours(m.window); }),
                 posted.end());
    auto& timers = world().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.window == window; }),
                 timers.end());
}

} // namespace sim

namespace os {

using sim::world;

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    sim::systemCall("PostMessageW");
    if (!sim::findWindow(window) && !sim::isHostWindow(window)) {
        return FALSE;
    }
    world().posted.push_back({window, message, wParam, lParam});
    return TRUE;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC callback) {
    sim::systemCall("SetTimer");
    if (!sim::findWindow(window) || world().failSetTimer) {
        return 0;
    }
    elapse = std::max(elapse, sim::kMinimumElapse);
    auto& timers = world().timers;
    auto same = std::find_if(timers.begin(), timers.end(),
                             [&](const sim::Timer& t) { return t.window == window && t.id == id; });
    const sim::Timer timer{window, id, elapse, world().tickCount + elapse, callback};
    if (same != timers.end()) {
        *same = timer; // setting it again starts it again
    } else {
        timers.push_back(timer);
    }
    return id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    sim::systemCall("KillTimer");
    auto& timers = world().timers;
    auto same = std::find_if(timers.begin(), timers.end(),
                             [&](const sim::Timer& t) { return t.window == window && t.id == id; });
    if (same == timers.end()) {
        return FALSE;
    }
    timers.erase(same);
    return TRUE;
}

BOOL UpdateWindow(HWND window) {
    sim::systemCall("UpdateWindow");
    sim::Window* w = sim::findWindow(window);
    if (!w) {
        return FALSE;
    }
    sim::paint(*w);
    return TRUE;
}

DWORD GetTickCount() {
    return world().tickCount;
}

BOOL PeekMessageW(MSG* m, HWND window, UINT first, UINT last, UINT remove) {
    sim::systemCall("PeekMessageW");
    sim::World& w = world();
    ++w.peeks;
    sim::letTheUserAct();
    for (size_t i = 0; i < w.posted.size(); ++i) {
        const sim::PostedMessage p = w.posted[i];
        const MSG candidate = sim::message(p.window, p.message, p.wParam, p.lParam);
        if (sim::matches(candidate, window, first, last)) {
            *m = candidate;
            if (remove & PM_REMOVE) {
                w.posted.erase(w.posted.begin() + static_cast<std::ptrdiff_t>(i));
            }
            return TRUE;
        }
    }
    if (w.quitPending && ((first == 0 && last == 0) || (WM_QUIT >= first && WM_QUIT <= last))) {
        *m = sim::message(nullptr, WM_QUIT, static_cast<WPARAM>(w.quitCode), 0);
        if (remove & PM_REMOVE) {
            w.quitPending = false;
        }
        return TRUE;
    }
    // A window that needs painting answers WM_PAINT until it has been painted.
    for (const sim::Window& candidate : w.windows) {
        if (sim::wantsPaint(candidate) &&
            sim::matches(sim::message(candidate.handle, WM_PAINT, 0, 0), window, first, last)) {
            *m = sim::message(candidate.handle, WM_PAINT, 0, 0);
            return TRUE;
        }
    }
    for (sim::Timer& t : w.timers) {
        const MSG candidate =
            sim::message(t.window, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.callback));
        if (sim::isDue(t, w.tickCount) && sim::matches(candidate, window, first, last)) {
            *m = candidate;
            if (remove & PM_REMOVE) {
                t.due = w.tickCount + t.elapse;
            }
            return TRUE;
        }
    }
    return FALSE;
}

LRESULT DispatchMessageW(const MSG* m) {
    sim::systemCall("DispatchMessageW");
    if (!m) {
        return 0;
    }
    if (m->message == WM_TIMER && m->lParam) {
        reinterpret_cast<TIMERPROC>(m->lParam)(m->hwnd, WM_TIMER, m->wParam, m->time);
        return 0;
    }
    if (sim::Window* w = sim::findWindow(m->hwnd)) {
        if (m->message == WM_PAINT) {
            sim::paint(*w);
            return 0;
        }
        return sim::dispatch(m->hwnd, m->message, m->wParam, m->lParam);
    }
    sim::Window* dialog = nullptr;
    if (sim::Control* c = sim::controlByHandle(m->hwnd, &dialog)) {
        return sim::controlKey(*dialog, *c, *m);
    }
    if (!m->hwnd || sim::isHostWindow(m->hwnd)) {
        world().hostMessages.push_back({m->hwnd, m->message, m->wParam, m->lParam});
    }
    return 0;
}

void PostQuitMessage(int exitCode) {
    sim::systemCall("PostQuitMessage");
    world().quitPending = true;
    world().quitCode = exitCode;
}

} // namespace os
