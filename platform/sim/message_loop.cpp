// The host's thread on the simulated machine: the message queue that PostMessageW fills, timers,
// the clock they run on, and painting. As on Windows, a posted message comes before any paint and
// a timer's WM_TIMER after them, so a window that brings itself up to date on a posted message
// never paints an older state.
#include "platform/sim/internal.h"
#include "platform/sim/world.h"

#include <algorithm>

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

void fire(Timer t) {
    if (t.callback) {
        t.callback(t.window, os::WM_TIMER, t.id, world().tickCount);
    } else {
        dispatch(t.window, os::WM_TIMER, t.id, 0);
    }
}

// One step of the loop: true when it found something to do.
bool step() {
    World& m = world();
    if (!m.posted.empty()) {
        const PostedMessage message = m.posted.front();
        m.posted.erase(m.posted.begin());
        if (findWindow(message.window)) {
            dispatch(message.window, message.message, message.wParam, message.lParam);
        }
        return true;
    }
    for (size_t i = 0; i < m.windows.size(); ++i) { // a paint may open or close windows
        paint(m.windows[i]);
    }
    auto due = std::find_if(m.timers.begin(), m.timers.end(),
                            [&](const Timer& t) { return isDue(t, m.tickCount); });
    if (due == m.timers.end()) {
        return false;
    }
    due->due = m.tickCount + due->elapse;
    fire(*due);
    return true;
}

} // namespace

void pumpMessages() {
    while (step()) {
    }
}

void advanceTime(os::DWORD milliseconds) {
    World& m = world();
    const os::DWORD end = m.tickCount + milliseconds;
    pumpMessages();
    for (;;) {
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
    pumpMessages();
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
    auto& posted = world().posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(),
                                [&](const PostedMessage& m) { return m.window == window; }),
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
    if (!sim::findWindow(window)) {
        return FALSE;
    }
    world().posted.push_back({window, message, wParam, lParam});
    return TRUE;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC callback) {
    sim::systemCall("SetTimer");
    if (!sim::findWindow(window)) {
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

} // namespace os
