// The keyboard of the simulated machine, and the dialog manager that a loop hands keys to: a key
// pressed reaches the queue for the control that has the focus; IsDialogMessageW turns Tab,
// Enter, Esc, the arrows and Alt+letter into what they do in a dialog, and hands every other
// message of the dialog to its window. The host's own windows live here too: they only take
// being disabled and record what is dispatched to them.
#include "platform/sim/internal.h"
#include "platform/sim/world.h"

#include <algorithm>

namespace sim {

namespace {

constexpr os::LPARAM kKeyDownFlags = 1;                                  // repeat count 1
constexpr os::LPARAM kKeyUpFlags = static_cast<os::LPARAM>(0xC0000001u); // was down, going up

// The character TranslateMessage makes of a key, or 0 for a key that makes none.
char16_t characterOf(os::WPARAM key) {
    switch (key) {
    case os::VK_TAB:
        return u'\t';
    case os::VK_RETURN:
        return u'\r';
    case os::VK_ESCAPE:
        return 0x1B;
    case os::VK_SPACE:
        return u' ';
    default:
        return 0;
    }
}

HostWindow* hostWindow(os::HWND handle) {
    auto& hosts = world().hostWindows;
    auto found = std::find_if(hosts.begin(), hosts.end(),
                              [&](const HostWindow& h) { return handle && h.handle == handle; });
    return found == hosts.end() ? nullptr : &*found;
}

} // namespace

os::LRESULT controlKey(Window& dialog, Control& control, const os::MSG& message) {
    if (message.message == os::WM_KEYUP && message.wParam == os::VK_SPACE &&
        control.isPushButton() && dialog.focus == control.handle) {
        act(dialog.handle, user::space());
    }
    return 0;
}

void pressKey(os::WORD virtualKey) {
    os::HWND target = os::GetFocus();
    if (!target) {
        target = world().activeWindow;
    }
    auto& posted = world().posted;
    posted.push_back({target, os::WM_KEYDOWN, virtualKey, kKeyDownFlags});
    posted.push_back({target, os::WM_KEYUP, virtualKey, kKeyUpFlags});
}

os::HWND addHostWindow(os::HWND parent) {
    const auto handle = reinterpret_cast<os::HWND>((world().nextWindow++) * 16);
    world().hostWindows.push_back({handle, true, parent});
    return handle;
}

bool isHostWindow(os::HWND window) {
    return hostWindow(window) != nullptr;
}

os::HWND topLevelOf(os::HWND window) {
    for (const HostWindow* h = hostWindow(window); h && h->parent; h = hostWindow(window)) {
        window = h->parent;
    }
    Window* dialog = nullptr;
    return controlByHandle(window, &dialog) ? dialog->handle : window;
}

bool canActivate(os::HWND window) {
    if (const HostWindow* h = hostWindow(window)) {
        return h->enabled;
    }
    const Window* w = findWindow(window);
    return !w || (w->visible && w->enabled);
}

bool hostWindowEnabled(os::HWND window) {
    const HostWindow* h = hostWindow(window);
    return h && h->enabled;
}

bool enableHostWindow(os::HWND window, bool enable, bool* wasDisabled) {
    HostWindow* h = hostWindow(window);
    if (!h) {
        return false;
    }
    *wasDisabled = !h->enabled;
    h->enabled = enable;
    return true;
}

} // namespace sim

namespace os {

using sim::world;

BOOL IsDialogMessageW(HWND dialog, MSG* message) {
    sim::systemCall("IsDialogMessageW");
    sim::Window* w = sim::findWindow(dialog);
    if (!w || !message) {
        return FALSE;
    }
    sim::Window* owner = nullptr;
    if (message->hwnd != dialog &&
        !(sim::controlByHandle(message->hwnd, &owner) && owner->handle == dialog)) {
        return FALSE;
    }
    if (message->message == WM_KEYDOWN) {
        switch (message->wParam) {
        case VK_ESCAPE:
            sim::act(dialog, sim::user::escape());
            return TRUE;
        case VK_RETURN:
            sim::act(dialog, sim::user::enter());
            return TRUE;
        case VK_TAB:
            sim::act(dialog, sim::user::tab());
            return TRUE;
        case VK_DOWN:
        case VK_UP:
            sim::act(dialog, sim::user::arrow(message->wParam == VK_DOWN ? 1 : -1));
            return TRUE;
        default:
            break;
        }
    } else if (message->message == WM_SYSCHAR) {
        sim::act(dialog, sim::user::mnemonic(static_cast<char16_t>(message->wParam)));
        return TRUE;
    }
    // Anything else goes to its window, as the dialog manager passes it on.
    TranslateMessage(message);
    DispatchMessageW(message);
    return TRUE;
}

// The character of a key comes next in the queue, before the key is released.
BOOL TranslateMessage(const MSG* message) {
    sim::systemCall("TranslateMessage");
    if (!message || message->message != WM_KEYDOWN) {
        return FALSE;
    }
    const char16_t c = sim::characterOf(message->wParam);
    if (c) {
        auto& posted = world().posted;
        posted.insert(posted.begin(), {message->hwnd, WM_CHAR, c, message->lParam});
    }
    return TRUE;
}

} // namespace os
