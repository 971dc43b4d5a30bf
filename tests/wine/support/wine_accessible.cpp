#include "wine_accessible.h"

#include "wine_keyboard.h"

#include <oleacc.h>

#include <memory>
#include <utility>

namespace winetest {

namespace {

std::wstring take(BSTR text) {
    std::wstring out = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return out;
}

} // namespace

Heard hear(HWND control) {
    Heard heard;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        !object) {
        return heard;
    }
    heard.object = true;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (SUCCEEDED(object->get_accName(self, &text))) {
        heard.name = take(text);
    }
    text = nullptr;
    if (SUCCEEDED(object->get_accDescription(self, &text))) {
        heard.description = take(text);
    }
    text = nullptr;
    if (SUCCEEDED(object->get_accValue(self, &text))) {
        heard.value = take(text);
    }
    VARIANT role;
    VariantInit(&role);
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) {
        heard.role = role.lVal;
    }
    VariantClear(&role);
    object->Release();
    return heard;
}

std::wstring roleText(long role) {
    switch (role) {
    case ROLE_SYSTEM_TEXT:
        return L"edit";
    case ROLE_SYSTEM_COMBOBOX:
        return L"combo box";
    case ROLE_SYSTEM_PUSHBUTTON:
        return L"push button";
    case ROLE_SYSTEM_CHECKBUTTON:
        return L"check box";
    case ROLE_SYSTEM_RADIOBUTTON:
        return L"radio button";
    case ROLE_SYSTEM_PROGRESSBAR:
        return L"progress bar";
    case ROLE_SYSTEM_CLIENT:
        return L"client";
    default:
        return std::to_wstring(role);
    }
}

DialogDriver::Step chain(std::vector<DialogDriver::Step> parts) {
    auto shared = std::make_shared<std::vector<DialogDriver::Step>>(std::move(parts));
    auto next = std::make_shared<size_t>(0);
    return [shared, next](HWND dialog) {
        if (*next < shared->size() && (*shared)[*next](dialog)) {
            ++*next;
        }
        return *next == shared->size();
    };
}

DialogDriver::Step walkTabOrder(std::vector<Stop>* stops, size_t limit) {
    auto first = std::make_shared<HWND>(nullptr);
    return [stops, limit, first](HWND dialog) {
        const HWND focus = focusedIn(dialog);
        if (*first == focus || stops->size() >= limit) {
            return true;
        }
        if (!*first) {
            *first = focus;
        }
        stops->push_back({GetDlgCtrlID(focus), hear(focus)});
        pressKey(dialog, VK_TAB);
        return false;
    };
}

} // namespace winetest
