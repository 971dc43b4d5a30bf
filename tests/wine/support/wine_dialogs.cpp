#include "wine_dialogs.h"

#include <utility>

namespace winetest {
namespace {

// The driver whose timer is running on this thread; drivers nest, the innermost one answers.
thread_local DialogDriver* current = nullptr;

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
    wchar_t className[16];
    if (GetClassNameW(window, className, ARRAYSIZE(className)) &&
        std::wstring(className) == L"#32770" && IsWindowVisible(window) &&
        IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND activeDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

std::wstring controlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control ? windowText(control) : std::wstring();
}

std::wstring messageBoxText(HWND box) {
    return controlText(box, 0xFFFF);
}

bool setControlText(HWND dialog, int id, const std::wstring& text) {
    return SetDlgItemTextW(dialog, id, text.c_str());
}

void dismiss(HWND dialog) {
    // A Yes/No message box ignores IDCANCEL; its No is the way out.
    for (int id : {IDCANCEL, IDNO, IDOK}) {
        if (GetDlgItem(dialog, id)) {
            clickButton(dialog, id);
            return;
        }
    }
    clickButton(dialog, IDCANCEL);
}

void clickButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

DialogDriver::DialogDriver(std::vector<Step> steps, UINT intervalMs)
    : steps_(std::move(steps)), outer_(current) {
    current = this;
    timer_ = SetTimer(nullptr, 0, intervalMs, onTimer);
}

DialogDriver::~DialogDriver() {
    KillTimer(nullptr, timer_);
    current = outer_;
}

void CALLBACK DialogDriver::onTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    if (current && current->timer_ == timer) {
        current->tick();
    }
}

void DialogDriver::tick() {
    HWND dialog = activeDialog();
    if (!dialog) {
        return;
    }
    // The dialog the last step finished with may take a few messages to close.
    if (dialog == finished_) {
        return;
    }
    if (next_ == steps_.size()) {
        unexpected_.push_back(windowText(dialog));
        finished_ = dialog;
        dismiss(dialog);
        return;
    }
    if (steps_[next_](dialog)) {
        finished_ = dialog;
        ++next_;
    }
}

DialogDriver::Step pressButton(int id) {
    return [id](HWND dialog) {
        clickButton(dialog, id);
        return true;
    };
}

DialogDriver::Step answerMessageBox(int id, std::wstring* text) {
    return [id, text](HWND box) {
        if (text) {
            *text = messageBoxText(box);
        }
        clickButton(box, id);
        return true;
    };
}

} // namespace winetest
