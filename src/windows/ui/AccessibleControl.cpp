#include "ui/AccessibleControl.h"

#include <commctrl.h>
#include <ole2.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <memory>
#include <new>

#include "support/ComObject.h"
#include "support/Support2Win.h"
#include "support/UiText.h"
#include "support/WindowSubclass.h"

namespace mappa {
namespace {

using Microsoft::WRL::ComPtr;

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT ToBstr(const std::wstring& text, BSTR* out)
{
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The control's object: its own name, role, value and link action over the
// system's object for the window. It keeps only the window's handle, so a
// screen reader may hold it past the window's end: it then answers that it
// is no longer connected.
class AccessibleControl final : public ComObject<IAccessible, IOleWindow> {
public:
    AccessibleControl(HWND window, const AccessibleTraits& traits, ComPtr<IAccessible> system)
        : window_(window), traits_(traits), system_(std::move(system))
    {
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (!object) return E_POINTER;
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible))
            *object = static_cast<IAccessible*>(this);
        else if (id == __uuidof(IOleWindow))
            *object = static_cast<IOleWindow*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    // IDispatch: screen readers call the interface directly; scripting it is not offered.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IOleWindow, through which WindowFromAccessibleObject finds the window.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override
    {
        if (!window) return E_POINTER;
        *window = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IAccessible: what this control says of itself...
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (!IsSelf(child)) return system_->get_accName(child, name);
        if (!name) return E_POINTER;
        *name = nullptr;
        return guarded([&] {
            const std::wstring own = traits_.currentName ? traits_.currentName() : traits_.name;
            return ToBstr(own.empty() ? WideWindowText(window_) : own, name);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        if (!IsSelf(child) || !traits_.valueIsText) return system_->get_accValue(child, value);
        if (!value) return E_POINTER;
        *value = nullptr;
        return guarded([&] { return ToBstr(WideWindowText(window_), value); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (!IsSelf(child) || traits_.role == 0) return system_->get_accRole(child, role);
        if (!role) return E_POINTER;
        VariantInit(role);
        if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
        role->vt = VT_I4;
        role->lVal = traits_.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        const HRESULT result = system_->get_accState(child, state);
        if (!IsSelf(child) || FAILED(result) || !state) return result;
        if (state->vt != VT_I4) {
            VariantClear(state);
            state->vt = VT_I4;
            state->lVal = 0;
        }
        state->lVal |= static_cast<LONG>(traits_.state);
        if (traits_.checkBox && SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED) state->lVal |= STATE_SYSTEM_CHECKED;
        if (GetWindowLongW(window_, GWL_STYLE) & WS_TABSTOP) state->lVal |= STATE_SYSTEM_FOCUSABLE;
        if (GetFocus() == window_) state->lVal |= STATE_SYSTEM_FOCUSED;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        if (!IsSelf(child) || !traits_.jumps) return system_->get_accDefaultAction(child, action);
        if (!action) return E_POINTER;
        *action = nullptr;
        return guarded([&] { return ToBstr(UiText(IDS_ACCESSIBLE_JUMP), action); });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        if (!IsSelf(child) || !traits_.jumps) return system_->accDoDefaultAction(child);
        if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
        // Posted, so that the caller does not wait for the shell.
        const WPARAM command = MAKEWPARAM(GetDlgCtrlID(window_), STN_CLICKED);
        return PostMessageW(GetParent(window_), WM_COMMAND, command, reinterpret_cast<LPARAM>(window_)) ? S_OK : E_FAIL;
    }

    // ...and what the system's object knows.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return system_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return system_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        return system_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        if (!IsSelf(child) || !traits_.description) return system_->get_accDescription(child, text);
        if (!text) return E_POINTER;
        *text = nullptr;
        return guarded([&] { return ToBstr(traits_.description(), text); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override { return system_->get_accHelp(child, text); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        return system_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override
    {
        return system_->get_accKeyboardShortcut(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return system_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override { return system_->get_accSelection(children); }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return system_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        return system_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        return system_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override
    {
        return system_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~AccessibleControl() = default;

    template <typename Body>
    HRESULT guarded(Body&& body) noexcept
    {
        if (!IsWindow(window_)) return CO_E_OBJNOTCONNECTED;
        try {
            return body();
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }

    HWND window_;
    AccessibleTraits traits_;
    ComPtr<IAccessible> system_;
};

// The object for the control's client area, in the form WM_GETOBJECT returns
// it; 0 when none could be made, and the message then takes its usual course.
LRESULT AnswerGetObject(HWND window, WPARAM flags, const AccessibleTraits& traits) noexcept
{
    try {
        ComPtr<IAccessible> system;
        if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(system.GetAddressOf()))))
            return 0;
        const ComPtr<IAccessible> object =
            Adopted<IAccessible>(new AccessibleControl(window, traits, std::move(system)));
        // The result holds a reference of its own; ours goes with `object`.
        const LRESULT result = LresultFromObject(__uuidof(IAccessible), flags, object.Get());
        return result > 0 ? result : 0;
    } catch (...) {
        return 0;
    }
}

LRESULT AccessibleProcedure(const SubclassCall& call, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto* traits = static_cast<const AccessibleTraits*>(call.context());
    if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        if (const LRESULT object = AnswerGetObject(call.window(), wParam, *traits)) return object;
    }
    const LRESULT result = call.next(message, wParam, lParam);
    if (message == WM_NCDESTROY) delete traits;
    return result;
}

}  // namespace

void MakeAccessible(HWND control, AccessibleTraits traits)
{
    if (IsSubclassedBy(control, &AccessibleProcedure)) return;
    auto owned = std::make_unique<AccessibleTraits>(std::move(traits));
    if (SubclassWindow(control, &AccessibleProcedure, owned.get())) owned.release();  // freed at WM_NCDESTROY
}

}  // namespace mappa
