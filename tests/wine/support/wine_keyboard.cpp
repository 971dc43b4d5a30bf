#include "wine_keyboard.h"

#include <cwctype>
#include <memory>
#include <utility>

namespace winetest {

HWND focusedIn(HWND dialog) {
    HWND focus = GetFocus();
    return focus && (focus == dialog || IsChild(dialog, focus)) ? focus : dialog;
}

void pressKey(HWND dialog, UINT virtualKey) {
    HWND target = focusedIn(dialog);
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | (static_cast<LPARAM>(scan) << 16));
    PostMessageW(target, WM_KEYUP, virtualKey,
                 static_cast<LPARAM>(0xC0000001u | (static_cast<DWORD>(scan) << 16)));
}

void pressMnemonic(HWND dialog, wchar_t letter) {
    // What TranslateMessage makes of Alt + letter; bit 29 says that Alt is down.
    PostMessageW(focusedIn(dialog), WM_SYSCHAR, static_cast<WPARAM>(std::towlower(letter)),
                 1 | (1 << 29));
}

void typeKeys(HWND dialog, const std::wstring& text) {
    HWND target = focusedIn(dialog);
    for (wchar_t c : text) {
        PostMessageW(target, WM_CHAR, static_cast<WPARAM>(c), 1);
    }
}

void clickWithMouse(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    RECT area{};
    GetClientRect(control, &area);
    const LPARAM centre = MAKELPARAM((area.right - area.left) / 2, (area.bottom - area.top) / 2);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageW(control, WM_LBUTTONUP, 0, centre);
}

DialogDriver::Step actions(std::vector<std::function<void(HWND dialog)>> list) {
    auto shared = std::make_shared<std::vector<std::function<void(HWND)>>>(std::move(list));
    auto next = std::make_shared<size_t>(0);
    return [shared, next](HWND dialog) {
        if (*next < shared->size()) {
            (*shared)[(*next)++](dialog);
        }
        return *next == shared->size();
    };
}

void runHostLoop() {
    for (int round = 0; round < 3; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            const HWND root = GetAncestor(message.hwnd, GA_ROOT);
            if (!root || !IsDialogMessageW(root, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        Sleep(10);
    }
}

} // namespace winetest
