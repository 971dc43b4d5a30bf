// What screen readers are told about the simulated machine's controls: the library's own texts
// for a control, and otherwise the answers of Wine's standard accessible objects.
#include "platform/sim/internal.h"
#include "platform/sim/world.h"

namespace sim {

namespace {

constexpr uint32_t kNoPrefix = 0x80; // SS_NOPREFIX

std::u16string withoutPrefix(const Control& c, const std::u16string& text) {
    if (c.is(u"Static") && (c.style & kNoPrefix)) {
        return text;
    }
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i; // "&&" stands for one "&"
        }
        out += text[i];
    }
    return out;
}

std::u16string standardName(const Window& w, const Control& c) {
    if (c.is(u"ComboBox")) {
        return c.selection >= 0 && static_cast<size_t>(c.selection) < c.items.size()
                   ? c.items[static_cast<size_t>(c.selection)]
                   : std::u16string();
    }
    if (!c.is(u"Edit")) {
        return withoutPrefix(c, c.text);
    }
    // Wine looks back past buttons, group boxes and other fields to the nearest text.
    size_t at = 0;
    while (at < w.controls.size() && w.controls[at].handle != c.handle) {
        ++at;
    }
    while (at-- > 0) {
        const Control& before = w.controls[at];
        if (before.is(u"Static") && !before.text.empty()) {
            return withoutPrefix(before, before.text);
        }
    }
    return {};
}

} // namespace

Heard heard(os::HWND control) {
    Window* owner = nullptr;
    const Control* c = controlByHandle(control, &owner);
    if (!c) {
        return {};
    }
    Heard h;
    h.name = c->accName ? *c->accName : standardName(*owner, *c);
    h.description = c->accDescription ? *c->accDescription : std::u16string();
    return h;
}

} // namespace sim

namespace os {

HRESULT SetHwndPropStr(HWND hwnd, DWORD idObject, DWORD idChild, MSAAPROPID idProp,
                       const char16_t* str) {
    sim::systemCall("SetHwndPropStr");
    sim::Control* c = sim::controlByHandle(hwnd, nullptr);
    if (!c || idObject != OBJID_CLIENT || idChild != CHILDID_SELF) {
        return E_INVALIDARG;
    }
    std::optional<std::u16string>& property =
        idProp == MSAAPROPID::Name ? c->accName : c->accDescription;
    if (str) {
        property = str;
    } else {
        property.reset();
    }
    return S_OK;
}

} // namespace os
