// The operating-system seam. Every call the library and portfix make to Windows is declared here,
// named and shaped like the Win32 function it stands for, in portable types. Exactly one
// implementation is linked: platform/win32 forwards to Windows, platform/sim runs an in-memory
// model of a Windows machine for the native build.
//
// A translation unit that also includes <windows.h> must include this header first, so that the
// Win32 macros do not rewrite the names declared here.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define OS_CALLBACK __stdcall
#else
#define OS_CALLBACK
#endif

namespace os {

using BOOL = int32_t;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using INT_PTR = intptr_t;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// Opaque handles. Registry keys are an enumeration so that the predefined roots can be constants.
struct HWND__;
struct HDC__;
struct HPRINTER__;
struct HINSTANCE__;
using HWND = HWND__*;
using HDC = HDC__*;
using HANDLE = HPRINTER__*; // printer handles from OpenPrinterW
using HINSTANCE = HINSTANCE__*;
enum class HKEY : uintptr_t {};

constexpr HKEY HKEY_CURRENT_USER = static_cast<HKEY>(
    static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(0x80000001))));
constexpr HKEY HKEY_LOCAL_MACHINE = static_cast<HKEY>(
    static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(0x80000002))));

inline const char16_t* MAKEINTRESOURCEW(int id) {
    return reinterpret_cast<const char16_t*>(static_cast<uintptr_t>(static_cast<WORD>(id)));
}

// ---------------------------------------------------------------------------------------------
// Memory. Everything the library allocates goes through the process heap.

constexpr UINT LMEM_FIXED = 0x0000;
constexpr UINT LMEM_ZEROINIT = 0x0040;
void* LocalAlloc(UINT flags, size_t bytes);
void* LocalFree(void* block);

// ---------------------------------------------------------------------------------------------
// Print spooler.

constexpr DWORD PRINTER_ENUM_LOCAL = 0x00000002;
constexpr DWORD PRINTER_ENUM_CONNECTIONS = 0x00000004;

// Same layout as the Win32 structures (checked in platform/win32).
struct PRINTER_INFO_2W {
    char16_t* pServerName;
    char16_t* pPrinterName;
    char16_t* pShareName;
    char16_t* pPortName;
    char16_t* pDriverName;
    char16_t* pComment;
    char16_t* pLocation;
    void* pDevMode;
    char16_t* pSepFile;
    char16_t* pPrintProcessor;
    char16_t* pDatatype;
    char16_t* pParameters;
    void* pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
};

struct PRINTER_INFO_2A {
    char* pServerName;
    char* pPrinterName;
    char* pShareName;
    char* pPortName;
    char* pDriverName;
    char* pComment;
    char* pLocation;
    void* pDevMode;
    char* pSepFile;
    char* pPrintProcessor;
    char* pDatatype;
    char* pParameters;
    void* pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
};

BOOL EnumPrintersW(DWORD flags, const char16_t* name, DWORD level, BYTE* buffer, DWORD bufferSize,
                   DWORD* needed, DWORD* returned);
BOOL EnumPrintersA(DWORD flags, const char* name, DWORD level, BYTE* buffer, DWORD bufferSize,
                   DWORD* needed, DWORD* returned);
BOOL OpenPrinterW(const char16_t* printerName, HANDLE* printer, void* defaults);
BOOL ClosePrinter(HANDLE printer);

constexpr DWORD DM_OUT_BUFFER = 2;
constexpr DWORD DM_IN_PROMPT = 4;
constexpr DWORD DM_IN_BUFFER = 8;
// Device modes are handled as the byte blocks they are: the public DEVMODEW part followed by the
// driver's private bytes.
LONG DocumentPropertiesW(HWND owner, HANDLE printer, const char16_t* deviceName, void* devModeOut,
                         const void* devModeIn, DWORD mode);

// ---------------------------------------------------------------------------------------------
// GDI printing.

struct DOCINFOW {
    int cbSize;
    const char16_t* lpszDocName;
    const char16_t* lpszOutput;
    const char16_t* lpszDatatype;
    DWORD fwType;
};

struct LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char16_t lfFaceName[32];
};
static_assert(sizeof(LOGFONTW) == 92, "LOGFONTW layout");

constexpr BYTE DEFAULT_CHARSET = 1;
constexpr int SP_ERROR = -1;

// The text-metric argument is passed through untouched; nothing here reads it.
using FONTENUMPROCW = int(OS_CALLBACK*)(const LOGFONTW* font, const void* textMetric,
                                        DWORD fontType, LPARAM data);

HDC CreateDCW(const char16_t* driver, const char16_t* device, const char16_t* port,
              const void* devMode);
BOOL DeleteDC(HDC dc);
int ExtEscape(HDC dc, int escape, int inputSize, const void* input, int outputSize, void* output);
int StartDocW(HDC dc, const DOCINFOW* docInfo);
int StartPage(HDC dc);
int EndPage(HDC dc);
int EndDoc(HDC dc);
int AbortDoc(HDC dc);
BOOL TextOutA(HDC dc, int x, int y, const char* text, int length);
int EnumFontFamiliesExW(HDC dc, LOGFONTW* font, FONTENUMPROCW proc, LPARAM data, DWORD flags);

// ---------------------------------------------------------------------------------------------
// Windows, dialogs and controls.

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;
constexpr UINT PBM_SETRANGE = WM_USER + 1;
constexpr UINT PBM_SETPOS = WM_USER + 2;
constexpr int SW_SHOWNORMAL = 1;

using DLGPROC = INT_PTR(OS_CALLBACK*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

inline WORD LOWORD(uintptr_t value) {
    return static_cast<WORD>(value & 0xFFFF);
}
inline WORD HIWORD(uintptr_t value) {
    return static_cast<WORD>((value >> 16) & 0xFFFF);
}
inline LPARAM MAKELPARAM(WORD low, WORD high) {
    return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type);
HWND CreateDialogParamW(HINSTANCE instance, const char16_t* templateName, HWND owner, DLGPROC proc,
                        LPARAM initParam);
BOOL DestroyWindow(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL EnableWindow(HWND window, BOOL enable);
// GA_ROOT: the top-level window a window belongs to (itself when it is one). Windows owns a
// dialog by the top-level window of the owner it is given.
constexpr UINT GA_ROOT = 2;
HWND GetAncestor(HWND window, UINT flags);
HWND GetDlgItem(HWND dialog, int id);
BOOL SetDlgItemTextW(HWND dialog, int id, const char16_t* text);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void InitCommonControls();

// The thread's message queue, run by the host's message loop: a posted message is delivered
// before the queue's windows are painted; a timer's WM_TIMER after them, once it is due.
using UINT_PTR = uintptr_t;
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
using TIMERPROC = void(OS_CALLBACK*)(HWND window, UINT message, UINT_PTR id, DWORD time);
// Without a callback: WM_TIMER with the id goes to the window's procedure.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC callback);
BOOL KillTimer(HWND window, UINT_PTR id);
// Paints what is waiting to be painted in the window and its controls, now.
BOOL UpdateWindow(HWND window);
// Milliseconds since the system started, wrapping around every 49.7 days.
DWORD GetTickCount();

// A loop of the library's own over the thread's queue, as a modal dialog runs one: messages
// are taken one at a time and handed to their window; keys for a modeless dialog go through its
// dialog manager first (IsDialogMessageW: Tab, Enter, Esc, mnemonics). PeekMessageW delivers,
// in this order, posted messages and keyboard input, WM_QUIT once PostQuitMessage has been
// called, then WM_PAINT for a window that needs painting and WM_TIMER for a timer that is due.
struct POINT {
    LONG x;
    LONG y;
};
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr WORD VK_TAB = 0x09;
constexpr WORD VK_RETURN = 0x0D;
constexpr WORD VK_ESCAPE = 0x1B;
constexpr WORD VK_SPACE = 0x20;
constexpr WORD VK_UP = 0x26;
constexpr WORD VK_DOWN = 0x28;

BOOL PeekMessageW(MSG* message, HWND window, UINT first, UINT last, UINT remove);
BOOL IsDialogMessageW(HWND dialog, MSG* message);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageW(const MSG* message);
void PostQuitMessage(int exitCode);

// Controls and their messages.

constexpr UINT WM_CLOSE = 0x0010;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;
constexpr WORD BN_CLICKED = 0;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;

constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;

constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr LRESULT CB_ERR = -1;
constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_SETFOCUS = 3;
constexpr WORD CBN_KILLFOCUS = 4;

inline WPARAM MAKEWPARAM(WORD low, WORD high) {
    return static_cast<WPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

INT_PTR DialogBoxParamW(HINSTANCE instance, const char16_t* templateName, HWND owner, DLGPROC proc,
                        LPARAM initParam);
BOOL EndDialog(HWND dialog, INT_PTR result);
BOOL SetWindowTextW(HWND window, const char16_t* text);
// Copies at most maxCount - 1 units and a terminator; the result is the number of units copied.
UINT GetDlgItemTextW(HWND dialog, int id, char16_t* text, int maxCount);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
HWND SetFocus(HWND window);
// The control that has the keyboard focus on this thread, or null.
HWND GetFocus();

// ---------------------------------------------------------------------------------------------
// Accessibility: what a screen reader is told about a window, given without changing the window.
// Shaped like the system's property annotation (IAccPropServices::SetHwndPropStr) for the
// window's client object. platform/win32 answers it itself: the window is made to answer
// WM_GETOBJECT, the question every client's AccessibleObjectFromWindow asks, with the standard
// object's answers and these texts, so that it works where the system has no annotation service
// (Wine answers E_NOTIMPL there). A null text takes the property back to the standard answer.

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr DWORD OBJID_CLIENT = 0xFFFFFFFC;
constexpr DWORD CHILDID_SELF = 0;
// The system names the properties by GUIDs (PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION).
enum class MSAAPROPID { Name, Description };

HRESULT SetHwndPropStr(HWND hwnd, DWORD idObject, DWORD idChild, MSAAPROPID idProp,
                       const char16_t* str);

// ---------------------------------------------------------------------------------------------
// Movable global memory, as the common dialogs exchange device modes and device names.

struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;

HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
void* GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);

// ---------------------------------------------------------------------------------------------
// Common dialogs: print, print setup and page setup.

using LPPRINTHOOKPROC = UINT_PTR(OS_CALLBACK*)(HWND dialog, UINT message, WPARAM wParam,
                                               LPARAM lParam);
using LPSETUPHOOKPROC = LPPRINTHOOKPROC;
using LPPAGESETUPHOOK = LPPRINTHOOKPROC;
using LPPAGEPAINTHOOK = LPPRINTHOOKPROC;

constexpr DWORD PD_PRINTSETUP = 0x00000040;
constexpr DWORD PD_ENABLEPRINTHOOK = 0x00001000;
constexpr DWORD PD_ENABLESETUPHOOK = 0x00002000;
constexpr DWORD PD_ENABLEPRINTTEMPLATE = 0x00004000;
constexpr DWORD PD_ENABLESETUPTEMPLATE = 0x00008000;
constexpr DWORD PD_NONETWORKBUTTON = 0x00200000;
constexpr DWORD PSD_ENABLEPAGESETUPHOOK = 0x00002000;
constexpr DWORD PSD_ENABLEPAGESETUPTEMPLATE = 0x00008000;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// The 32-bit SDK packs the common-dialog structures to single bytes; the 64-bit one does not.
#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(push, 1)
#endif
struct PRINTDLGW {
    DWORD lStructSize;
    HWND hwndOwner;
    HGLOBAL hDevMode;
    HGLOBAL hDevNames;
    HDC hDC;
    DWORD Flags;
    WORD nFromPage;
    WORD nToPage;
    WORD nMinPage;
    WORD nMaxPage;
    WORD nCopies;
    HINSTANCE hInstance;
    LPARAM lCustData;
    LPPRINTHOOKPROC lpfnPrintHook;
    LPSETUPHOOKPROC lpfnSetupHook;
    const char16_t* lpPrintTemplateName;
    const char16_t* lpSetupTemplateName;
    HGLOBAL hPrintTemplate;
    HGLOBAL hSetupTemplate;
};

struct PAGESETUPDLGW {
    DWORD lStructSize;
    HWND hwndOwner;
    HGLOBAL hDevMode;
    HGLOBAL hDevNames;
    DWORD Flags;
    POINT ptPaperSize;
    RECT rtMinMargin;
    RECT rtMargin;
    HINSTANCE hInstance;
    LPARAM lCustData;
    LPPAGESETUPHOOK lpfnPageSetupHook;
    LPPAGEPAINTHOOK lpfnPagePaintHook;
    const char16_t* lpPageSetupTemplateName;
    HGLOBAL hPageSetupTemplate;
};
#if defined(_WIN32) && !defined(_WIN64)
#pragma pack(pop)
static_assert(sizeof(PRINTDLGW) == 66, "PRINTDLGW, 32-bit layout");
static_assert(sizeof(PAGESETUPDLGW) == 84, "PAGESETUPDLGW, 32-bit layout");
#endif

// The device-names block: offsets in UTF-16 units from its start to the three names behind it.
struct DEVNAMES {
    WORD wDriverOffset;
    WORD wDeviceOffset;
    WORD wOutputOffset;
    WORD wDefault;
};
static_assert(sizeof(DEVNAMES) == 8, "DEVNAMES");

BOOL PrintDlgW(PRINTDLGW* printDlg);
BOOL PageSetupDlgW(PAGESETUPDLGW* pageSetup);

// ---------------------------------------------------------------------------------------------
// Registry.

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD KEY_QUERY_VALUE = 0x0001;
constexpr DWORD KEY_SET_VALUE = 0x0002;
constexpr DWORD KEY_ALL_ACCESS = 0xF003F;

LONG RegOpenKeyW(HKEY parent, const char16_t* subKey, HKEY* result);
LONG RegCreateKeyExW(HKEY parent, const char16_t* subKey, DWORD reserved, char16_t* keyClass,
                     DWORD options, DWORD access, void* security, HKEY* result, DWORD* disposition);
LONG RegQueryValueExW(HKEY key, const char16_t* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LONG RegSetValueExW(HKEY key, const char16_t* valueName, DWORD reserved, DWORD type,
                    const BYTE* data, DWORD dataSize);
LONG RegDeleteValueW(HKEY key, const char16_t* valueName);
LONG RegCloseKey(HKEY key);

LONG RegOpenKeyExA(HKEY parent, const char* subKey, DWORD options, DWORD access, HKEY* result);
LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);

// ---------------------------------------------------------------------------------------------
// The loader. A module stays mapped while anyone holds a reference on it: the process that
// loaded it, and whatever took one of its own.

constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS = 0x00000004;
// With FROM_ADDRESS, moduleName is any address inside the module, its base included. Takes a
// reference on the module, which FreeLibrary gives back.
BOOL GetModuleHandleExW(DWORD flags, const char16_t* moduleName, HINSTANCE* module);
BOOL FreeLibrary(HINSTANCE module);

// Libraries of the system loaded at run time (platform/system_library.h says how).
constexpr DWORD LOAD_WITH_ALTERED_SEARCH_PATH = 0x00000008;
constexpr DWORD LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x00000800;
// What a loader without the LOAD_LIBRARY_SEARCH flags (Windows 7 without KB2533623) answers them.
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
HINSTANCE LoadLibraryExW(const char16_t* fileName, void* reserved, DWORD flags);
// The System32 folder, without a closing backslash: its length, or the units needed (terminator
// included) when the buffer is too small, or 0 on failure.
UINT GetSystemDirectoryW(char16_t* buffer, UINT size);
DWORD GetLastError();

// ---------------------------------------------------------------------------------------------
// The process.

// The command line the process was started with, program name included.
const char* GetCommandLineA();

// ---------------------------------------------------------------------------------------------
// The legacy profile (win.ini sections).

DWORD GetProfileStringA(const char* section, const char* key, const char* defaultValue,
                        char* buffer, DWORD bufferSize);
BOOL WriteProfileStringA(const char* section, const char* key, const char* value);

} // namespace os
