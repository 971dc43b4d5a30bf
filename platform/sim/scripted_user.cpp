// The scripted user of the simulated machine's dialogs: the steps a test writes, and what each
// key and click does in a dialog as the dialog manager handles it (tab order, radio groups,
// mnemonics, the default button), with the notifications a real control sends.
#include "platform/sim/internal.h"
#include "platform/sim/world.h"

#include <algorithm>

namespace sim {

namespace user {

namespace {
UserStep step(UserStep::Kind kind, int id = 0, int index = 0, std::u16string text = {}) {
    UserStep s;
    s.kind = kind;
    s.id = id;
    s.index = index;
    s.text = std::move(text);
    return s;
}
} // namespace

UserStep choose(int id, int index) {
    return step(UserStep::Kind::Choose, id, index);
}
UserStep type(int id, const std::u16string& text) {
    return step(UserStep::Kind::Type, id, 0, text);
}
UserStep tick(int id) {
    return step(UserStep::Kind::Tick, id);
}
UserStep press(int id) {
    return step(UserStep::Kind::Press, id);
}
UserStep focus(int id) {
    return step(UserStep::Kind::Focus, id);
}
UserStep tab(int direction) {
    return step(UserStep::Kind::Tab, 0, direction);
}
UserStep arrow(int direction) {
    return step(UserStep::Kind::Arrow, 0, direction);
}
UserStep space() {
    return step(UserStep::Kind::Space);
}
UserStep mnemonic(char16_t letter) {
    return step(UserStep::Kind::Mnemonic, 0, 0, std::u16string(1, letter));
}
UserStep keys(const std::u16string& text) {
    return step(UserStep::Kind::Keys, 0, 0, text);
}
UserStep enter() {
    return step(UserStep::Kind::Enter);
}
UserStep escape() {
    return step(UserStep::Kind::Escape);
}
UserStep closeBox() {
    return step(UserStep::Kind::CloseBox);
}
UserStep inspect(std::function<void(os::HWND dialog)> look) {
    UserStep s = step(UserStep::Kind::Inspect);
    s.inspect = std::move(look);
    return s;
}

} // namespace user

namespace {

constexpr uint32_t kNoPrefix = 0x80; // SS_NOPREFIX

void refuse() {
    ++world().refusedSteps;
}

char16_t fold(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - u'a' + u'A');
    }
    // The accented capitals and small letters of Latin-1 differ by 0x20 as well.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return static_cast<char16_t>(c - 0x20);
    }
    return c;
}

// The letter after a single '&' in a control's text, or 0.
char16_t mnemonicOf(const Control& c) {
    if (c.is(u"Static") && (c.style & kNoPrefix)) {
        return 0;
    }
    for (size_t i = 0; i + 1 < c.text.size(); ++i) {
        if (c.text[i] == u'&') {
            if (c.text[i + 1] == u'&') {
                ++i;
                continue;
            }
            return fold(c.text[i + 1]);
        }
    }
    return 0;
}

bool isLabel(const Control& c) {
    return c.is(u"Static") || (c.is(u"Button") && c.buttonKind() == 7);
}

void click(os::HWND dialog, Control& c) {
    Window* w = findWindow(dialog);
    const int id = c.id;
    if (c.buttonKind() == 3) { // BS_AUTOCHECKBOX
        c.check = c.check ? 0 : 1;
    } else if (c.buttonKind() == 6) { // BS_AUTO3STATE
        c.check = (c.check + 1) % 3;
    } else if (c.buttonKind() == 9) { // BS_AUTORADIOBUTTON
        for (size_t i : radioGroup(*w, indexOf(*w, c.handle))) {
            w->controls[i].check = 0;
        }
        c.check = 1;
    }
    notify(dialog, id, os::BN_CLICKED);
}

void command(os::HWND dialog, int id) {
    Control* c = findControl(dialog, id);
    dispatch(dialog, os::WM_COMMAND, os::MAKEWPARAM(static_cast<os::WORD>(id), os::BN_CLICKED),
             reinterpret_cast<os::LPARAM>(c ? c->handle : nullptr));
}

// Keys typed into an edit: each one that the edit takes changes the text and notifies.
void typeInto(os::HWND dialog, int id, const std::u16string& text, bool replaceAll) {
    Control* c = findControl(dialog, id);
    if (!c || !c->is(u"Edit")) {
        refuse();
        return;
    }
    if (c->readOnly) {
        refuse();
        return;
    }
    std::u16string value = replaceAll ? std::u16string() : c->text;
    if (replaceAll && !c->text.empty()) {
        changeEditText(dialog, id, value); // the selection goes with the first key or Delete
    }
    for (char16_t ch : text) {
        c = findControl(dialog, id);
        if (!c || (c->digitsOnly() && (ch < u'0' || ch > u'9')) ||
            static_cast<int>(value.size()) >= c->textLimit) {
            continue; // the edit beeps and keeps its text
        }
        value += ch;
        changeEditText(dialog, id, value);
    }
    if ((c = findControl(dialog, id))) {
        c->selectionStart = c->selectionEnd = static_cast<int>(c->text.size()); // the caret
    }
}

} // namespace

void perform(os::HWND dialog, const UserStep& s) {
    Window* w = findWindow(dialog);
    Control* target = s.id ? findControl(dialog, s.id) : nullptr;
    Control* focused = controlByHandle(w->focus, nullptr);
    using K = UserStep::Kind;
    switch (s.kind) {
    case K::Choose:
        if (!usable(target) || !target->is(u"ComboBox") || s.index < 0 ||
            s.index >= static_cast<int>(target->items.size())) {
            refuse();
            return;
        }
        focusByKeyboard(dialog, *target);
        if ((target = findControl(dialog, s.id))) {
            target->selection = s.index;
            notify(dialog, s.id, os::CBN_SELCHANGE);
        }
        return;
    case K::Type:
        if (!usable(target)) {
            refuse();
            return;
        }
        focusByKeyboard(dialog, *target);
        typeInto(dialog, s.id, s.text, true);
        return;
    case K::Keys:
        if (!focused || !focused->is(u"Edit")) {
            refuse();
            return;
        }
        typeInto(dialog, focused->id, s.text,
                 focused->selectionStart == 0 &&
                     (focused->selectionEnd < 0 || // EM_SETSEL to -1: up to the end
                      focused->selectionEnd >= static_cast<int>(focused->text.size())) &&
                     !focused->text.empty());
        return;
    case K::Tick:
        if (!usable(target) || !(target->isCheckBox() || target->isRadio())) {
            refuse();
            return;
        }
        moveFocus(*w, target);
        if ((target = findControl(dialog, s.id))) {
            click(dialog, *target);
        }
        return;
    case K::Press:
        if (!usable(target) || !target->isPushButton()) {
            refuse();
            return;
        }
        moveFocus(*w, target);
        command(dialog, s.id);
        return;
    case K::Focus:
        if (!usable(target)) {
            refuse();
            return;
        }
        // Unlike the dialog manager's moves, SetFocus leaves an edit's selection alone: the
        // caret stays where it was, at the end of the text unless the dialog selects it.
        target->selectionStart = target->selectionEnd = static_cast<int>(target->text.size());
        moveFocus(*w, target);
        return;
    case K::Tab: {
        const auto stops = tabStops(*w);
        if (stops.empty()) {
            refuse();
            return;
        }
        const size_t at = indexOf(*w, w->focus);
        auto pos = std::find(stops.begin(), stops.end(), at);
        size_t next = 0;
        if (pos == stops.end()) {
            next = s.index < 0 ? stops.size() - 1 : 0;
        } else {
            const auto k = static_cast<size_t>(pos - stops.begin());
            next = s.index < 0 ? (k + stops.size() - 1) % stops.size() : (k + 1) % stops.size();
        }
        focusByKeyboard(dialog, w->controls[stops[next]]);
        return;
    }
    case K::Arrow: {
        if (!focused) {
            refuse();
            return;
        }
        if (focused->isRadio()) {
            const auto group = radioGroup(*w, indexOf(*w, focused->handle));
            auto pos = std::find(group.begin(), group.end(), indexOf(*w, focused->handle));
            size_t k = static_cast<size_t>(pos - group.begin());
            for (size_t tries = 0; tries < group.size(); ++tries) {
                k = s.index < 0 ? (k + group.size() - 1) % group.size() : (k + 1) % group.size();
                if (usable(&w->controls[group[k]])) {
                    break;
                }
            }
            Control& next = w->controls[group[k]];
            moveFocus(*w, &next);
            if (Control* again = controlByHandle(next.handle, nullptr)) {
                click(dialog, *again);
            }
        } else if (focused->is(u"ComboBox")) {
            const int count = static_cast<int>(focused->items.size());
            const int next = std::clamp(focused->selection + (s.index < 0 ? -1 : 1), 0, count - 1);
            if (count > 0 && next != focused->selection) {
                focused->selection = next;
                notify(dialog, focused->id, os::CBN_SELCHANGE);
            }
        }
        return;
    }
    case K::Space:
        if (!focused || !focused->is(u"Button")) {
            refuse();
            return;
        }
        if (focused->isPushButton()) {
            command(dialog, focused->id);
        } else {
            click(dialog, *focused);
        }
        return;
    case K::Mnemonic: {
        const char16_t letter = s.text.empty() ? 0 : fold(s.text[0]);
        for (size_t i = 0; i < w->controls.size(); ++i) {
            Control& c = w->controls[i];
            if (!c.visible || mnemonicOf(c) != letter) {
                continue;
            }
            if (isLabel(c)) {
                // A label hands the focus to the next control that takes it.
                for (size_t k = i + 1; k < w->controls.size(); ++k) {
                    Control& next = w->controls[k];
                    if (usable(&next) && !isLabel(next)) {
                        focusByKeyboard(dialog, next);
                        return;
                    }
                }
                refuse();
                return;
            }
            if (!c.enabled) {
                continue;
            }
            if (c.isPushButton()) {
                command(dialog, c.id);
            } else {
                moveFocus(*w, &c);
                if (Control* again = findControl(dialog, s.id ? s.id : c.id)) {
                    click(dialog, *again);
                }
            }
            return;
        }
        refuse();
        return;
    }
    case K::Enter: {
        int id = os::IDOK;
        if (focused && focused->isPushButton()) {
            id = focused->id;
        } else {
            for (const Control& c : w->controls) {
                if (c.is(u"Button") && c.buttonKind() == 1 && usable(&c)) {
                    id = c.id;
                    break;
                }
            }
        }
        command(dialog, id);
        return;
    }
    case K::Escape:
        command(dialog, os::IDCANCEL);
        return;
    case K::CloseBox:
        if (!dispatch(dialog, os::WM_CLOSE, 0, 0) && findWindow(dialog)) {
            command(dialog, os::IDCANCEL);
        }
        return;
    case K::Inspect:
        if (s.inspect) {
            s.inspect(dialog);
        }
        return;
    }
}

void act(os::HWND dialog, const UserStep& step) {
    Window* w = findWindow(dialog);
    if (!w || !w->live) {
        ++world().refusedSteps;
        return;
    }
    perform(dialog, step);
}

} // namespace sim
