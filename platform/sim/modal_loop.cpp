// The dialog manager of the simulated machine: a dialog's initialisation, its tab order and
// default focus, and the modal loop in which the scripted user acts until the dialog ends.
#include "platform/sim/internal.h"
#include "platform/sim/world.h"

namespace sim {

bool usable(const Control* c) {
    return c && c->enabled && c->visible;
}

// The radio buttons of the group that `index` belongs to: from the control that starts the group
// to the one before the next start.
std::vector<size_t> radioGroup(const Window& w, size_t index) {
    size_t first = index;
    while (first > 0 && !w.controls[first].groupStart()) {
        --first;
    }
    std::vector<size_t> group;
    for (size_t i = first; i < w.controls.size(); ++i) {
        if (i > first && w.controls[i].groupStart()) {
            break;
        }
        if (w.controls[i].isRadio()) {
            group.push_back(i);
        }
    }
    return group;
}

// Tab stops in template order; of a group of radio buttons only the checked one (or the first
// usable one when none is checked) is a stop, as the dialog manager moves in such a group.
std::vector<size_t> tabStops(const Window& w) {
    std::vector<size_t> stops;
    for (size_t i = 0; i < w.controls.size(); ++i) {
        const Control& c = w.controls[i];
        if (!usable(&c)) {
            continue;
        }
        if (c.isRadio()) {
            const auto group = radioGroup(w, i);
            size_t stop = group.size();
            for (size_t k = 0; k < group.size(); ++k) {
                if (w.controls[group[k]].check && usable(&w.controls[group[k]])) {
                    stop = k;
                    break;
                }
            }
            if (stop == group.size()) {
                for (size_t k = 0; k < group.size() && stop == group.size(); ++k) {
                    if (usable(&w.controls[group[k]])) {
                        stop = k;
                    }
                }
            }
            if (stop < group.size() && group[stop] == i) {
                stops.push_back(i);
            }
            continue;
        }
        if (c.tabStop()) {
            stops.push_back(i);
        }
    }
    return stops;
}

size_t indexOf(const Window& w, os::HWND handle) {
    for (size_t i = 0; i < w.controls.size(); ++i) {
        if (w.controls[i].handle == handle) {
            return i;
        }
    }
    return w.controls.size();
}

// The focus goes to a control as the keyboard puts it there: an edit gets its whole text selected.
void focusByKeyboard(os::HWND dialog, Control& c) {
    Window* w = findWindow(dialog);
    const os::HWND handle = c.handle;
    moveFocus(*w, &c);
    if (Control* now = controlByHandle(handle, nullptr); now && now->is(u"Edit")) {
        now->selectionStart = 0;
        now->selectionEnd = static_cast<int>(now->text.size());
    }
}

void defaultFocus(os::HWND dialog) {
    Window* w = findWindow(dialog);
    if (!w || w->focus) {
        return;
    }
    const auto stops = tabStops(*w);
    if (!stops.empty()) {
        focusByKeyboard(dialog, w->controls[stops.front()]);
    }
}

os::INT_PTR initialise(os::HWND dialog, os::LPARAM initParam) {
    const os::INT_PTR focus = dispatch(dialog, os::WM_INITDIALOG, 0, initParam);
    if (focus) {
        defaultFocus(dialog);
    }
    return focus;
}

os::INT_PTR runModal(os::HWND dialog) {
    for (;;) {
        Window* w = findWindow(dialog);
        if (!w || w->ended) {
            break;
        }
        if (world().script.empty()) {
            ++world().scriptRanOut;
            perform(dialog, user::escape());
            w = findWindow(dialog);
            if (w && !w->ended) {
                ++world().stuckDialogs;
                w->ended = true;
                w->result = 0;
            }
            break;
        }
        const UserStep s = world().script.front();
        world().script.pop_front();
        perform(dialog, s);
    }
    // A dialog that ended took the focus as it ended (endModal); one closed here as stuck loses
    // it now, and the control that had it is told all the same.
    if (Window* closing = findWindow(dialog)) {
        moveFocus(*closing, nullptr);
    }
    Window* w = findWindow(dialog);
    if (!w) {
        return 0;
    }
    const os::INT_PTR result = w->result;
    w->live = false;
    w->visible = false;
    return result;
}

} // namespace sim
