// The keys a person at the keyboard presses in a modal dialog, delivered as Windows delivers
// them: posted to the control that has the focus, so that the dialog's own loop handles them
// (Tab and Enter through the dialog manager, Alt+letter as a mnemonic, digits into an edit).
#pragma once

#include "wine_dialogs.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace winetest {

// The control of `dialog` that has the focus, or the dialog itself.
HWND focusedIn(HWND dialog);
void pressKey(HWND dialog, UINT virtualKey);
// Alt + letter.
void pressMnemonic(HWND dialog, wchar_t letter);
void typeKeys(HWND dialog, const std::wstring& text);
// A click with the mouse on control `id`: pressed and released over it, so that, as under a
// person's hand, a button takes the focus before it tells the dialog it was clicked.
void clickWithMouse(HWND dialog, int id);

// A host's message loop run for a moment (three rounds, 10 ms apart): keys for a dialog go
// through its dialog manager first, as a host that passes them to IsDialogMessage does.
void runHostLoop();

// One dialog worked through a list of actions, one per timer tick, so that the keys of one
// action have been handled before the next action looks at the dialog.
DialogDriver::Step actions(std::vector<std::function<void(HWND dialog)>> list);

} // namespace winetest
