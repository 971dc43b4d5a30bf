// Answering the thread's own modal dialogs with no one at the keyboard. A thread timer fires inside
// every modal loop (DialogBoxParamW, PrintDlgW, PageSetupDlgW, MessageBoxW), so a driver started
// before the call that opens the dialog gets to look at it and act, then lets the loop run on.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace winetest {

// The dialog the user would be facing on this thread: a visible, enabled "#32770" window. A
// message box over a dialog disables the dialog, so the box is the one found.
HWND activeDialog();

std::wstring windowText(HWND window);
std::wstring controlText(HWND dialog, int id);
// The text of a message box (its static with id 0xFFFF).
std::wstring messageBoxText(HWND box);
bool setControlText(HWND dialog, int id, const std::wstring& text);
// Posts the command a click on button `id` sends, so the dialog handles it in its own loop.
void clickButton(HWND dialog, int id);
// Closes a dialog the way least likely to commit anything: Cancel, else No, else OK.
void dismiss(HWND dialog);

// Runs one step per dialog, in order, from a thread timer. A step gets the active dialog and
// returns true once it has done its part (say, typed a name and clicked OK); until then it is
// called again on the next tick. After a step is done the driver waits for that dialog to go
// away before it hands the next dialog to the next step. A dialog that shows up when no step
// is left is dismissed and counted in unexpected(), so a test never waits on it forever.
class DialogDriver {
public:
    using Step = std::function<bool(HWND dialog)>;

    explicit DialogDriver(std::vector<Step> steps, UINT intervalMs = 30);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Steps that have returned true.
    size_t done() const { return next_; }
    // Titles of the dialogs that arrived after the last step and were dismissed.
    const std::vector<std::wstring>& unexpected() const { return unexpected_; }

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    void tick();

    std::vector<Step> steps_;
    size_t next_ = 0;
    HWND finished_ = nullptr;
    std::vector<std::wstring> unexpected_;
    UINT_PTR timer_ = 0;
    DialogDriver* outer_ = nullptr;
};

// Common steps.
DialogDriver::Step pressButton(int id);

// Records a message box's text into `text` and answers it with button `id` (IDOK, IDYES, ...).
DialogDriver::Step answerMessageBox(int id, std::wstring* text = nullptr);

} // namespace winetest
