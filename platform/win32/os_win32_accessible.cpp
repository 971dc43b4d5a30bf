// The seam on Windows for what a screen reader is told about a window. A window given a name or a
// description is subclassed to answer WM_GETOBJECT for its client object: it hands out the
// system's standard object for the window wrapped in one that answers our texts and forwards
// every other question. Screen readers ask through AccessibleObjectFromWindow, which sends exactly
// that message, and UI Automation clients reach the same object through the system's bridge for
// windows that answer it; the standard proxies are built by the client from the window class and
// know nothing of a template that has no label for a field.
//
// oleacc.dll and oleaut32.dll are loaded on the first annotation, not at load: most processes
// never show a dialog, and oleacc brings the COM runtime with it. They come from the system
// folder only (platform/system_library.h). They stay loaded: an annotated window may be asked
// until it is destroyed, and a DLL may not unload others while it detaches.
//
// An object handed out is the client's to call and release whenever it likes: a screen reader
// caches objects, in its own process through a stub in the host's, long after the window and
// after the host has freed this library. Its code is ours, so the library pins itself in the
// process the first time it hands one out, and is never unmapped from then on (at process exit
// it still hears the detach and stores its settings). Until then it unloads as usual.
#include "platform/os.h"
#include "platform/system_library.h"

namespace seam {
constexpr os::DWORD objidClient = os::OBJID_CLIENT;
constexpr os::DWORD childidSelf = os::CHILDID_SELF;
constexpr os::HRESULT sOk = os::S_OK;
constexpr os::HRESULT eNotImpl = os::E_NOTIMPL;
constexpr os::HRESULT eOutOfMemory = os::E_OUTOFMEMORY;
constexpr os::HRESULT eInvalidArg = os::E_INVALIDARG;
} // namespace seam

#include <windows.h>

#include <oleacc.h>

#include <new>

namespace {

static_assert(seam::objidClient == static_cast<DWORD>(OBJID_CLIENT) &&
                  seam::childidSelf == CHILDID_SELF,
              "object ids");
static_assert(seam::sOk == S_OK && seam::eNotImpl == E_NOTIMPL &&
                  seam::eOutOfMemory == E_OUTOFMEMORY && seam::eInvalidArg == E_INVALIDARG,
              "results");

using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);

struct Oleacc {
    CreateStdAccessibleObjectFn createStd = nullptr;
    LresultFromObjectFn lresultFromObject = nullptr;
    SysAllocStringFn sysAllocString = nullptr;
};

template <typename F> F entry(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

// The accessibility runtime, or null when this system has none.
const Oleacc* oleacc() {
    static Oleacc functions;
    static bool tried = false;
    if (!tried) {
        tried = true;
        const auto acc = reinterpret_cast<HMODULE>(os::loadSystemLibrary(u"oleacc.dll"));
        const auto aut = reinterpret_cast<HMODULE>(os::loadSystemLibrary(u"oleaut32.dll"));
        functions.createStd = entry<CreateStdAccessibleObjectFn>(acc, "CreateStdAccessibleObject");
        functions.lresultFromObject = entry<LresultFromObjectFn>(acc, "LresultFromObject");
        functions.sysAllocString = entry<SysAllocStringFn>(aut, "SysAllocString");
    }
    const bool complete =
        functions.createStd && functions.lresultFromObject && functions.sysAllocString;
    return complete ? &functions : nullptr;
}

// Texts longer than this are cut: a name is a few words, a description a short sentence.
constexpr size_t kMaxText = 256;

struct Text {
    wchar_t units[kMaxText] = {};
    bool set = false;

    void assign(const char16_t* text) {
        set = text != nullptr;
        size_t n = 0;
        for (; text && text[n] && n + 1 < kMaxText; ++n) {
            units[n] = static_cast<wchar_t>(text[n]);
        }
        units[n] = 0;
    }
};

// What a window has been given, kept in a window property for the life of the window.
struct Annotation {
    Text name;
    Text description;
    WNDPROC original = nullptr;
};

constexpr wchar_t kProperty[] = L"Dotpress.Accessible";

// Objects live on the process heap, made and unmade by hand: the C++ runtime's own allocation
// would bring its exception machinery and thread support into the DLL.
template <typename T, typename... Args> T* make(Args&&... args) {
    void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(T));
    return memory ? new (memory) T(static_cast<Args&&>(args)...) : nullptr;
}
template <typename T> void destroy(T* object) {
    object->~T();
    HeapFree(GetProcessHeap(), 0, object);
}

Annotation* annotationOf(HWND window) {
    return static_cast<Annotation*>(GetPropW(window, kProperty));
}

// From the first object handed out, the library stays in the process (see the top of the file).
void pinLibrary() {
    static bool pinned = false;
    if (!pinned) {
        HMODULE self = nullptr;
        pinned = GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN |
                                        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                    reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&pinLibrary)),
                                    &self) != FALSE;
    }
}

bool isSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The standard object of a window with our texts in place of its own.
class AnnotatedObject final : public IAccessible {
public:
    AnnotatedObject(IAccessible* standard, const Annotation& texts, const Oleacc& runtime)
        : standard_(standard), texts_(texts), runtime_(runtime) {}

    // IUnknown: the object is an IAccessible and what that derives from, nothing more, so that
    // no question reaches the standard object by another interface and gets its own answer.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) {
            return E_POINTER;
        }
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            standard_->Release();
            destroy(this);
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch, as the standard object answers it.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        return standard_->Invoke(id, iid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: our name and description for the window itself, the rest from the standard.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return isSelf(child) && texts_.name.set ? copy(texts_.name, name)
                                                : standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return isSelf(child) && texts_.description.set
                   ? copy(texts_.description, description)
                   : standard_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    HRESULT copy(const Text& text, BSTR* out) const {
        if (!out) {
            return E_POINTER;
        }
        *out = runtime_.sysAllocString(text.units);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    LONG references_ = 1;
    IAccessible* standard_;
    // A copy: a client may keep the object after the window, and its texts, are gone.
    const Annotation texts_;
    const Oleacc& runtime_;
};

// The answer to WM_GETOBJECT for the client object, or 0 to let the window answer as it would.
LRESULT clientObject(HWND window, WPARAM wParam, const Annotation& texts) {
    const Oleacc* runtime = oleacc();
    if (!runtime) {
        return 0;
    }
    IAccessible* standard = nullptr;
    if (FAILED(runtime->createStd(window, OBJID_CLIENT, __uuidof(IAccessible),
                                  reinterpret_cast<void**>(&standard))) ||
        !standard) {
        return 0;
    }
    auto* object = make<AnnotatedObject>(standard, texts, *runtime);
    if (!object) {
        standard->Release();
        return 0;
    }
    // The client holds its own reference; a result below zero is a failure (no COM on this
    // thread, say), after which the window answers as it would have without us.
    const LRESULT result = runtime->lresultFromObject(__uuidof(IAccessible), wParam, object);
    if (result > 0) {
        pinLibrary();
    }
    object->Release();
    return result > 0 ? result : 0;
}

LRESULT CALLBACK annotatedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Annotation* texts = annotationOf(window);
    if (!texts) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const WNDPROC original = texts->original;
    if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        if (const LRESULT answer = clientObject(window, wParam, *texts)) {
            return answer;
        }
    } else if (message == WM_NCDESTROY) {
        // The window's last message. Our procedure is taken out only where it is still the
        // window's own: a procedure that someone hooked over ours calls ours through the pointer
        // it keeps, and putting the original back would unhook it. Nothing comes after this.
        if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(annotatedProc)) {
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        }
        RemovePropW(window, kProperty);
        destroy(texts);
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
}

} // namespace

namespace os {

HRESULT SetHwndPropStr(HWND hwnd, DWORD idObject, DWORD idChild, MSAAPROPID idProp,
                       const char16_t* str) {
    const ::HWND window = reinterpret_cast<::HWND>(hwnd);
    if (!IsWindow(window) || idObject != seam::objidClient || idChild != seam::childidSelf) {
        return seam::eInvalidArg;
    }
    if (!oleacc()) {
        return seam::eNotImpl;
    }
    Annotation* texts = annotationOf(window);
    if (!texts) {
        texts = make<Annotation>();
        if (!texts) {
            return seam::eOutOfMemory;
        }
        if (!SetPropW(window, kProperty, texts)) {
            destroy(texts);
            return seam::eOutOfMemory;
        }
        texts->original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(annotatedProc)));
        if (!texts->original) {
            RemovePropW(window, kProperty);
            destroy(texts);
            return seam::eInvalidArg;
        }
    }
    (idProp == MSAAPROPID::Name ? texts->name : texts->description).assign(str);
    return seam::sOk;
}

} // namespace os
