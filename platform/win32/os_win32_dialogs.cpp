// The seam on Windows for modal dialogs, their controls, movable global memory and the common
// dialogs. The portable structures are checked field by field against the SDK's, on both
// architectures: the 32-bit SDK packs the common-dialog structures to single bytes.
#include "platform/os.h"

namespace seam {
constexpr auto wmClose = os::WM_CLOSE;
constexpr auto swHide = os::SW_HIDE;
constexpr auto swShow = os::SW_SHOW;
constexpr auto bmGetCheck = os::BM_GETCHECK;
constexpr auto bmSetCheck = os::BM_SETCHECK;
constexpr auto bstChecked = os::BST_CHECKED;
constexpr auto bnClicked = os::BN_CLICKED;
constexpr auto emSetSel = os::EM_SETSEL;
constexpr auto emLimitText = os::EM_LIMITTEXT;
constexpr auto emSetReadOnly = os::EM_SETREADONLY;
constexpr auto enSetFocus = os::EN_SETFOCUS;
constexpr auto enKillFocus = os::EN_KILLFOCUS;
constexpr auto enChange = os::EN_CHANGE;
constexpr auto enUpdate = os::EN_UPDATE;
constexpr auto cbAddString = os::CB_ADDSTRING;
constexpr auto cbGetCount = os::CB_GETCOUNT;
constexpr auto cbGetCurSel = os::CB_GETCURSEL;
constexpr auto cbResetContent = os::CB_RESETCONTENT;
constexpr auto cbSetCurSel = os::CB_SETCURSEL;
constexpr auto cbErr = os::CB_ERR;
constexpr auto cbnSelChange = os::CBN_SELCHANGE;
constexpr auto cbnSetFocus = os::CBN_SETFOCUS;
constexpr auto cbnKillFocus = os::CBN_KILLFOCUS;
constexpr auto gmemMoveable = os::GMEM_MOVEABLE;
constexpr auto gmemZeroInit = os::GMEM_ZEROINIT;
constexpr auto pdPrintSetup = os::PD_PRINTSETUP;
constexpr auto pdEnablePrintHook = os::PD_ENABLEPRINTHOOK;
constexpr auto pdEnableSetupHook = os::PD_ENABLESETUPHOOK;
constexpr auto pdEnablePrintTemplate = os::PD_ENABLEPRINTTEMPLATE;
constexpr auto pdEnableSetupTemplate = os::PD_ENABLESETUPTEMPLATE;
constexpr auto pdNoNetworkButton = os::PD_NONETWORKBUTTON;
constexpr auto psdEnableHook = os::PSD_ENABLEPAGESETUPHOOK;
constexpr auto psdEnableTemplate = os::PSD_ENABLEPAGESETUPTEMPLATE;
} // namespace seam

#include <windows.h>

#include <commdlg.h>
#include <cstddef>

namespace {

static_assert(seam::wmClose == WM_CLOSE && seam::swHide == SW_HIDE && seam::swShow == SW_SHOW,
              "window messages");
static_assert(seam::bmGetCheck == BM_GETCHECK && seam::bmSetCheck == BM_SETCHECK &&
                  seam::bstChecked == BST_CHECKED && seam::bnClicked == BN_CLICKED,
              "buttons");
static_assert(seam::emSetSel == EM_SETSEL && seam::emLimitText == EM_LIMITTEXT &&
                  seam::emSetReadOnly == EM_SETREADONLY,
              "edit messages");
static_assert(seam::enSetFocus == EN_SETFOCUS && seam::enKillFocus == EN_KILLFOCUS &&
                  seam::enChange == EN_CHANGE && seam::enUpdate == EN_UPDATE,
              "edit notifications");
static_assert(seam::cbAddString == CB_ADDSTRING && seam::cbGetCount == CB_GETCOUNT &&
                  seam::cbGetCurSel == CB_GETCURSEL && seam::cbResetContent == CB_RESETCONTENT &&
                  seam::cbSetCurSel == CB_SETCURSEL && seam::cbErr == CB_ERR &&
                  seam::cbnSelChange == CBN_SELCHANGE && seam::cbnSetFocus == CBN_SETFOCUS &&
                  seam::cbnKillFocus == CBN_KILLFOCUS,
              "combo boxes");
static_assert(seam::gmemMoveable == GMEM_MOVEABLE && seam::gmemZeroInit == GMEM_ZEROINIT,
              "global memory");
static_assert(seam::pdPrintSetup == PD_PRINTSETUP &&
                  seam::pdEnablePrintHook == PD_ENABLEPRINTHOOK &&
                  seam::pdEnableSetupHook == PD_ENABLESETUPHOOK &&
                  seam::pdEnablePrintTemplate == PD_ENABLEPRINTTEMPLATE &&
                  seam::pdEnableSetupTemplate == PD_ENABLESETUPTEMPLATE &&
                  seam::pdNoNetworkButton == PD_NONETWORKBUTTON,
              "print dialog flags");
static_assert(seam::psdEnableHook == PSD_ENABLEPAGESETUPHOOK &&
                  seam::psdEnableTemplate == PSD_ENABLEPAGESETUPTEMPLATE,
              "page setup flags");

#define SAME_FIELD(portable, sdk, field)                                                           \
    static_assert(offsetof(os::portable, field) == offsetof(sdk, field), #sdk "." #field)

static_assert(sizeof(os::PRINTDLGW) == sizeof(::PRINTDLGW), "PRINTDLGW");
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, hwndOwner);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, hDevMode);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, hDevNames);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, hDC);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, Flags);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, nFromPage);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, nMaxPage);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, nCopies);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, hInstance);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, lCustData);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, lpfnPrintHook);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, lpfnSetupHook);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, lpPrintTemplateName);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, lpSetupTemplateName);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, hPrintTemplate);
SAME_FIELD(PRINTDLGW, ::PRINTDLGW, hSetupTemplate);

static_assert(sizeof(os::PAGESETUPDLGW) == sizeof(::PAGESETUPDLGW), "PAGESETUPDLGW");
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, hwndOwner);
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, hDevMode);
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, hDevNames);
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, Flags);
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, ptPaperSize);
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, rtMinMargin);
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, rtMargin);
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, hInstance);
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, lCustData);
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, lpfnPageSetupHook);
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, lpfnPagePaintHook);
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, lpPageSetupTemplateName);
SAME_FIELD(PAGESETUPDLGW, ::PAGESETUPDLGW, hPageSetupTemplate);

static_assert(sizeof(os::DEVNAMES) == sizeof(::DEVNAMES), "DEVNAMES");
SAME_FIELD(DEVNAMES, ::DEVNAMES, wDeviceOffset);
SAME_FIELD(DEVNAMES, ::DEVNAMES, wOutputOffset);
SAME_FIELD(DEVNAMES, ::DEVNAMES, wDefault);

#undef SAME_FIELD

const wchar_t* w(const char16_t* s) {
    return reinterpret_cast<const wchar_t*>(s);
}
::HWND h(os::HWND v) {
    return reinterpret_cast<::HWND>(v);
}
os::HWND h(::HWND v) {
    return reinterpret_cast<os::HWND>(v);
}
::HGLOBAL g(os::HGLOBAL v) {
    return reinterpret_cast<::HGLOBAL>(v);
}
os::HGLOBAL g(::HGLOBAL v) {
    return reinterpret_cast<os::HGLOBAL>(v);
}

} // namespace

namespace os {

INT_PTR DialogBoxParamW(HINSTANCE instance, const char16_t* templateName, HWND owner, DLGPROC proc,
                        LPARAM initParam) {
    return ::DialogBoxParamW(reinterpret_cast<::HINSTANCE>(instance), w(templateName), h(owner),
                             reinterpret_cast<::DLGPROC>(reinterpret_cast<void*>(proc)), initParam);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    return ::EndDialog(h(dialog), result);
}

BOOL SetWindowTextW(HWND window, const char16_t* text) {
    return ::SetWindowTextW(h(window), w(text));
}

UINT GetDlgItemTextW(HWND dialog, int id, char16_t* text, int maxCount) {
    return ::GetDlgItemTextW(h(dialog), id, reinterpret_cast<wchar_t*>(text), maxCount);
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    ::BOOL ok = FALSE;
    const UINT value = ::GetDlgItemInt(h(dialog), id, &ok, isSigned);
    if (translated) {
        *translated = ok;
    }
    return value;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    return ::CheckDlgButton(h(dialog), id, check);
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    return ::IsDlgButtonChecked(h(dialog), id);
}

HWND SetFocus(HWND window) {
    return h(::SetFocus(h(window)));
}

HWND GetFocus() {
    return h(::GetFocus());
}

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
    return g(::GlobalAlloc(flags, bytes));
}
void* GlobalLock(HGLOBAL memory) {
    return ::GlobalLock(g(memory));
}
BOOL GlobalUnlock(HGLOBAL memory) {
    return ::GlobalUnlock(g(memory));
}
HGLOBAL GlobalFree(HGLOBAL memory) {
    return g(::GlobalFree(g(memory)));
}

BOOL PrintDlgW(PRINTDLGW* printDlg) {
    return ::PrintDlgW(reinterpret_cast<::PRINTDLGW*>(printDlg));
}

BOOL PageSetupDlgW(PAGESETUPDLGW* pageSetup) {
    return ::PageSetupDlgW(reinterpret_cast<::PAGESETUPDLGW*>(pageSetup));
}

} // namespace os
