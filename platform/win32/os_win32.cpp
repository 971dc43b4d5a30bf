// The seam on Windows: every call forwards to the real function. This is the only place that
// converts between the portable types of platform/os.h and the Win32 ones.
#include "platform/os.h"

// The seam's constants, taken before <windows.h> turns their names into macros, to be checked
// against the real ones below.
namespace seam {
constexpr auto pbmSetRange = os::PBM_SETRANGE;
constexpr auto pbmSetPos = os::PBM_SETPOS;
constexpr auto wmInitDialog = os::WM_INITDIALOG;
constexpr auto wmCommand = os::WM_COMMAND;
constexpr auto wmTimer = os::WM_TIMER;
constexpr auto wmPaint = os::WM_PAINT;
constexpr auto wmApp = os::WM_APP;
constexpr auto mbIconWarning = os::MB_ICONWARNING;
constexpr auto mbIconInformation = os::MB_ICONINFORMATION;
constexpr auto dmOutBuffer = os::DM_OUT_BUFFER;
constexpr auto dmInBuffer = os::DM_IN_BUFFER;
constexpr auto dmInPrompt = os::DM_IN_PROMPT;
constexpr auto fromAddress = os::GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS;
constexpr auto gaRoot = os::GA_ROOT;
constexpr auto loadWithAlteredSearchPath = os::LOAD_WITH_ALTERED_SEARCH_PATH;
constexpr auto loadLibrarySearchSystem32 = os::LOAD_LIBRARY_SEARCH_SYSTEM32;
constexpr auto errorInvalidParameter = os::ERROR_INVALID_PARAMETER;
} // namespace seam

#include <windows.h>

#include <commctrl.h>
#include <cstddef>
#include <winspool.h>

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");
static_assert(sizeof(os::PRINTER_INFO_2W) == sizeof(PRINTER_INFO_2W), "PRINTER_INFO_2W");
static_assert(offsetof(os::PRINTER_INFO_2W, pDriverName) == offsetof(PRINTER_INFO_2W, pDriverName),
              "PRINTER_INFO_2W");
static_assert(offsetof(os::PRINTER_INFO_2W, AveragePPM) == offsetof(PRINTER_INFO_2W, AveragePPM),
              "PRINTER_INFO_2W");
static_assert(sizeof(os::DOCINFOW) == sizeof(DOCINFOW), "DOCINFOW");
static_assert(offsetof(os::DOCINFOW, fwType) == offsetof(DOCINFOW, fwType), "DOCINFOW");
static_assert(sizeof(os::LOGFONTW) == sizeof(LOGFONTW), "LOGFONTW");
static_assert(offsetof(os::LOGFONTW, lfCharSet) == offsetof(LOGFONTW, lfCharSet), "LOGFONTW");
static_assert(seam::pbmSetRange == PBM_SETRANGE && seam::pbmSetPos == PBM_SETPOS, "progress bar");
static_assert(seam::wmInitDialog == WM_INITDIALOG && seam::wmCommand == WM_COMMAND &&
                  seam::wmTimer == WM_TIMER && seam::wmApp == WM_APP && seam::wmPaint == WM_PAINT,
              "messages");
static_assert(seam::mbIconWarning == MB_ICONWARNING &&
                  seam::mbIconInformation == MB_ICONINFORMATION,
              "message box icons");
static_assert(seam::dmOutBuffer == DM_OUT_BUFFER && seam::dmInBuffer == DM_IN_BUFFER &&
                  seam::dmInPrompt == DM_IN_PROMPT,
              "device mode flags");
static_assert(seam::fromAddress == GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, "module flags");
static_assert(seam::gaRoot == GA_ROOT, "GetAncestor");
static_assert(seam::loadWithAlteredSearchPath == LOAD_WITH_ALTERED_SEARCH_PATH &&
                  seam::loadLibrarySearchSystem32 == LOAD_LIBRARY_SEARCH_SYSTEM32 &&
                  seam::errorInvalidParameter == ERROR_INVALID_PARAMETER,
              "LoadLibraryExW");

const wchar_t* w(const char16_t* s) {
    return reinterpret_cast<const wchar_t*>(s);
}
wchar_t* w(char16_t* s) {
    return reinterpret_cast<wchar_t*>(s);
}
::HWND h(os::HWND v) {
    return reinterpret_cast<::HWND>(v);
}
os::HWND h(::HWND v) {
    return reinterpret_cast<os::HWND>(v);
}
::HDC h(os::HDC v) {
    return reinterpret_cast<::HDC>(v);
}
::HANDLE h(os::HANDLE v) {
    return reinterpret_cast<::HANDLE>(v);
}
::HKEY h(os::HKEY v) {
    return reinterpret_cast<::HKEY>(static_cast<uintptr_t>(v));
}

} // namespace

namespace os {

BOOL EnumPrintersW(DWORD flags, const char16_t* name, DWORD level, BYTE* buffer, DWORD bufferSize,
                   DWORD* needed, DWORD* returned) {
    return ::EnumPrintersW(flags, const_cast<wchar_t*>(w(name)), level, buffer, bufferSize,
                           reinterpret_cast<LPDWORD>(needed), reinterpret_cast<LPDWORD>(returned));
}

BOOL OpenPrinterW(const char16_t* printerName, HANDLE* printer, void* defaults) {
    return ::OpenPrinterW(const_cast<wchar_t*>(w(printerName)),
                          reinterpret_cast<::HANDLE*>(printer),
                          static_cast<PRINTER_DEFAULTSW*>(defaults));
}

BOOL ClosePrinter(HANDLE printer) {
    return ::ClosePrinter(h(printer));
}

LONG DocumentPropertiesW(HWND owner, HANDLE printer, const char16_t* deviceName, void* devModeOut,
                         const void* devModeIn, DWORD mode) {
    return ::DocumentPropertiesW(h(owner), h(printer), const_cast<wchar_t*>(w(deviceName)),
                                 static_cast<DEVMODEW*>(devModeOut),
                                 static_cast<DEVMODEW*>(const_cast<void*>(devModeIn)), mode);
}

HDC CreateDCW(const char16_t* driver, const char16_t* device, const char16_t* port,
              const void* devMode) {
    return reinterpret_cast<HDC>(
        ::CreateDCW(w(driver), w(device), w(port), static_cast<const DEVMODEW*>(devMode)));
}

BOOL DeleteDC(HDC dc) {
    return ::DeleteDC(h(dc));
}

int ExtEscape(HDC dc, int escape, int inputSize, const void* input, int outputSize, void* output) {
    return ::ExtEscape(h(dc), escape, inputSize, static_cast<LPCSTR>(input), outputSize,
                       static_cast<LPSTR>(output));
}

int StartDocW(HDC dc, const DOCINFOW* docInfo) {
    return ::StartDocW(h(dc), reinterpret_cast<const ::DOCINFOW*>(docInfo));
}

int StartPage(HDC dc) {
    return ::StartPage(h(dc));
}
int EndPage(HDC dc) {
    return ::EndPage(h(dc));
}
int EndDoc(HDC dc) {
    return ::EndDoc(h(dc));
}
int AbortDoc(HDC dc) {
    return ::AbortDoc(h(dc));
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int length) {
    return ::TextOutA(h(dc), x, y, text, length);
}

int EnumFontFamiliesExW(HDC dc, LOGFONTW* font, FONTENUMPROCW proc, LPARAM data, DWORD flags) {
    // The two callback types differ only in the declared structure types, which have one layout.
    return ::EnumFontFamiliesExW(h(dc), reinterpret_cast<::LOGFONTW*>(font),
                                 reinterpret_cast<::FONTENUMPROCW>(reinterpret_cast<void*>(proc)),
                                 data, flags);
}

int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, UINT type) {
    return ::MessageBoxW(h(owner), w(text), w(caption), type);
}

HWND CreateDialogParamW(HINSTANCE instance, const char16_t* templateName, HWND owner, DLGPROC proc,
                        LPARAM initParam) {
    return h(::CreateDialogParamW(
        reinterpret_cast<::HINSTANCE>(instance), w(templateName), h(owner),
        reinterpret_cast<::DLGPROC>(reinterpret_cast<void*>(proc)), initParam));
}

BOOL DestroyWindow(HWND window) {
    return ::DestroyWindow(h(window));
}
BOOL ShowWindow(HWND window, int command) {
    return ::ShowWindow(h(window), command);
}
BOOL EnableWindow(HWND window, BOOL enable) {
    return ::EnableWindow(h(window), enable);
}
HWND GetAncestor(HWND window, UINT flags) {
    return h(::GetAncestor(h(window), flags));
}
HWND GetDlgItem(HWND dialog, int id) {
    return h(::GetDlgItem(h(dialog), id));
}

BOOL SetDlgItemTextW(HWND dialog, int id, const char16_t* text) {
    return ::SetDlgItemTextW(h(dialog), id, w(text));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    return ::SetDlgItemInt(h(dialog), id, value, isSigned);
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(h(window), message, wParam, lParam);
}

void InitCommonControls() {
    ::InitCommonControls();
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(h(window), message, wParam, lParam);
}
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC callback) {
    // The two callback types differ only in the handle type.
    return ::SetTimer(h(window), id, elapse,
                      reinterpret_cast<::TIMERPROC>(reinterpret_cast<void*>(callback)));
}
BOOL KillTimer(HWND window, UINT_PTR id) {
    return ::KillTimer(h(window), id);
}
BOOL UpdateWindow(HWND window) {
    return ::UpdateWindow(h(window));
}
DWORD GetTickCount() {
    return ::GetTickCount();
}

BOOL GetModuleHandleExW(DWORD flags, const char16_t* moduleName, HINSTANCE* module) {
    return ::GetModuleHandleExW(flags, w(moduleName), reinterpret_cast<::HMODULE*>(module));
}
BOOL FreeLibrary(HINSTANCE module) {
    return ::FreeLibrary(reinterpret_cast<::HMODULE>(module));
}
HINSTANCE LoadLibraryExW(const char16_t* fileName, void* reserved, DWORD flags) {
    return reinterpret_cast<HINSTANCE>(::LoadLibraryExW(w(fileName), reserved, flags));
}
UINT GetSystemDirectoryW(char16_t* buffer, UINT size) {
    return ::GetSystemDirectoryW(w(buffer), size);
}
DWORD GetLastError() {
    return ::GetLastError();
}

LONG RegOpenKeyW(HKEY parent, const char16_t* subKey, HKEY* result) {
    return ::RegOpenKeyW(h(parent), w(subKey), reinterpret_cast<::HKEY*>(result));
}

LONG RegCreateKeyExW(HKEY parent, const char16_t* subKey, DWORD reserved, char16_t* keyClass,
                     DWORD options, DWORD access, void* security, HKEY* result,
                     DWORD* disposition) {
    return ::RegCreateKeyExW(h(parent), w(subKey), reserved, w(keyClass), options, access,
                             static_cast<SECURITY_ATTRIBUTES*>(security),
                             reinterpret_cast<::HKEY*>(result),
                             reinterpret_cast<LPDWORD>(disposition));
}

LONG RegQueryValueExW(HKEY key, const char16_t* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    return ::RegQueryValueExW(h(key), w(valueName), reinterpret_cast<LPDWORD>(reserved),
                              reinterpret_cast<LPDWORD>(type), data,
                              reinterpret_cast<LPDWORD>(dataSize));
}

LONG RegSetValueExW(HKEY key, const char16_t* valueName, DWORD reserved, DWORD type,
                    const BYTE* data, DWORD dataSize) {
    return ::RegSetValueExW(h(key), w(valueName), reserved, type, data, dataSize);
}

LONG RegDeleteValueW(HKEY key, const char16_t* valueName) {
    return ::RegDeleteValueW(h(key), w(valueName));
}

} // namespace os
