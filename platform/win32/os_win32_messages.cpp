// The seam on Windows for the thread's message queue, as a loop of the library's own takes
// messages from it. The portable MSG is the SDK's, field for field.
#include "platform/os.h"

namespace seam {
constexpr auto wmQuit = os::WM_QUIT;
constexpr auto wmKeyDown = os::WM_KEYDOWN;
constexpr auto wmKeyUp = os::WM_KEYUP;
constexpr auto wmChar = os::WM_CHAR;
constexpr auto wmSysChar = os::WM_SYSCHAR;
constexpr auto pmNoRemove = os::PM_NOREMOVE;
constexpr auto pmRemove = os::PM_REMOVE;
constexpr auto vkTab = os::VK_TAB;
constexpr auto vkReturn = os::VK_RETURN;
constexpr auto vkEscape = os::VK_ESCAPE;
constexpr auto vkSpace = os::VK_SPACE;
constexpr auto vkUp = os::VK_UP;
constexpr auto vkDown = os::VK_DOWN;
} // namespace seam

#include <windows.h>

#include <cstddef>

namespace {

static_assert(seam::wmQuit == WM_QUIT && seam::wmKeyDown == WM_KEYDOWN &&
                  seam::wmKeyUp == WM_KEYUP && seam::wmChar == WM_CHAR &&
                  seam::wmSysChar == WM_SYSCHAR,
              "messages");
static_assert(seam::pmNoRemove == PM_NOREMOVE && seam::pmRemove == PM_REMOVE, "PeekMessage");
static_assert(seam::vkTab == VK_TAB && seam::vkReturn == VK_RETURN && seam::vkEscape == VK_ESCAPE &&
                  seam::vkSpace == VK_SPACE && seam::vkUp == VK_UP && seam::vkDown == VK_DOWN,
              "virtual keys");

static_assert(sizeof(os::MSG) == sizeof(::MSG), "MSG");
static_assert(offsetof(os::MSG, hwnd) == offsetof(::MSG, hwnd), "MSG.hwnd");
static_assert(offsetof(os::MSG, message) == offsetof(::MSG, message), "MSG.message");
static_assert(offsetof(os::MSG, wParam) == offsetof(::MSG, wParam), "MSG.wParam");
static_assert(offsetof(os::MSG, lParam) == offsetof(::MSG, lParam), "MSG.lParam");
static_assert(offsetof(os::MSG, time) == offsetof(::MSG, time), "MSG.time");
static_assert(offsetof(os::MSG, pt) == offsetof(::MSG, pt), "MSG.pt");
static_assert(sizeof(os::POINT) == sizeof(::POINT), "POINT");

::MSG* m(os::MSG* message) {
    return reinterpret_cast<::MSG*>(message);
}
const ::MSG* m(const os::MSG* message) {
    return reinterpret_cast<const ::MSG*>(message);
}
::HWND h(os::HWND window) {
    return reinterpret_cast<::HWND>(window);
}

} // namespace

namespace os {

BOOL PeekMessageW(MSG* message, HWND window, UINT first, UINT last, UINT remove) {
    return ::PeekMessageW(m(message), h(window), first, last, remove);
}

BOOL IsDialogMessageW(HWND dialog, MSG* message) {
    return ::IsDialogMessageW(h(dialog), m(message));
}

BOOL TranslateMessage(const MSG* message) {
    return ::TranslateMessage(m(message));
}

LRESULT DispatchMessageW(const MSG* message) {
    return ::DispatchMessageW(m(message));
}

void PostQuitMessage(int exitCode) {
    ::PostQuitMessage(exitCode);
}

} // namespace os
