// Helpers that the simulated machine's files share with each other; tests use world.h.
#pragma once

#include "platform/os.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

std::u16string lower(const std::u16string& s);
std::string lower8(const std::string& s);
// "hkcu" or "hklm" for a predefined root, empty for any other key.
std::u16string rootPath(os::HKEY root);
// Index of the printer of that name, or -1.
int printerByName(const char16_t* name);

struct Params;
struct BrailleDriver;
// What the Braille driver keeps of a block it is asked to store.
Params adjust(const BrailleDriver& driver, Params p);
// Writes the block into a device mode's private bytes, behind its public part, when they hold it.
void writeParams(std::vector<uint8_t>& devMode, const Params& p);
// The size a device mode states for itself (dmSize + dmDriverExtra), which is how far GDI and a
// driver read it.
size_t claimedSize(const void* devMode);
// Every simulated window, GDI, spooler and loader call starts here: made while the loader lock is
// held, it is recorded.
void systemCall(const char* name);
// DocumentPropertiesW with DM_IN_PROMPT: the driver's own dialog, run by the scripted user.
os::LONG propertiesDialog(os::HWND owner, int printer, void* devModeOut, const void* devModeIn,
                          os::DWORD mode);

} // namespace sim

namespace sim {

struct Window;
struct Control;
struct UserStep;
enum class DialogKind;

// The control of a live dialog with that handle, and the dialog in *owner when asked.
Control* controlByHandle(os::HWND handle, Window** owner);
// A dialog built from a template of the module, not yet initialised; null when the module has no
// such template.
Window* buildDialog(os::HINSTANCE instance, const char16_t* templateName, os::HWND owner,
                    DialogKind kind);
// Delivers a message to a dialog: its procedure, or a common dialog's hook and then its own part.
os::INT_PTR dispatch(os::HWND dialog, os::UINT message, os::WPARAM wParam, os::LPARAM lParam);
// The common dialogs' own handling of a message their hook left to them.
os::INT_PTR commonDialogDefault(os::HWND dialog, os::UINT message, os::WPARAM wParam,
                                os::LPARAM lParam);
// A control tells its dialog about itself (WM_COMMAND with its id and the code).
void notify(os::HWND dialog, int id, os::WORD code);
// The focus moves within the dialog, with the notifications of the controls that lose and get it.
void moveFocus(Window& dialog, Control* to);
// A modal dialog ends with `result`; the control that had the focus loses it.
void endModal(Window& dialog, os::INT_PTR result);
// New text in an edit, with the notifications a real edit sends.
void changeEditText(os::HWND dialog, int id, const std::u16string& text);
// A control the user can reach: enabled and visible.
bool usable(const Control* c);
// The radio buttons (indexes into the dialog's controls) of the group that control `index`
// belongs to.
std::vector<size_t> radioGroup(const Window& w, size_t index);
// The dialog's tab stops, indexes into its controls in template order.
std::vector<size_t> tabStops(const Window& w);
// Index of the control with that handle, or the number of controls.
size_t indexOf(const Window& w, os::HWND handle);
// The focus goes to a control as the keyboard puts it there: an edit gets its whole text selected.
void focusByKeyboard(os::HWND dialog, Control& c);
// What the system does after a dialog's initialisation answered TRUE: the focus goes to the first
// control that takes it.
void defaultFocus(os::HWND dialog);
// Sends a dialog WM_INITDIALOG and, when it answers TRUE, gives the focus to its first tab stop.
os::INT_PTR initialise(os::HWND dialog, os::LPARAM initParam);
// One step of the scripted user in a dialog, as the keyboard or the mouse would take it.
void perform(os::HWND dialog, const UserStep& step);
// Drops the messages posted to a window that is going and its timers.
void forgetWindowMessages(os::HWND window);
// Runs a modal dialog that has been built and initialised until it ends; the scripted user acts
// in it. Destroys it and answers its result.
os::INT_PTR runModal(os::HWND dialog);

} // namespace sim

namespace sim {

// What a control does with a message a loop dispatched to it: a push button that has the focus
// is pressed when the space bar comes up; nothing else here reaches a control's own procedure.
os::LRESULT controlKey(Window& dialog, Control& control, const os::MSG& message);
bool isHostWindow(os::HWND window);
// The top-level window that `window` belongs to: a host window's outermost parent, a control's
// dialog, a dialog itself. A handle the simulator does not know stands for itself.
os::HWND topLevelOf(os::HWND window);
// Whether the system would give `window` the activation: Windows never activates a disabled
// window. A handle the simulator does not know is not known to be disabled.
bool canActivate(os::HWND window);
// EnableWindow for a window of the host application; false when the handle names none.
bool enableHostWindow(os::HWND window, bool enable, bool* wasDisabled);

} // namespace sim
