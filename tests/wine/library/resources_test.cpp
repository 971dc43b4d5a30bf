// The resources compiled into Dotpress.dll, read back the way Windows reads them: every one in
// Spanish (Spain, modern sort), the progress dialog exactly as the library's code and users
// expect it, and the version block with its accented description intact.
#include "dotpress/resources/resource_ids.h"
#include "platform/sim/dialog_template.h"
#include "tests/wine/library/dotpress_dll.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <string>
#include <vector>

namespace {

using DialogControl = sim::DialogItem;
using DialogTemplate = sim::DialogTemplate;

constexpr WORD kSpanishModern = MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN);
static_assert(kSpanishModern == 3082, "Spanish (Spain, modern sort)");
// RT_DIALOG, whose macro is the 8-bit form in a build without UNICODE.
const LPCWSTR kDialogType = MAKEINTRESOURCEW(5);

struct ResourceEntry {
    std::wstring type;
    std::wstring name;
    WORD language;
};

std::wstring resourceName(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) {
        return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name));
    }
    return name;
}

BOOL CALLBACK onLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR param) {
    auto* entries = reinterpret_cast<std::vector<ResourceEntry>*>(param);
    entries->push_back({resourceName(type), resourceName(name), language});
    return TRUE;
}

BOOL CALLBACK onName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    EnumResourceLanguagesW(module, type, name, onLanguage, param);
    return TRUE;
}

BOOL CALLBACK onType(HMODULE module, LPWSTR type, LONG_PTR param) {
    EnumResourceNamesW(module, type, onName, param);
    return TRUE;
}

std::vector<ResourceEntry> allResources(HMODULE module) {
    std::vector<ResourceEntry> entries;
    EnumResourceTypesW(module, onType, reinterpret_cast<LONG_PTR>(&entries));
    return entries;
}

// The templates' UTF-16 text as this platform's wide strings.
std::wstring wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

bool sameText(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

class Resources : public ::testing::Test {
protected:
    dotpresstest::LoadedDll dll;

    void SetUp() override { ASSERT_NE(dll.get(), nullptr) << "LoadLibraryW: " << GetLastError(); }

    // The template of a dialog in Spanish, or false when there is none in that language.
    bool loadDialog(WORD id, DialogTemplate& out) {
        HRSRC info = FindResourceExW(dll.get(), kDialogType, MAKEINTRESOURCEW(id), kSpanishModern);
        if (!info) {
            return false;
        }
        const void* data = LockResource(LoadResource(dll.get(), info));
        return data && sim::parseDialogTemplate(data, SizeofResource(dll.get(), info), out);
    }
};

TEST_F(Resources, EveryResourceIsSpanishOfSpainWithModernSort) {
    std::vector<ResourceEntry> entries = allResources(dll.get());
    auto has = [&](const std::wstring& type, const std::wstring& name) {
        return std::any_of(entries.begin(), entries.end(), [&](const ResourceEntry& r) {
            return r.type == type && r.name == name;
        });
    };
    EXPECT_TRUE(has(L"#5", L"#103")) << "dialog 103";
    EXPECT_TRUE(has(L"#16", L"#1")) << "version block";
    for (const ResourceEntry& r : entries) {
        EXPECT_EQ(r.language, kSpanishModern) << "type " << r.type << ", name " << r.name;
    }
}

TEST_F(Resources, ProgressDialogFrame) {
    DialogTemplate dialog;
    ASSERT_TRUE(loadDialog(IDD_PROGRESS, dialog));
    const DWORD frame = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    EXPECT_EQ(dialog.style & frame, frame);
    EXPECT_EQ(dialog.style & (WS_CHILD | WS_DISABLED | DS_CONTROL), 0u);
    EXPECT_EQ(dialog.style & DS_SETFONT, DWORD(DS_SETFONT));
    EXPECT_EQ(dialog.cx, 186);
    EXPECT_EQ(dialog.cy, 108);
    EXPECT_EQ(wide(dialog.title), L"Imprimiendo");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(wide(dialog.typeface), L"MS Sans Serif");
    EXPECT_EQ(wide(dialog.menu), L"");
    EXPECT_EQ(wide(dialog.className), L"");
}

struct ExpectedControl {
    int32_t id;
    const wchar_t* className;
    const wchar_t* text;
    int16_t x, y, cx, cy;
    DWORD typeMask; // the bits that select the kind of control within its class
    DWORD type;     // their value
    DWORD required; // further bits that must be set
};

constexpr DWORD kButtonType = 0x0F; // BS_TYPEMASK
constexpr DWORD kStaticType = SS_TYPEMASK;

// The controls of dialog 103 in their order, as the progress window's table gives them.
const ExpectedControl kProgressControls[] = {
    {-1, L"Button", L"", 7, 5, 172, 35, kButtonType, BS_GROUPBOX, 0},
    {-1, L"Static", L"Impresora:", 13, 12, 44, 11, kStaticType, SS_LEFT, SS_CENTERIMAGE},
    {IDC_PROGRESS_PRINTER, L"Static", L"", 56, 12, 117, 11, kStaticType, SS_CENTER, SS_CENTERIMAGE},
    {-1, L"Static", L"Documento:", 13, 26, 44, 11, kStaticType, SS_LEFT, SS_CENTERIMAGE},
    {IDC_PROGRESS_DOCUMENT, L"Static", L"", 56, 26, 117, 11, kStaticType, SS_CENTER,
     SS_CENTERIMAGE},
    {-1, L"Button", L"", 7, 42, 172, 40, kButtonType, BS_GROUPBOX, 0},
    {-1, L"Static", L"Imprimiendo p\u00e1gina:", 13, 50, 66, 11, kStaticType, SS_LEFT,
     SS_CENTERIMAGE},
    {IDC_PROGRESS_PAGE, L"Static", L"", 81, 50, 20, 11, kStaticType, SS_LEFT, SS_CENTERIMAGE},
    {-1, L"Static", L"Copia:", 115, 50, 28, 11, kStaticType, SS_LEFT, SS_CENTERIMAGE},
    {IDC_PROGRESS_COPY, L"Static", L"", 143, 50, 20, 11, kStaticType, SS_LEFT, SS_CENTERIMAGE},
    {IDC_PROGRESS_BAR, L"msctls_progress32", L"", 11, 63, 163, 14, PBS_VERTICAL | PBS_MARQUEE, 0,
     PBS_SMOOTH | WS_BORDER},
    {IDC_PROGRESS_CANCEL, L"Button", L"Cancelar", 67, 87, 50, 14, kButtonType, BS_DEFPUSHBUTTON, 0},
};

TEST_F(Resources, ProgressDialogControls) {
    DialogTemplate dialog;
    ASSERT_TRUE(loadDialog(IDD_PROGRESS, dialog));
    ASSERT_EQ(dialog.items.size(), std::size(kProgressControls));
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const DialogControl& got = dialog.items[i];
        const ExpectedControl& want = kProgressControls[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(want.id));
        EXPECT_EQ(got.id, want.id);
        EXPECT_TRUE(sameText(wide(got.className), want.className));
        EXPECT_EQ(wide(got.text), want.text);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.style & want.typeMask, want.type);
        EXPECT_EQ(got.style & want.required, want.required);
        EXPECT_EQ(got.style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), DWORD(WS_CHILD | WS_VISIBLE));
    }
}

INT_PTR CALLBACK quietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST_F(Resources, ProgressDialogCanBeCreatedFromTheTemplate) {
    // The system builds the window: every control exists with its class, the bar included (its
    // class is registered by the common controls, which the library initialises when loaded).
    HWND dialog =
        CreateDialogParamW(dll.get(), MAKEINTRESOURCEW(IDD_PROGRESS), nullptr, quietDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << "CreateDialogParamW: " << GetLastError();
    for (const ExpectedControl& want : kProgressControls) {
        if (want.id == -1) {
            continue;
        }
        SCOPED_TRACE(want.id);
        HWND control = GetDlgItem(dialog, want.id);
        EXPECT_NE(control, nullptr);
        if (!control) {
            continue;
        }
        wchar_t className[64] = {};
        GetClassNameW(control, className, 64);
        EXPECT_TRUE(sameText(className, want.className));
    }
    wchar_t title[64] = {};
    GetWindowTextW(dialog, title, 64);
    EXPECT_STREQ(title, L"Imprimiendo");
    DestroyWindow(dialog);
}

struct Translation {
    WORD language;
    WORD codePage;
};

// The first language and code page that the version block declares, or null.
const Translation* firstTranslation(const std::vector<BYTE>& block) {
    void* value = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &size) ||
        size < sizeof(Translation)) {
        return nullptr;
    }
    return static_cast<const Translation*>(value);
}

// A string of the version block, from the string table that the first translation names.
std::wstring versionString(const std::vector<BYTE>& block, const wchar_t* name) {
    const Translation* translation = firstTranslation(block);
    if (!translation) {
        return L"(no translation)";
    }
    wchar_t path[96];
    swprintf(path, 96, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
             translation->codePage, name);
    void* value = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(block.data(), path, &value, &size) || !value) {
        return L"(missing)";
    }
    return static_cast<const wchar_t*>(value);
}

TEST_F(Resources, VersionBlock) {
    const std::wstring path = dotpresstest::dllPath();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << "GetFileVersionInfoSizeW: " << GetLastError();
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    ASSERT_GE(fixedSize, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(1, 4)));
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD(MAKELONG(0, 0)));
    EXPECT_EQ(fixed->dwProductVersionMS, DWORD(MAKELONG(0, 1)));
    EXPECT_EQ(fixed->dwProductVersionLS, DWORD(MAKELONG(1, 0)));
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_DLL));

    const Translation* translation = firstTranslation(block);
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation->language, kSpanishModern);

    // Looked up through the translation, so a string table under another name fails here.
    const struct {
        const wchar_t* name;
        const wchar_t* value;
    } kStrings[] = {
        {L"FileDescription", L"M\u00f3dulo de impresi\u00f3n versi\u00f3n 4.1"},
        {L"FileVersion", L"4, 1, 0, 0"},
        {L"ProductVersion", L"1, 0, 0, 1"},
    };
    for (const auto& s : kStrings) {
        EXPECT_EQ(versionString(block, s.name), s.value) << s.name;
    }
}

} // namespace
