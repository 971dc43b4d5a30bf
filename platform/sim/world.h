// The simulated Windows machine behind platform/os.h in the native build. Tests, the demo and the
// benchmarks configure it through world() and read back what the code did to it.
#pragma once

#include "platform/os.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace sim {

// The 12-byte page-parameter block as the simulated Braille driver keeps it.
struct Params {
    int16_t paperFormat = 1;
    int16_t paperLength = 0;
    int16_t columns = 40;
    int16_t lines = 29;
    int16_t doubleSided = 0;
    int16_t reserved = 0;
    bool operator==(const Params& o) const;
};

// A Braille driver that keeps its page parameters in the private bytes of the device mode and
// answers the escapes 65281 (read) and 65282 (write).
struct BrailleDriver {
    // Formats it takes as they come; empty means every format is taken.
    std::vector<int16_t> acceptedFormats;
    // What it answers for a format it does not take.
    int16_t rejectedFormatAnswer = 0;
    // Limits it adjusts down to; 0 means no limit.
    int16_t maxColumns = 0;
    int16_t maxLines = 0;
    int16_t maxPaperLength = 0; // millimetres
};

constexpr uint32_t kPublicDevModeSize = 220; // sizeof(DEVMODEW)

struct Printer {
    std::u16string name, port, driver;
    bool failOpen = false;
    bool failCreateDC = false;
    bool failSizeQuery = false; // DocumentPropertiesW size query answers -1
    std::optional<BrailleDriver> braille;
    std::vector<uint8_t> devMode; // the printer's current default device mode
    // The paper names the system's page-setup dialog lists for it, in the driver's order.
    std::vector<std::u16string> paperNames{u"Carta", u"A4"};
    std::u16string comment; // what the system's printer dialogs show as its comment (1100)
    // Another machine's printer the user has connected to (a name such as \\server\printer):
    // enumerated with PRINTER_ENUM_CONNECTIONS, not with PRINTER_ENUM_LOCAL.
    bool connection = false;
};

struct TextOut {
    int x = 0, y = 0;
    std::string bytes;
};

struct Page {
    std::vector<TextOut> lines;
};

struct Document {
    std::u16string name, printer, port;
    std::u16string output;        // the document's own output, when it names one
    std::optional<Params> params; // the Braille block of the device mode the DC was made from
    std::vector<Page> pages;
    bool ended = false;
    bool aborted = false;
};

// One device context as the code created it. Every one stays in World::dcs, deleted or not.
struct DeviceContext {
    int printer = -1;
    std::u16string port;
    std::vector<uint8_t> devMode;
    int document = -1;
    bool pageOpen = false;
    bool live = true;
};

// One ExtEscape call, whatever the driver made of it.
struct Escape {
    size_t dc = 0; // index into World::dcs
    int printer = -1;
    int code = 0;
    int inputSize = 0, outputSize = 0;
    int result = 0;
    std::optional<Params> block; // the block sent (65282) or answered (65281), when there is one
};

struct RegValue {
    os::DWORD type = 0;
    std::vector<uint8_t> data;
};

struct RegKey {
    std::map<std::u16string, std::pair<std::u16string, RegValue>> values; // by lower-case name
};

struct MessageBox {
    os::HWND owner = nullptr;
    std::u16string text, caption;
    os::UINT type = 0;
};

// A control as a dialog template created it, with the state the library can see and change.
struct Control {
    int id = 0;
    std::u16string className; // "Button", "Edit", "Static", "ComboBox", "msctls_progress32"
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::u16string text;
    bool enabled = true;
    bool visible = true;
    bool readOnly = false;
    os::UINT check = 0;    // buttons
    int textLimit = 30000; // edits
    int selectionStart = 0, selectionEnd = 0;
    std::vector<std::u16string> items; // combo boxes, in the order they were added
    int selection = -1;
    int rangeLow = 0, rangeHigh = 100, position = 0; // progress bars
    // What the library told screen readers about the control (SetHwndPropStr); unset: nothing.
    std::optional<std::u16string> accName, accDescription;
    os::HWND handle = nullptr;
    // Painting: a change of text or position waits for the next paint, which happens when the
    // host's message loop runs out of posted messages or the code asks for UpdateWindow. What the
    // control showed at its last paint:
    bool needsPaint = true;
    bool painted = false;
    std::u16string paintedText;
    int paintedPosition = 0;

    bool is(const char16_t* cls) const;
    int buttonKind() const { return static_cast<int>(style & 0x0F); } // BS_* of a button
    bool isCheckBox() const;
    bool isRadio() const;
    bool isPushButton() const;
    bool tabStop() const { return (style & 0x00010000) != 0; }
    bool groupStart() const { return (style & 0x00020000) != 0; }
    bool digitsOnly() const { return (style & 0x2000) != 0; } // ES_NUMBER
};

enum class DialogKind {
    Plain,      // CreateDialogParamW or DialogBoxParamW with the library's own procedure
    Print,      // PrintDlgW
    PrintSetup, // PrintDlgW with PD_PRINTSETUP
    PageSetup,  // PageSetupDlgW
};

struct Window {
    int templateId = 0;
    DialogKind kind = DialogKind::Plain;
    uint32_t style = 0;                   // the template's; WS_VISIBLE follows `visible`
    int16_t x = 0, y = 0, cx = 0, cy = 0; // dialog units stand for pixels here
    std::u16string title;
    os::HWND handle = nullptr;
    os::HWND owner = nullptr;
    os::DLGPROC proc = nullptr;         // Plain
    os::LPPRINTHOOKPROC hook = nullptr; // the common dialogs' hook, when enabled
    std::vector<Control> controls;
    os::HWND focus = nullptr;
    bool modal = false;
    bool ended = false;
    os::INT_PTR result = 0;
    bool visible = false;
    bool enabled = true;
    bool live = true;
    bool needsPaint = false; // the window's own area, painted (WM_PAINT) before its controls
};

// What a scripted user does in a modal dialog, one step at a time, the way a person at the
// keyboard would. Steps that a person could not take (typing into a disabled field, pressing a
// hidden button) are refused and counted in World::refusedSteps.
struct UserStep {
    enum class Kind {
        Choose,   // pick entry `index` of combo box `id`
        Type,     // select the whole text of edit `id` and type `text`
        Tick,     // click check box or radio button `id`
        Press,    // click push button `id`
        Focus,    // put the focus on `id` as SetFocus would: an edit's text is not selected
        Tab,      // Tab (index 1) or Shift+Tab (index -1)
        Arrow,    // Down (index 1) or Up (index -1): the next radio of a group, or list entry
        Space,    // the space bar on the focused control
        Mnemonic, // Alt + `text[0]`
        Keys,     // type `text` into the focused edit
        Enter,
        Escape,
        CloseBox,
        Inspect, // let the test look at the dialog
    };
    Kind kind = Kind::Inspect;
    int id = 0;
    int index = 0;
    std::u16string text;
    std::function<void(os::HWND dialog)> inspect;
};

namespace user {
UserStep choose(int id, int index);
UserStep type(int id, const std::u16string& text);
UserStep tick(int id);
UserStep press(int id);
UserStep focus(int id);
UserStep tab(int direction = 1);
UserStep arrow(int direction);
UserStep space();
UserStep mnemonic(char16_t letter);
UserStep keys(const std::u16string& text);
UserStep enter();
UserStep escape();
UserStep closeBox();
UserStep inspect(std::function<void(os::HWND dialog)> look);
} // namespace user

// New text for a control (SetDlgItemTextW, SetDlgItemInt, SetWindowTextW) is recorded as this
// message, without the text.
constexpr os::UINT kSetText = 0x000C; // WM_SETTEXT

// A message the library sent to a control, as sent.
struct ControlMessage {
    int dialogTemplate = 0;
    int id = 0;
    os::UINT message = 0;
    os::WPARAM wParam = 0;
    os::LPARAM lParam = 0;
};

// A message waiting in the queue of the host's thread.
struct PostedMessage {
    os::HWND window = nullptr;
    os::UINT message = 0;
    os::WPARAM wParam = 0;
    os::LPARAM lParam = 0;
};

// A top-level window of the host application. The simulator runs no procedure for it: it can be
// enabled or disabled, and the messages dispatched to it are recorded.
struct HostWindow {
    os::HWND handle = nullptr;
    bool enabled = true;
    os::HWND parent = nullptr; // a child window's parent; null for a top-level window
};

struct Timer {
    os::HWND window = nullptr;
    os::UINT_PTR id = 0;
    os::UINT elapse = 0;
    os::DWORD due = 0;
    os::TIMERPROC callback = nullptr;
};

// One paint of a control: what it showed then.
struct Paint {
    int dialogTemplate = 0;
    int id = 0;
    std::u16string text;
    int position = 0;
};

// The focus reaching a control, as a screen reader announces it: with the name it has then.
struct FocusEvent {
    int dialogTemplate = 0;
    int id = 0;
    std::u16string name;
};

// The driver's own properties dialog (DocumentPropertiesW with DM_IN_PROMPT), as it was asked for.
struct PropertiesDialog {
    os::HWND owner = nullptr;
    int printer = -1;
    os::DWORD mode = 0;
    const void* input = nullptr;
    void* output = nullptr;
};

// What the user does in the Braille driver's properties dialog: chooses page parameters (which
// the driver adjusts as it does for the escapes) and closes it with OK, or cancels it.
struct PropertiesChoice {
    Params params;
    bool ok = true;
};

struct GlobalBlock {
    std::vector<uint8_t> bytes;
    int locks = 0;
    bool live = true;
};

struct World {
    // Spooler.
    std::vector<Printer> printers;
    bool failSecondEnum = false;
    os::DWORD enumOverCount = 0; // the second enumeration reports this many printers too many
    std::vector<Printer> addedBetweenEnumCalls; // appear right after the size query
    int openPrinters = 0;

    // GDI.
    std::vector<std::unique_ptr<DeviceContext>> dcs;
    std::vector<Document> documents;
    std::vector<int> startDocResults; // consumed front first; empty: the document starts
    std::vector<std::pair<int32_t, int32_t>> fonts{{100, 60}}; // lfHeight, lfWidth per font
    // Off, the simulator keeps no record of pages, lines or control messages (the benchmarks).
    bool recording = true;
    int createDCCalls = 0;       // successful or not; World::dcs holds the ones made
    std::vector<Escape> escapes; // every escape sent to every driver, answered or not
    int strayTextOuts = 0;       // TextOutA outside a started page

    // Registry and profile.
    std::map<std::u16string, RegKey> keys; // full lower-case path such as u"hkcu\\software\\x"
    std::map<uintptr_t, std::u16string> openKeys;
    uintptr_t nextKey = 0x1000;
    bool failCreateKey = false; // RegCreateKeyExW is refused, whether or not the key exists
    std::map<std::string, std::map<std::string, std::pair<std::string, std::string>>> profile;

    // Windows.
    std::vector<MessageBox> messageBoxes;
    int messageBoxAnswer = os::IDOK;
    // The person who answers a message box, called while it is up: its modal loop runs the
    // host's windows meanwhile, so this person may call the library as they would.
    std::function<void(const MessageBox& box)> messageBoxUser;
    std::deque<Window> windows; // a deque: a dialog opened inside another leaves it in place
    std::vector<std::pair<int, int>> omittedControls; // template id, control id left out
    std::vector<ControlMessage> controlMessages;
    std::vector<FocusEvent> focusEvents; // with recording on
    bool failCreateDialog = false;
    int initCommonControlsCalls = 0;
    uintptr_t nextWindow = 0x100;
    // The scripted user of the modal dialogs, consumed front first. When it runs out in a dialog,
    // the user presses Esc; a dialog that still does not end is closed and counted as stuck.
    std::deque<UserStep> script;
    int refusedSteps = 0;
    int scriptRanOut = 0;
    // The next this many ends of a modal dialog are refused and the dialog stays open: EndDialog
    // answers FALSE, and the common dialogs' own part ignores their OK and Cancel.
    int refusedEnds = 0;
    int stuckDialogs = 0;
    // Selection changes that the system's print or print-setup dialog acted on for a list entry
    // naming no installed printer (see changePrinter in dialogs.cpp).
    int unknownPrinterOpens = 0;
    int defaultPrinter = 0;          // the system's default printer, by index; -1: none
    bool paperListAfterInit = false; // page setup fills its paper list after the hook's start
    // The driver's properties dialogs, and what the user does in each, front first; when the
    // choices run out the user cancels.
    std::vector<PropertiesDialog> propertiesDialogs;
    std::deque<PropertiesChoice> propertiesChoices;
    // Common dialogs called, with the structure as the library handed it in.
    std::vector<os::PRINTDLGW> printDialogs;
    std::vector<os::PAGESETUPDLGW> pageSetupDialogs;

    // The host's thread: its queue of posted messages, its timers, the clock they run on
    // (GetTickCount) and every paint of a control, in order (with recording on).
    std::vector<PostedMessage> posted; // room for a few kept from reset() on
    std::vector<Timer> timers;
    bool failSetTimer = false; // SetTimer answers 0, as when the desktop's timers are spent
    os::DWORD tickCount = 0;
    std::vector<Paint> paints;
    // The thread's active top-level window: shown windows take it; hiding or destroying a shown
    // active window passes it to its owner if the owner is enabled, and otherwise out of the
    // thread (null), as Windows never activates a disabled window. A test moves it elsewhere as
    // a user would.
    os::HWND activeWindow = nullptr;
    // The queue as a loop takes from it (PeekMessageW): keys pressed (pressKey) wait among the
    // posted messages; WM_QUIT comes once PostQuitMessage has been called and every posted
    // message has been taken.
    bool quitPending = false;
    int quitCode = 0;
    int peeks = 0; // PeekMessageW calls
    // The person at the keyboard while a loop runs: called each time the thread looks at its
    // queue, before it is answered. It may press keys, post messages, or call the library.
    std::function<void()> userAtKeyboard;
    // The host application's own windows (addHostWindow), and every message a loop dispatched
    // that no window of the simulator takes: one for a host window, or for no window at all (a
    // thread message, which DispatchMessageW cannot deliver and which is lost).
    std::vector<HostWindow> hostWindows;
    std::vector<PostedMessage> hostMessages;

    // Movable global memory.
    std::map<uintptr_t, GlobalBlock> globals;
    uintptr_t nextGlobal = 0x7000;
    long failGlobalAllocAt = -1; // index (from 0) of the GlobalAlloc that fails; -1: none
    long globalAllocs = 0;
    bool failGlobalLock = false;
    int badGlobalFrees = 0;

    // The process.
    std::string commandLine = "portfix.exe";
    // The system's libraries asked for (LoadLibraryExW), by the name as given and the flags, and
    // a loader that refuses the LOAD_LIBRARY_SEARCH flags as Windows 7 did before KB2533623.
    std::vector<std::pair<std::u16string, os::DWORD>> libraryLoads;
    bool loaderWithoutSearchFlags = false;
    os::DWORD lastError = 0;
    // Held while a module is initialised and while it hears a detach; the window, GDI, spooler
    // and loader calls made meanwhile, by name, in order.
    bool loaderLock = false;
    std::vector<std::string> callsUnderLoaderLock;

    // Memory.
    long allocations = 0;
    long liveAllocations = 0;
    long allocationsLeftAtExit = 0; // live when the process ended, after its modules' detach
    std::set<void*> liveBlocks;     // what the process would get back from the system at its end
    long failAllocationAt = -1; // index (from 0) of the next allocation that fails; -1: none fail
};

World& world();
// A fresh machine: no printers, an empty registry, the library's dialog templates.
void reset();

// Printers. The Braille driver's device mode holds the block right behind the public part.
Printer& addPrinter(const std::u16string& name, const std::u16string& port,
                    const std::u16string& driver);
Printer& addBraillePrinter(const std::u16string& name, const std::u16string& port,
                           const Params& params, BrailleDriver driver = {});
std::vector<uint8_t> makeDevMode(const std::u16string& name, uint16_t driverExtra,
                                 const Params* params);
std::optional<Params> paramsInDevMode(const uint8_t* devMode, size_t size);

// Registry helpers for tests; paths are relative to the root, such as u"Software\\Vorn\\X".
void setValue(os::HKEY root, const std::u16string& path, const std::u16string& name, os::DWORD type,
              const std::vector<uint8_t>& data);
std::optional<RegValue> getValue(os::HKEY root, const std::u16string& path,
                                 const std::u16string& name);
// A REG_SZ value of UTF-16 text, stored without a terminating null.
void setString(os::HKEY root, const std::u16string& path, const std::u16string& name,
               const std::u16string& text);
bool keyExists(os::HKEY root, const std::u16string& path);
void createKey(os::HKEY root, const std::u16string& path);

// Profile helpers.
void setProfile(const std::string& section, const std::string& key, const std::string& value);
std::optional<std::string> getProfile(const std::string& section, const std::string& key);

// Windows.
Window* findWindow(os::HWND handle);
Control* findControl(os::HWND dialog, int id);
// What a screen reader hears for a control: what the library gave it, else what Wine's
// standard object answers (an edit is named by the nearest label before it, however far;
// anything else by its own text, a drop-down list by its selected entry; "&" dropped).
struct Heard {
    std::u16string name, description;
};
Heard heard(os::HWND control);
// A key or click reaching a modeless dialog through the host's message loop (IsDialogMessage):
// one step of the scripted user, taken now. Refused when the dialog is gone.
void act(os::HWND dialog, const UserStep& step);
// Presses a button of a live dialog, as the user would: nothing happens when it is disabled.
bool clickButton(os::HWND dialog, int id);
// The control that has the focus in a live dialog, or null.
Control* focusedControl(os::HWND dialog);
int liveWindows();
int liveGlobals();

// The host's message loop, as a host writes it (PeekMessageW; IsDialogMessageW for a dialog's
// messages; TranslateMessage, DispatchMessageW), run until it has nothing left to do at the
// present time: posted messages in order, then the paints of every shown window, then the timers
// that are due. It stops at WM_QUIT, which it leaves pending, as the host's loop would end there.
void pumpMessages();
// Time passes on the simulated machine while the host's loop runs: every timer fires when due.
void advanceTime(os::DWORD milliseconds);
// A key pressed and released by the user: WM_KEYDOWN and WM_KEYUP for `virtualKey` join the
// queue, for the control that has the focus in the active dialog (else the active window).
void pressKey(os::WORD virtualKey);
// A window of the host application, to own the library's windows: a top-level one, or a child
// of `parent`.
os::HWND addHostWindow(os::HWND parent = nullptr);
// Whether the host window is enabled (false for a handle that names none).
bool hostWindowEnabled(os::HWND window);
// What the control `id` of a live dialog showed at its last paint; "<unpainted>" before the
// first, "<missing>" without such a control.
std::u16string paintedText(os::HWND dialog, int id);
// Another window that covered this one goes: the window and its controls are to be painted again.
void uncover(os::HWND window);
// The progress bar `id` of a live dialog at its last paint, or -1.
int paintedPosition(os::HWND dialog, int id);
int liveDCs();

// The System32 folder (GetSystemDirectoryW).
inline const char16_t kSystemFolder[] = u"C:\\Windows\\system32";

// The loader. A module's entry point hears the process attach when it is first loaded and the
// detach when its last reference goes (reserved null) or the process ends (reserved not null).
constexpr os::DWORD kProcessDetach = 0;
constexpr os::DWORD kProcessAttach = 1;
using EntryPoint = void (*)(os::HINSTANCE module, os::DWORD reason, void* reserved);
// LoadLibrary of the module with these compiled resources and this entry point: mapped and
// attached the first time, one more reference every time.
os::HINSTANCE loadModule(const uint8_t* resources, size_t size, EntryPoint entry);
long moduleReferences(os::HINSTANCE module);
// ExitProcess: every loaded module hears the detach of the process's end, then the process's
// memory goes back to the system.
void exitProcess();

} // namespace sim
